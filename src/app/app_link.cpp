#include "app/app_link.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace velmora {
namespace {

bool isAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}

int hexValue(char c) {
  if (isAsciiDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string asciiLowercase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF. Names reach toasts,
// logs and the desktop search, none of which should see half a character.
bool isUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = 0;
    char32_t scalar = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
      length = 2;
      scalar = lead & 0x1F;
      smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      scalar = lead & 0x0F;
      smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      scalar = lead & 0x07;
      smallest = 0x10000;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      scalar = (scalar << 6) | (next & 0x3F);
    }
    if (scalar < smallest || scalar > 0x10FFFF || (scalar >= 0xD800 && scalar <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

// A link arrives as text someone typed, pasted or scripted. Spaces and letters beyond ASCII
// are taken as they stand, as the system's own URL parsing does; a broken escape, bytes that
// are not UTF-8 and raw control characters mean the text is not a link at all.
bool isWellFormed(std::string_view url) {
  if (!isUtf8(url)) return false;
  for (std::size_t i = 0; i < url.size(); ++i) {
    auto c = static_cast<unsigned char>(url[i]);
    if (c < 0x20 || c == 0x7F) return false;
    if (c == '%') {
      if (url.size() - i < 3 || hexValue(url[i + 1]) < 0 || hexValue(url[i + 2]) < 0) {
        return false;
      }
      i += 2;
    }
  }
  return true;
}

// Decodes the escapes of one well-formed piece; none when the bytes they stand for are not
// UTF-8 ("%FF", or half of "é").
std::optional<std::string> percentDecoded(std::string_view piece) {
  std::string decoded;
  decoded.reserve(piece.size());
  for (std::size_t i = 0; i < piece.size(); ++i) {
    if (piece[i] == '%') {
      decoded.push_back(static_cast<char>(hexValue(piece[i + 1]) * 16 + hexValue(piece[i + 2])));
      i += 2;
    } else {
      decoded.push_back(piece[i]);
    }
  }
  if (!isUtf8(decoded)) return std::nullopt;
  return decoded;
}

// The host of an authority ("user@host:port"), decoded; none when there is no usable host.
std::optional<std::string> hostOf(std::string_view authority) {
  if (std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
    authority.remove_prefix(at + 1);
  }
  // An address literal ("[::1]") can never name one of our hosts.
  if (!authority.empty() && authority.front() == '[') return std::nullopt;
  if (std::size_t colon = authority.find(':'); colon != std::string_view::npos) {
    std::string_view port = authority.substr(colon + 1);
    if (!std::all_of(port.begin(), port.end(), isAsciiDigit)) return std::nullopt;
    authority = authority.substr(0, colon);
  }
  if (authority.empty()) return std::nullopt;
  return percentDecoded(authority);
}

// The path's components after the leading "/", each decoded, joined with "/". Empty
// components (doubled or trailing slashes) do not count, so "settings/" is "settings".
// An escaped slash stays inside its component.
std::optional<std::string> remainderOf(std::string_view path) {
  std::string remainder;
  while (!path.empty()) {
    std::size_t slash = path.find('/');
    std::string_view component = path.substr(0, slash);
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    if (component.empty()) continue;
    std::optional<std::string> decoded = percentDecoded(component);
    if (!decoded) return std::nullopt;
    if (!remainder.empty()) remainder.push_back('/');
    remainder += *decoded;
  }
  return remainder;
}

// An optional "+" or "-", then ASCII digits, all of it. A number too large for a desktop
// number is none, and the remainder is then taken as a name.
std::optional<std::int64_t> wholeNumber(std::string_view text) {
  std::string_view digits = text;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), isAsciiDigit)) {
    return std::nullopt;
  }
  // from_chars takes a "-" but not a "+", so a negative number is read with its sign.
  const char* first = negative ? digits.data() - 1 : digits.data();
  const char* last = digits.data() + digits.size();
  std::int64_t value = 0;
  auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last) return std::nullopt;
  return value;
}

std::optional<AppLink> keywordLink(std::string_view host) {
  if (host == "back") return AppLink::back();
  if (host == "next") return AppLink::next();
  if (host == "prev") return AppLink::previous();
  if (host == "switcher") return AppLink::switcher();
  if (host == "popover") return AppLink::popover();
  if (host == "hover") return AppLink::hover();
  if (host == "presentation") return AppLink::presentation();
  if (host == "settings") return AppLink::settings();
  return std::nullopt;
}

}  // namespace

std::optional<AppLink> AppLink::parse(std::string_view url) {
  if (!isWellFormed(url)) return std::nullopt;

  std::size_t colon = url.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  std::string scheme = asciiLowercase(url.substr(0, colon));
  if (scheme != "velmora" && scheme != "corvane") return std::nullopt;

  // Without "//" there is no host ("velmora:back"), and every link needs one.
  std::string_view rest = url.substr(colon + 1);
  if (!rest.starts_with("//")) return std::nullopt;
  rest.remove_prefix(2);
  std::size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
  std::optional<std::string> decodedHost = hostOf(rest.substr(0, authorityEnd));
  if (!decodedHost) return std::nullopt;
  std::string host = asciiLowercase(*decodedHost);

  // The query and the fragment carry nothing for us.
  std::string_view path = rest.substr(authorityEnd);
  path = path.substr(0, std::min(path.find_first_of("?#"), path.size()));
  std::optional<std::string> remainder = remainderOf(path);
  if (!remainder) return std::nullopt;

  if (host == "switch") {
    if (remainder->empty()) return std::nullopt;
    if (std::optional<std::int64_t> n = wholeNumber(*remainder)) return AppLink::number(*n);
    return AppLink::named(std::move(*remainder));
  }
  if (remainder->empty()) return keywordLink(host);
  if (host == "settings") return AppLink::settingsPage(std::move(*remainder));
  return std::nullopt;
}

std::string linkNoDesktopNumbered(std::int64_t number) {
  return "There is no Desktop " + std::to_string(number);
}

std::string linkNoDesktopMatching(std::string_view text) {
  return "No desktop matches “" + std::string(text) + "”";
}

std::string linkNoSettingsPage(std::string_view id) {
  return "There is no Settings page called “" + std::string(id) + "”";
}

std::string linkLogLine(std::string_view message) {
  return "link: " + std::string(message);
}

std::string linkNotUnderstoodMessage(std::string_view url) {
  return "Velmora doesn't know the link " + std::string(url);
}

std::string linkNotUnderstoodLogLine(std::string_view url) {
  return "link not understood: " + std::string(url);
}

}  // namespace velmora
