#pragma once
// The virtual Mac's window server side of panels: every panel Velmora makes is recorded with
// its properties, frame, alpha (animated in loop time) and place in the window order, so
// tests read what a surface asked for and the compositor draws what is on screen.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/main_loop.h"
#include "platform/panels.h"

namespace velmora::sim {

// The record every panel of one virtual Mac shares: the panels that exist, the window order
// and the key panel.
struct PanelRegistry;

class VirtualPanel final : public platform::Panel {
 public:
  // Made by VirtualPanels::makePanel, which hands out the registry.
  VirtualPanel(std::shared_ptr<PanelRegistry> registry, platform::PanelConfig config);
  ~VirtualPanel() override;

  const platform::PanelConfig& config() const override { return config_; }
  void setFrame(const ScreenRect& frame, bool display) override;
  ScreenRect frame() const override { return frame_; }
  void setContent(platform::PanelDraw draw) override;
  void setNeedsDisplay() override { ++displays_; }
  void setAlpha(double alpha, double duration) override;
  double alpha() const override;
  void setIgnoresMouseEvents(bool ignores) override { ignoresMouse_ = ignores; }
  void orderFrontRegardless() override;
  void makeKeyAndOrderFront() override;
  void orderOut() override;
  bool isVisible() const override { return visible_; }

  // ---- Looking at it ----
  bool isKey() const { return key_; }
  bool ignoresMouseEvents() const { return ignoresMouse_; }
  // Higher is nearer the front within a level.
  std::uint64_t order() const { return order_; }
  int frameChanges() const { return frameChanges_; }
  int orderFrontCount() const { return orderFronts_; }
  bool hasContent() const { return static_cast<bool>(draw_); }
  // Draws the content of the moment into the canvas (the panel's size).
  void drawContent(platform::Canvas& canvas) const;
  // The alpha animation in flight, if any: from, to, start and duration in loop time.
  struct AlphaAnimation {
    double from = 1, to = 1, start = 0, duration = 0;
  };
  std::optional<AlphaAnimation> alphaAnimation() const;

 private:
  std::shared_ptr<PanelRegistry> registry_;
  platform::PanelConfig config_;
  ScreenRect frame_;
  platform::PanelDraw draw_;
  AlphaAnimation alpha_;
  bool visible_ = false;
  bool key_ = false;
  bool ignoresMouse_;
  std::uint64_t order_ = 0;
  int frameChanges_ = 0;
  int orderFronts_ = 0;
  int displays_ = 0;
};

class VirtualPanels final : public platform::Panels {
 public:
  explicit VirtualPanels(MainLoop& loop);
  ~VirtualPanels() override;
  std::unique_ptr<platform::Panel> makePanel(const platform::PanelConfig& config) override;

  // Every panel that exists, in creation order.
  std::vector<const VirtualPanel*> all() const;
  // The panels on screen, back to front: by level, then by order within a level.
  std::vector<const VirtualPanel*> onScreen() const;
  // The first panel whose config name is `name`; null when there is none.
  const VirtualPanel* named(const std::string& name) const;

 private:
  std::shared_ptr<PanelRegistry> registry_;
};

}  // namespace velmora::sim
