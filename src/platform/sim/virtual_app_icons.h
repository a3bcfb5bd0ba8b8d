#pragma once
// Applications' icons on the virtual Mac: every application that has a bundle (an identifier
// or a path) has one, a rounded square in its colour with its symbol or its name's first
// letter in white, so rows that list applications read at a glance and stay the same from one
// run to the next.
#include <memory>

#include "platform/app_icons.h"
#include "platform/sim/machine.h"
#include "platform/symbols.h"

namespace velmora::sim {

class VirtualAppIcons final : public platform::AppIcons {
 public:
  // The icon's natural size, as NSWorkspace hands out icons.
  static constexpr double kSide = 32;
  // Corner radius as a share of the side.
  static constexpr double kCornerShare = 0.22;

  VirtualAppIcons(const Machine& machine, platform::Symbols& symbols)
      : machine_(machine), symbols_(symbols) {}

  // Null when no application of the machine has that bundle identifier or path.
  std::shared_ptr<platform::VectorImage> icon(const platform::AppIcon& app) override;

  // The colour an application without one of its own gets: one of a fixed palette, by a hash
  // of `key` (its bundle identifier, else its path) that is the same on every run.
  static platform::Color paletteColor(const std::string& key);

 private:
  const Machine& machine_;
  platform::Symbols& symbols_;
};

}  // namespace velmora::sim
