#pragma once
// The icon a desktop shows: a system symbol, one or two emoji, a custom picture, or none.
// Stored as one string: "sf:" + symbol name, the emoji themselves, "img:" + file name, or "".

#include <string>
#include <string_view>

namespace velmora {

class SpaceIcon {
 public:
  enum class Kind { None, Symbol, Emoji, Picture };

  SpaceIcon() = default;
  static SpaceIcon none() { return {}; }
  static SpaceIcon symbol(std::string name) { return {Kind::Symbol, std::move(name)}; }
  // Keeps only the emoji of `text`, at most two of them; none when nothing is left.
  static SpaceIcon emoji(std::string_view text);
  static SpaceIcon picture(std::string fileName) { return {Kind::Picture, std::move(fileName)}; }

  // Parses the stored string form; never fails (anything unknown is an emoji choice, which
  // may come out as none).
  static SpaceIcon parse(std::string_view stored);
  std::string stored() const;

  Kind kind() const { return kind_; }
  // The symbol name, the emoji text or the picture file name; empty for none.
  const std::string& payload() const { return payload_; }
  bool isNone() const { return kind_ == Kind::None; }

  bool operator==(const SpaceIcon&) const = default;

 private:
  SpaceIcon(Kind kind, std::string payload) : kind_(kind), payload_(std::move(payload)) {}
  Kind kind_ = Kind::None;
  std::string payload_;
};

// The emoji of a text, in order, at most `limit` grapheme clusters: a cluster counts when one
// of its scalars has Emoji_Presentation, or has Emoji and lies above U+238C.
std::string emojiPrefix(std::string_view text, int limit = 2);

}  // namespace velmora
