#include "updates/app_version.h"

#include <algorithm>
#include <charconv>

namespace velmora::updates {

std::optional<AppVersion> AppVersion::parse(std::string_view text) {
  AppVersion version;
  for (;;) {
    auto dot = text.find('.');
    std::string_view piece = text.substr(0, dot);
    if (piece.empty() ||
        !std::all_of(piece.begin(), piece.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return std::nullopt;
    }
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(piece.data(), piece.data() + piece.size(), value);
    if (error != std::errc() || end != piece.data() + piece.size()) return std::nullopt;
    version.parts_.push_back(value);
    if (dot == std::string_view::npos) break;
    text.remove_prefix(dot + 1);
  }
  return version;
}

std::string AppVersion::text() const {
  std::string out;
  for (std::size_t i = 0; i < parts_.size(); ++i) {
    if (i) out += '.';
    out += std::to_string(parts_[i]);
  }
  return out;
}

std::strong_ordering AppVersion::operator<=>(const AppVersion& other) const {
  std::size_t count = std::max(parts_.size(), other.parts_.size());
  for (std::size_t i = 0; i < count; ++i) {
    std::uint64_t mine = i < parts_.size() ? parts_[i] : 0;
    std::uint64_t theirs = i < other.parts_.size() ? other.parts_[i] : 0;
    if (mine != theirs) return mine <=> theirs;
  }
  return std::strong_ordering::equal;
}

}  // namespace velmora::updates
