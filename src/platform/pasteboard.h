#pragma once
// The general pasteboard (NSPasteboard generalPasteboard), for plain text the user copies out
// of Velmora (the diagnostics).
#include <optional>
#include <string>

namespace velmora::platform {

class Pasteboard {
 public:
  virtual ~Pasteboard() = default;
  // clearContents: the pasteboard is Velmora's to write, and empty.
  virtual void clearContents() = 0;
  // setString:forType: with the plain-text type; false when the pasteboard did not take it.
  virtual bool setString(const std::string& text) = 0;
  // stringForType: with the plain-text type; none when the pasteboard holds no text.
  virtual std::optional<std::string> stringForType() = 0;
};

}  // namespace velmora::platform
