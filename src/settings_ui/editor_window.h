#pragma once
// The settings window as it shows the desktop editor: a titled window, centred on the main
// screen, holding one EditSpaceView. Each open makes a fresh editor for the desktop; Done
// closes the window.

#include <memory>
#include <string_view>

#include "core/main_loop.h"
#include "platform/panels.h"
#include "platform/platform.h"
#include "settings_ui/edit_space_view.h"

namespace velmora {

class EditorWindow {
 public:
  static constexpr std::string_view kTitle = "Velmora Settings";
  static constexpr std::string_view kPanelName = "settings: desktop editor";
  static constexpr double kTitleBarHeight = 28;

  EditorWindow(platform::Platform platform, EditorServices services);
  ~EditorWindow();
  EditorWindow(const EditorWindow&) = delete;
  EditorWindow& operator=(const EditorWindow&) = delete;

  // Shows the editor for `desktop` in front, as the key window; an open editor is replaced.
  void open(const Desktop& desktop);
  void close();
  bool isOpen() const { return editor_ != nullptr; }
  // The editor on screen; null while closed.
  EditSpaceView* editor() { return editor_.get(); }
  const platform::Panel* panel() const { return panel_.get(); }

  // The whole window — title bar and editor — into a canvas of `size`.
  void draw(platform::Canvas& canvas, Size size) const;

 private:
  // An editor that closed the window from inside its own callback is dropped on the next
  // turn of the loop, once that callback has returned.
  void retire();

  platform::Platform platform_;
  EditorServices services_;
  std::unique_ptr<platform::Panel> panel_;
  std::unique_ptr<EditSpaceView> editor_;
  std::unique_ptr<EditSpaceView> retired_;
  Connection editorChanged_;
  Lifetime lifetime_;
};

}  // namespace velmora
