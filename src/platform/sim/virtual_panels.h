#pragma once
// The virtual Mac's window server side of panels: every panel Velmora makes is recorded with
// its properties, frame, alpha (animated in loop time), place in the window order and text
// fields, so tests read what a surface asked for and the compositor draws what is on screen.
// It also plays the window server's part in input: which panel is key, which one the pointer
// is over, and what a click outside Velmora's panels does to the key panel.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/main_loop.h"
#include "platform/panels.h"

namespace velmora::sim {

// The record every panel of one virtual Mac shares: the panels that exist, the window order
// and the key panel.
struct PanelRegistry;
class VirtualPanel;

class VirtualTextField final : public platform::TextField {
 public:
  // Made by VirtualPanel::addTextField; lives in that panel until destroyed.
  explicit VirtualTextField(VirtualPanel& panel);
  ~VirtualTextField() override;

  void setFrame(const platform::CanvasRect& frame) override { frame_ = frame; }
  void setStyle(const platform::TextFieldStyle& style) override { style_ = style; }
  std::string text() const override { return text_; }
  void setText(const std::string& text) override { text_ = text; }
  void focus() override;
  bool isFocused() const override;
  void setOnTextChanged(std::function<void()> fn) override { onTextChanged_ = std::move(fn); }

  // ---- Looking at it ----
  const platform::CanvasRect& frame() const { return frame_; }
  const platform::TextFieldStyle& style() const { return style_; }
  // The panel it is in; null once that panel is gone.
  const VirtualPanel* panel() const { return panel_; }

  // ---- The user edits it (the keyboard calls these; the text-changed callback runs) ----
  void userInsert(const std::string& text);
  // Removes the last character (a whole UTF-8 code point); false when the field was empty.
  bool userDeleteBackward();

 private:
  friend class VirtualPanel;
  VirtualPanel* panel_;
  platform::CanvasRect frame_;
  platform::TextFieldStyle style_;
  std::string text_;
  std::function<void()> onTextChanged_;
};

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
  bool isKey() const override { return key_; }
  void setOnResignKey(std::function<void()> fn) override { onResignKey_ = std::move(fn); }
  void setOnPointerMoved(std::function<void(platform::CanvasPoint)> fn) override {
    onPointerMoved_ = std::move(fn);
  }
  void setOnMouseDown(std::function<void(platform::CanvasPoint)> fn) override {
    onMouseDown_ = std::move(fn);
  }
  void setOnRightMouseDown(std::function<void(platform::CanvasPoint)> fn) override {
    onRightMouseDown_ = std::move(fn);
  }
  void setOnScrollWheel(std::function<void(platform::CanvasPoint, double)> fn) override {
    onScrollWheel_ = std::move(fn);
  }
  void setToolTip(const std::string& text) override { toolTip_ = text; }
  std::string toolTip() const override { return toolTip_; }
  std::unique_ptr<platform::TextField> addTextField() override;

  // ---- Looking at it ----
  bool ignoresMouseEvents() const { return ignoresMouse_; }
  // Higher is nearer the front within a level.
  std::uint64_t order() const { return order_; }
  int frameChanges() const { return frameChanges_; }
  int orderFrontCount() const { return orderFronts_; }
  bool hasContent() const { return static_cast<bool>(draw_); }
  // Draws the content of the moment into the canvas (the panel's size).
  void drawContent(platform::Canvas& canvas) const;
  // Its text fields, in the order they were added.
  const std::vector<VirtualTextField*>& textFields() const { return fields_; }
  // The field the keys typed into it go to; null when none is focused.
  VirtualTextField* focusedField() const { return focused_; }
  // The alpha animation in flight, if any: from, to, start and duration in loop time.
  struct AlphaAnimation {
    double from = 1, to = 1, start = 0, duration = 0;
  };
  std::optional<AlphaAnimation> alphaAnimation() const;

 private:
  friend class VirtualTextField;
  friend class VirtualPanels;
  // Becomes the key window; the one that was key resigns.
  void becomeKey();
  // Stops being key; the content hears it on the next loop turn, as resignKeyWindow comes.
  void resignKey();
  // A point of the screen as the content sees it: from its top-left corner, y down.
  platform::CanvasPoint local(ScreenPoint point) const;

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
  std::function<void()> onResignKey_;
  std::function<void(platform::CanvasPoint)> onPointerMoved_;
  std::function<void(platform::CanvasPoint)> onMouseDown_;
  std::function<void(platform::CanvasPoint)> onRightMouseDown_;
  std::function<void(platform::CanvasPoint, double)> onScrollWheel_;
  std::string toolTip_;
  std::vector<VirtualTextField*> fields_;
  VirtualTextField* focused_ = nullptr;
  Lifetime lifetime_;
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
  // The key panel; null when none of Velmora's panels is key.
  VirtualPanel* keyPanel() const;
  // The front-most panel on screen at the point that takes mouse events; null when the point
  // is over no such panel (the desktop, another application's window).
  VirtualPanel* panelAt(ScreenPoint point) const;

  // ---- The window server delivers the user's pointer ----
  // The panel under the point now hears the pointer move on the next loop turn (unless it is
  // gone by then); false when no panel is there.
  bool pointerMoved(ScreenPoint point);
  // On the next loop turn, the panel under the point now becomes key when it can and hears
  // the button go down; a click over no panel makes the key panel resign. False when no panel
  // is there.
  bool click(ScreenPoint point);
  // On the next loop turn, the panel under the point hears the secondary button go down; it
  // does not become key. False when no panel is there.
  bool rightClick(ScreenPoint point);
  // On the next loop turn, the panel under the point hears the wheel scroll by `deltaY`. False
  // when no panel is there.
  bool scrollWheel(ScreenPoint point, double deltaY);
  // Another of Velmora's windows (the settings window) or another application took the key
  // status: the key panel resigns.
  void resignKey();
  // Hears each time a panel becomes key (the keyboard's idea of Velmora's key window).
  void setOnPanelBecameKey(std::function<void()> fn);

 private:
  std::shared_ptr<PanelRegistry> registry_;
};

}  // namespace velmora::sim
