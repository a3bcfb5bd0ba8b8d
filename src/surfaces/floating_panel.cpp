#include "surfaces/floating_panel.h"

namespace velmora {

std::unique_ptr<platform::Panel> FloatingPanel::make(platform::Panels& panels, Options options) {
  platform::PanelSpec spec;
  spec.size = options.size;
  spec.level = options.level;
  spec.interactive = options.interactive;
  spec.hasShadow = options.hasShadow;
  spec.collectionBehavior = options.collectionBehavior;
  spec.animation = options.animation;
  spec.name = std::move(options.name);
  auto panel = panels.makePanel(spec);
  panel->setIgnoresMouseEvents(!options.interactive);
  return panel;
}

}  // namespace velmora
