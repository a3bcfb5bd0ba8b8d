#include "surfaces/floating_panel.h"

namespace velmora {

std::unique_ptr<platform::Panel> FloatingPanel::make(platform::Panels& panels, Options options) {
  platform::PanelConfig config;
  config.size = options.size;
  config.level = options.level;
  config.interactive = options.interactive;
  config.hasShadow = options.hasShadow;
  config.collectionBehavior = options.collectionBehavior;
  config.animation = options.animation;
  config.name = std::move(options.name);
  auto panel = panels.makePanel(config);
  panel->setIgnoresMouseEvents(!options.interactive);
  return panel;
}

}  // namespace velmora
