#include "settings_ui/editor_window.h"

#include <array>
#include <utility>

namespace velmora {
namespace {

using platform::CanvasRect;
using platform::Color;
using platform::Path;

constexpr double kCornerRadius = 10;
// Close, minimise, zoom, as the Mac colours them.
const std::array<Color, 3> kTrafficLights{Color{1.0, 0.37, 0.34}, Color{1.0, 0.74, 0.18},
                                          Color{0.16, 0.79, 0.25}};

}  // namespace

EditorWindow::EditorWindow(platform::Platform platform, EditorServices services)
    : platform_(platform), services_(services) {}

EditorWindow::~EditorWindow() {
  if (panel_) panel_->orderOut();
}

void EditorWindow::open(const Desktop& desktop) {
  retire();
  editor_ = std::make_unique<EditSpaceView>(services_, desktop, false,
                                            lifetime_.guard([this] { close(); }));
  editorChanged_ = editor_->changed().connect(lifetime_.guard([this] {
    if (panel_) panel_->setNeedsDisplay();
  }));

  const Size editorSize = editor_->preferredSize();
  const Size size{editorSize.width, editorSize.height + kTitleBarHeight};
  if (!panel_ || panel_->config().size != size) {
    platform::PanelConfig config;
    config.size = size;
    config.level = 0;
    config.interactive = true;
    config.hasShadow = true;
    config.name = std::string(kPanelName);
    panel_ = platform_.panels.makePanel(config);
    panel_->setContent(
        lifetime_.guard([this](platform::Canvas& canvas, Size drawn) { draw(canvas, drawn); }));
    panel_->setOnMouseDown(lifetime_.guard([this](platform::CanvasPoint p) {
      if (!editor_ || !panel_ || p.y < kTitleBarHeight) return;
      editor_->click({p.x, p.y - kTitleBarHeight}, panel_->config().size.width);
    }));
  }

  ScreenRect visible = ScreenRect::make(0, 0, size.width, size.height);
  if (auto screens = platform_.screens.screens(); !screens.empty()) {
    visible = screens.front().visibleFrame;
  }
  panel_->setFrame(ScreenRect::make(visible.midX() - size.width / 2,
                                    visible.midY() - size.height / 2, size.width, size.height),
                   true);
  panel_->setNeedsDisplay();
  panel_->makeKeyAndOrderFront();
}

void EditorWindow::close() {
  if (!editor_) return;
  retire();
  if (panel_) panel_->orderOut();
}

void EditorWindow::retire() {
  if (!editor_) return;
  editorChanged_.disconnect();
  retired_ = std::move(editor_);
  platform_.loop.post(lifetime_.guard([this] { retired_.reset(); }));
}

void EditorWindow::draw(platform::Canvas& canvas, Size size) const {
  platform::CanvasStateSaver saved(canvas);
  const Path window = Path::roundedRect({0, 0, size.width, size.height}, kCornerRadius);
  canvas.clip(window);
  canvas.fill(window, Color::gray(0.165));

  // The title bar: a shade lighter, the three buttons, the title centred.
  canvas.fill(Path::rect({0, 0, size.width, kTitleBarHeight}), Color::gray(0.21));
  canvas.fill(Path::rect({0, kTitleBarHeight - 1, size.width, 1}), Color::black(0.5));
  for (std::size_t i = 0; i < kTrafficLights.size(); ++i) {
    const double x = 12 + static_cast<double>(i) * 20;
    canvas.fill(Path::ellipse({x, kTitleBarHeight / 2 - 6, 12, 12}), kTrafficLights[i]);
  }
  const platform::Font font = platform::Font::system(13, platform::FontWeight::semibold);
  const double room = size.width - 2 * 76;
  const Size measured = canvas.measureText(kTitle, font);
  const double width = std::min(measured.width, room);
  canvas.drawText(kTitle, font, Color::white(0.85),
                  {(size.width - width) / 2, (kTitleBarHeight - measured.height) / 2}, room);

  if (editor_) {
    canvas.translate(0, kTitleBarHeight);
    editor_->draw(canvas, {size.width, size.height - kTitleBarHeight});
  }
}

}  // namespace velmora
