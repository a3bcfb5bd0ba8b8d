#pragma once
// Derives Velmora's global hotkeys from the settings and the desktops' own shortcuts and
// registers them with the HotkeyCenter. Every input is folded into one signature text, so
// calling rebind after each settings or metadata change only touches the system when a
// binding actually changed.

#include <functional>
#include <string>
#include <string_view>

#include "core/main_loop.h"
#include "platform/workspace.h"
#include "spaces/space_engine.h"
#include "store/settings.h"
#include "store/space_store.h"
#include "switching/hotkey_center.h"

namespace velmora {

class HotkeyBindings {
 public:
  // What the bindings ask of surfaces they do not own.
  struct Callbacks {
    std::function<void()> openQuickSwitcher;
    // Shows a short message with a symbol on the switch tag for `seconds`.
    std::function<void(const std::string& text, const std::string& symbol, double seconds)> toast;
  };
  using TitleFn = std::function<std::string(const Desktop&)>;

  // Stands in the signature for a shortcut the user cleared. Key names are upper-cased, so
  // no display form can read like this.
  static constexpr std::string_view kUnsetMarker = "none";
  static constexpr double kMoveToastSeconds = 1.4;
  static constexpr std::string_view kMoveToastSymbol = "arrow.right.doc.on.clipboard";

  HotkeyBindings(HotkeyCenter& center, SpaceEngine& engine, Settings& settings, SpaceStore& store,
                 const KeyNames& names, platform::Workspace& workspace, TitleFn title,
                 Callbacks callbacks);
  HotkeyBindings(const HotkeyBindings&) = delete;
  HotkeyBindings& operator=(const HotkeyBindings&) = delete;

  // Registers the bindings again when anything they derive from changed since the last call.
  void rebind();
  // The description of the bindings registered last; empty before the first rebind.
  const std::string& signature() const { return signature_; }

 private:
  std::string currentSignature() const;
  void bind(const std::optional<Hotkey>& hotkey, std::function<void()> action);
  void moveFrontWindow(int number);

  HotkeyCenter& center_;
  SpaceEngine& engine_;
  Settings& settings_;
  SpaceStore& store_;
  const KeyNames& names_;
  platform::Workspace& workspace_;
  TitleFn title_;
  Callbacks callbacks_;
  std::string signature_;
  // The center may outlive us; its actions then do nothing.
  Lifetime lifetime_;
};

}  // namespace velmora
