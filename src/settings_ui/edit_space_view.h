#pragma once
// The desktop editor: name, icon, colour and shortcut of one desktop. It works on copies of
// the desktop's stored record — the real values, even while presentation mode hides them
// everywhere else — and writes them back to the store after every change, so there is no
// unsaved state to lose when the window closes.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/signal.h"
#include "platform/application.h"
#include "platform/canvas.h"
#include "platform/local_event_monitors.h"
#include "platform/open_panel.h"
#include "platform/panels.h"
#include "spaces/desktop.h"
#include "spaces/presentation.h"
#include "spaces/space_engine.h"
#include "store/space_store.h"
#include "switching/hotkey_center.h"
#include "switching/shortcut_recorder.h"

namespace velmora {

// What the editor reaches outside itself for.
struct EditorServices {
  SpaceEngine& engine;  // the desktop as it is now: renumbered, or on another display
  SpaceStore& store;
  const DesktopPresentation& presentation;
  const KeyNames& keyNames;
  HotkeyCenter& hotkeyCenter;
  platform::LocalEventMonitors& monitors;
  platform::OpenPanel& openPanel;
  platform::Application& application;
};

class EditSpaceView {
 public:
  static constexpr std::string_view kNumberTitle = "Number";
  static constexpr std::string_view kEmojiTitle = "Emoji";
  static constexpr std::string_view kEmojiPlaceholder = "Pick an emoji";
  static constexpr std::string_view kEmojiSymbol = "face.smiling";
  static constexpr std::string_view kPictureTitle = "Your picture";
  static constexpr std::string_view kPictureSymbol = "photo";
  static constexpr std::string_view kPictureExplanation = "Use your own picture (PNG, JPEG, ICNS…)";
  static constexpr std::string_view kAutomaticTitle = "Automatic";
  static constexpr std::string_view kTransparentTitle = "Transparent — just your icon or picture";
  static constexpr std::string_view kShortcutExplanation = "Jump here from anywhere";
  static constexpr std::string_view kBackSymbol = "chevron.left";
  static constexpr std::string_view kResetTitle = "Reset";
  static constexpr std::string_view kDoneTitle = "Done";
  static constexpr std::string_view kPictureFailedTitle = "Could not use that picture";
  // What the open panel lets the user pick for a picture.
  static constexpr std::array<std::string_view, 10> kPictureExtensions = {
      "png", "jpg", "jpeg", "tiff", "tif", "heic", "icns", "gif", "bmp", "webp"};

  // `embedded`: shown inside another surface, which then shows a back control. `onDone` runs
  // after the last save when the user is finished (Done, or back when embedded).
  EditSpaceView(EditorServices services, Desktop desktop, bool embedded,
                std::function<void()> onDone);
  EditSpaceView(const EditSpaceView&) = delete;
  EditSpaceView& operator=(const EditSpaceView&) = delete;

  // ---- What the user does; each change is saved at once ----
  void setName(const std::string& name);
  void chooseIcon(const SpaceIcon& icon);
  // The emoji field's new text: only its first two emoji are kept.
  void typeEmoji(const std::string& text);
  void chooseColor(const TileColor& color);
  // What recording or removing a shortcut gives.
  void setHotkey(std::optional<Hotkey> hotkey);
  // Asks for a picture file and makes it the icon; a picture that cannot be used is
  // explained in an alert and changes nothing.
  void choosePicture();
  // Everything back to the defaults; only tracked time is kept.
  void reset();
  void done();
  // Leaves without any further change; only an embedded editor has a back control.
  void back();

  enum class Field { none, name, emoji };
  void focus(Field field);
  // The host puts real text fields over the name and emoji fields (the window's, that take
  // typing and the input methods); the form then draws only their frames.
  void setTextFieldsHosted(bool hosted) { textFieldsHosted_ = hosted; }
  static platform::TextFieldStyle textFieldStyle(std::string_view placeholder);
  bool nameFocused() const { return focused_ == Field::name; }
  bool emojiFocused() const { return focused_ == Field::emoji; }

  // ---- The working copies ----
  const Desktop& desktop() const { return desktop_; }
  bool embedded() const { return embedded_; }
  const std::string& name() const { return name_; }
  const SpaceIcon& icon() const { return icon_; }
  const TileColor& color() const { return color_; }
  const std::string& emoji() const { return emoji_; }
  const std::optional<Hotkey>& hotkey() const { return hotkey_; }
  RecorderButton& recorder() { return recorder_; }
  const RecorderButton& recorder() const { return recorder_; }
  std::string header() const { return "Desktop " + std::to_string(desktop_.number); }

  // Fires after every change to what the editor shows, so the host redraws.
  Signal& changed() { return changed_; }

  // ---- Drawing ----
  // Where the parts of the form lie in a view of the given width (points, y down).
  struct Layout {
    platform::CanvasRect header, back, preview, title;
    // "Name", "Icon", "Color", "Shortcut".
    std::array<platform::CanvasRect, 4> captions;
    platform::CanvasRect nameField;
    platform::CanvasRect numberCell, numberDigits, numberTitle, emojiCell, emojiTitle, emojiField;
    platform::CanvasRect pictureCell, pictureTitle, pictureText;
    std::array<platform::CanvasRect, 50> symbolCells;
    platform::CanvasRect automaticSwatch, automaticText, transparentSwatch, transparentText;
    std::array<platform::CanvasRect, 10> paletteSwatches;
    platform::CanvasRect recorder, removeShortcut, shortcutText;
    platform::CanvasRect reset, done;
    double height = 0;
  };
  Layout layout(double width) const;
  // The primary button at a point of a view `width` wide: whatever control is there acts, as
  // the form's own controls would. False when the point is on none.
  bool click(platform::CanvasPoint point, double width);
  Size preferredSize() const;
  void draw(platform::Canvas& canvas, Size size) const;

 private:
  void save();
  void changedNow() { changed_.emit(); }
  // The engine's current record of the desktop being edited, found by its managed id (its
  // space id changes when a display is plugged in again); kept as it was once it is gone.
  void followDesktop();

  EditorServices services_;
  Desktop desktop_;
  bool embedded_;
  std::function<void()> onDone_;
  std::string name_;
  SpaceIcon icon_;
  TileColor color_;
  std::string emoji_;
  std::optional<Hotkey> hotkey_;
  Field focused_ = Field::none;
  bool textFieldsHosted_ = false;
  Signal changed_;
  RecorderButton recorder_;
  Connection recorderChanged_;
  Connection engineChanged_;
};

}  // namespace velmora
