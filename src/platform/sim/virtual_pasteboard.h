#pragma once
// The virtual Mac's general pasteboard: it holds one text; a test can make it refuse writes,
// as a pasteboard another process holds on to would.
#include <optional>
#include <string>

#include "platform/pasteboard.h"

namespace velmora::sim {

class VirtualPasteboard final : public platform::Pasteboard {
 public:
  void clearContents() override { text_.reset(); }
  bool setString(const std::string& text) override {
    if (refuses_) return false;
    text_ = text;
    return true;
  }
  std::optional<std::string> stringForType() override { return text_; }

  // While on, every write is refused and the pasteboard keeps what it holds.
  void setRefuses(bool refuses) { refuses_ = refuses; }
  bool refuses() const { return refuses_; }

 private:
  std::optional<std::string> text_;
  bool refuses_ = false;
};

}  // namespace velmora::sim
