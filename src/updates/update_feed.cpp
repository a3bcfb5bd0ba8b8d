#include "updates/update_feed.h"

#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <cctype>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>

namespace velmora::updates {

std::optional<URLParts> parseURL(std::string_view text) {
  auto colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0) return std::nullopt;
  std::string_view scheme = text.substr(0, colon);
  if (!std::isalpha(static_cast<unsigned char>(scheme[0])) ||
      !std::all_of(scheme.begin(), scheme.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
      })) {
    return std::nullopt;
  }
  if (std::any_of(text.begin(), text.end(),
                  [](char c) { return std::isspace(static_cast<unsigned char>(c)); })) {
    return std::nullopt;
  }
  URLParts parts;
  for (char c : scheme)
    parts.scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string_view rest = text.substr(colon + 1);
  if (!rest.starts_with("//")) return parts;
  rest.remove_prefix(2);
  std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
  if (auto at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
  if (authority.starts_with("[")) {
    auto close = authority.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    parts.host = std::string(authority.substr(0, close + 1));
  } else {
    parts.host = std::string(authority.substr(0, authority.find(':')));
  }
  return parts;
}

bool Policy::allows(std::string_view url) const {
  auto parts = parseURL(url);
  if (!parts || parts->host.empty() || parts->host != host) return false;
  return parts->scheme == "https" || (!https && parts->scheme == "http");
}

FeedLocation feedLocation(const std::optional<std::string>& environmentValue) {
  if (environmentValue) {
    if (auto parts = parseURL(*environmentValue)) {
      return {*environmentValue, Policy{parts->host, parts->scheme == "https"}};
    }
  }
  return {std::string(kMakerFeed), Policy{parseURL(kMakerFeed)->host, true}};
}

std::optional<UpdateFeed> parseFeed(std::string_view json, const Policy& policy) {
  auto document = nlohmann::json::parse(json.begin(), json.end(), nullptr, false);
  if (document.is_discarded() || !document.is_object()) return std::nullopt;
  auto text = [&](const char* key) -> std::optional<std::string> {
    auto it = document.find(key);
    if (it == document.end() || !it->is_string()) return std::nullopt;
    return it->get<std::string>();
  };
  auto version = text("version"), released = text("released"), dmg = text("dmg"),
       sha256 = text("sha256"), notes = text("notes"), minOS = text("minOS");
  if (!version || !released || !dmg || !sha256 || !notes || !minOS) return std::nullopt;

  auto size = document.find("size");
  if (size == document.end() || !size->is_number_integer()) return std::nullopt;
  std::int64_t bytes = 0;
  if (size->is_number_unsigned()) {
    auto value = size->get<std::uint64_t>();
    if (value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
      return std::nullopt;
    bytes = static_cast<std::int64_t>(value);
  } else {
    bytes = size->get<std::int64_t>();
  }
  if (bytes < 1) return std::nullopt;

  if (sha256->size() != 64 || !std::all_of(sha256->begin(), sha256->end(), [](char c) {
        return std::isxdigit(static_cast<unsigned char>(c));
      })) {
    return std::nullopt;
  }
  std::transform(sha256->begin(), sha256->end(), sha256->begin(), [](char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  });
  if (!AppVersion::parse(*version) || !AppVersion::parse(*minOS)) return std::nullopt;
  if (!policy.allows(*dmg) || !policy.allows(*notes)) return std::nullopt;
  return UpdateFeed{*version, *released, *dmg, bytes, *sha256, *notes, *minOS};
}

std::string releaseDateForDisplay(const std::string& released, const std::string& locale) {
  UErrorCode status = U_ZERO_ERROR;
  icu::SimpleDateFormat reader(icu::UnicodeString("yyyy-MM-dd"), icu::Locale("en_US_POSIX"),
                               status);
  if (U_FAILURE(status)) return released;
  reader.setLenient(false);
  reader.adoptTimeZone(icu::TimeZone::createTimeZone("UTC"));
  icu::ParsePosition position(0);
  icu::UnicodeString input = icu::UnicodeString::fromUTF8(released);
  UDate date = reader.parse(input, position);
  if (position.getErrorIndex() >= 0 || position.getIndex() != input.length()) return released;
  icu::Locale user = locale.empty() ? icu::Locale::getDefault() : icu::Locale(locale.c_str());
  icu::SimpleDateFormat writer(icu::UnicodeString("d MMMM yyyy"), user, status);
  if (U_FAILURE(status)) return released;
  writer.adoptTimeZone(icu::TimeZone::createTimeZone("UTC"));
  icu::UnicodeString shown;
  writer.format(date, shown);
  std::string out;
  shown.toUTF8String(out);
  return out;
}

}  // namespace velmora::updates
