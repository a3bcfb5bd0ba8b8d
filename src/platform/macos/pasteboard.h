#pragma once
// The general pasteboard (NSPasteboard generalPasteboard), plain text only.

#include "platform/pasteboard.h"

namespace velmora::macos {

class MacPasteboard final : public platform::Pasteboard {
 public:
  void clearContents() override;
  bool setString(const std::string& text) override;
  std::optional<std::string> stringForType() override;
};

}  // namespace velmora::macos
