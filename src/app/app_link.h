#pragma once
// Links of Velmora's own URL scheme ("velmora://switch/3", "velmora://back", …) and of the
// predecessor's ("corvane://…"), so shortcuts and scripts written for it keep working.
// Parsing is pure; the delegate carries a link out and reports a failure with the sentences
// below, as a toast and a line in the switches log.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace velmora {

class AppLink {
 public:
  enum class Kind {
    number,
    named,
    settingsPage,
    back,
    next,
    previous,
    switcher,
    popover,
    hover,
    presentation,
    settings,
  };

  static AppLink number(std::int64_t desktop) { return AppLink(Kind::number, desktop, {}); }
  static AppLink named(std::string text) { return AppLink(Kind::named, 0, std::move(text)); }
  static AppLink settingsPage(std::string id) {
    return AppLink(Kind::settingsPage, 0, std::move(id));
  }
  static AppLink back() { return AppLink(Kind::back); }
  static AppLink next() { return AppLink(Kind::next); }
  static AppLink previous() { return AppLink(Kind::previous); }
  static AppLink switcher() { return AppLink(Kind::switcher); }
  static AppLink popover() { return AppLink(Kind::popover); }
  static AppLink hover() { return AppLink(Kind::hover); }
  static AppLink presentation() { return AppLink(Kind::presentation); }
  static AppLink settings() { return AppLink(Kind::settings); }

  // The link a URL stands for, or none when Velmora does not understand it. Scheme and host
  // are compared without regard to case; the rest of the path is kept as written, with its
  // percent escapes decoded. A URL that is not well formed (a broken escape, bytes that are
  // not UTF-8, raw control characters) is not understood either.
  static std::optional<AppLink> parse(std::string_view url);

  Kind kind() const { return kind_; }
  // The desktop of a number link; 0 for any other kind.
  std::int64_t desktopNumber() const { return number_; }
  // The text of a named link or the page id of a settingsPage link; empty for any other kind.
  const std::string& text() const { return text_; }

  bool operator==(const AppLink&) const = default;

 private:
  explicit AppLink(Kind kind, std::int64_t number = 0, std::string text = {})
      : kind_(kind), number_(number), text_(std::move(text)) {}

  Kind kind_;
  std::int64_t number_;
  std::string text_;
};

// Every message about a link is a toast with this symbol, shown this long.
inline constexpr std::string_view kLinkToastSymbol = "link";
inline constexpr double kLinkToastSeconds = 3.0;

// What a link that parsed but could not be carried out tells the user.
std::string linkNoDesktopNumbered(std::int64_t number);
std::string linkNoDesktopMatching(std::string_view text);
std::string linkNoSettingsPage(std::string_view id);
// The switches-log line for one of the messages above.
std::string linkLogLine(std::string_view message);

// A link that did not parse: the toast names the whole URL, and so does the log line.
std::string linkNotUnderstoodMessage(std::string_view url);
std::string linkNotUnderstoodLogLine(std::string_view url);

}  // namespace velmora
