#pragma once
// Applications' icons as Finder shows them, from NSWorkspace, drawn as pictures rasterised at
// the size of the row they are shown in. Main thread.

#include <memory>
#include <string>
#include <unordered_map>

#include "platform/app_icons.h"

namespace velmora::macos {

class MacAppIcons final : public platform::AppIcons {
 public:
  // The application by bundle identifier where one is installed, else by bundle path.
  std::shared_ptr<platform::VectorImage> icon(const platform::AppIcon& app) override;

 private:
  // One picture per application for the process's life: rows redraw their icons on every
  // change of the list, and a kept picture keeps its pixels for the size it was last drawn at.
  std::unordered_map<std::string, std::shared_ptr<platform::VectorImage>> icons_;
};

}  // namespace velmora::macos
