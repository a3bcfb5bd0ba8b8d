#include "switching/hotkey_bindings.h"

#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace velmora {

namespace {

// Desktops 1…10 get number shortcuts; 10 is the 0 key.
constexpr int kNumberedDesktops = 10;

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) out += separator;
    out += parts[i];
  }
  return out;
}

}  // namespace

HotkeyBindings::HotkeyBindings(HotkeyCenter& center, SpaceEngine& engine, Settings& settings,
                               SpaceStore& store, const KeyNames& names,
                               platform::Workspace& workspace, TitleFn title, Callbacks callbacks)
    : center_(center),
      engine_(engine),
      settings_(settings),
      store_(store),
      names_(names),
      workspace_(workspace),
      title_(std::move(title)),
      callbacks_(std::move(callbacks)) {}

std::string HotkeyBindings::currentSignature() const {
  std::vector<std::string> own;
  for (const Desktop& desktop : engine_.desktops()) {
    if (auto hotkey = store_.meta(desktop.space.managedID).hotkey) {
      own.push_back(to_string(desktop.id()) + ":" + names_.display(*hotkey));
    }
  }
  auto marker = [&](const std::optional<Hotkey>& hotkey) {
    return hotkey ? names_.display(*hotkey) : std::string(kUnsetMarker);
  };
  auto flag = [](bool on) { return std::string(on ? "true" : "false"); };
  return joined(
      {
          joined(own, ","),
          marker(settings_.switcherHotkey()),
          marker(settings_.jumpBackHotkey()),
          marker(settings_.nextHotkey()),
          marker(settings_.prevHotkey()),
          marker(settings_.presentationHotkey()),
          flag(settings_.directJumpEnabled()),
          std::to_string(settings_.directJumpModifiers()),
          flag(settings_.moveWindowEnabled()),
      },
      "|");
}

void HotkeyBindings::bind(const std::optional<Hotkey>& hotkey, std::function<void()> action) {
  if (hotkey) center_.registerHotkey(*hotkey, lifetime_.guard(std::move(action)));
}

void HotkeyBindings::rebind() {
  std::string signature = currentSignature();
  if (signature == signature_) return;
  signature_ = std::move(signature);
  center_.removeAll();

  bind(settings_.switcherHotkey(), [this] {
    if (callbacks_.openQuickSwitcher) callbacks_.openQuickSwitcher();
  });
  bind(settings_.jumpBackHotkey(), [this] { engine_.jumpBack(); });
  bind(settings_.nextHotkey(), [this] { engine_.step(+1); });
  bind(settings_.prevHotkey(), [this] { engine_.step(-1); });
  bind(settings_.presentationHotkey(),
       [this] { settings_.setPresenting(!settings_.presenting()); });

  // Desktops are looked up again at press time: ids stay, but desktops come and go.
  std::set<std::string> ownDisplays;
  for (const Desktop& desktop : engine_.desktops()) {
    std::optional<Hotkey> own = store_.meta(desktop.space.managedID).hotkey;
    if (!own) continue;
    ownDisplays.insert(names_.display(*own));
    bind(own, [this, id = desktop.id()] {
      if (auto target = engine_.desktopWithID(id)) engine_.switchTo(*target, "space hotkey");
    });
  }

  const std::uint32_t mods = settings_.directJumpModifiers();
  for (int n = 1; n <= kNumberedDesktops; ++n) {
    std::optional<std::uint32_t> key = platform::keys::digitForDesktop(n);
    if (!key) continue;
    if (settings_.directJumpEnabled()) {
      Hotkey jump{*key, mods};
      // A desktop's own shortcut wins over the number shortcut it coincides with.
      if (!ownDisplays.count(names_.display(jump))) {
        bind(jump, [this, n] {
          engine_.refresh(false);  // the number means the desktop numbered so now
          if (auto target = engine_.desktopWithNumber(n)) engine_.switchTo(*target, "hotkey");
        });
      }
    }
    if (settings_.moveWindowEnabled()) {
      bind(Hotkey{*key, mods | platform::kShiftKey}, [this, n] { moveFrontWindow(n); });
    }
  }
}

void HotkeyBindings::moveFrontWindow(int number) {
  engine_.refresh(false);  // the number means the desktop numbered so now
  std::optional<Desktop> target = engine_.desktopWithNumber(number);
  if (!target) return;
  std::optional<platform::RunningApplication> app = workspace_.frontmostApplication();
  const bool follow = settings_.moveFollow();
  if (!engine_.moveFrontWindow(app, *target, follow)) return;
  // Following the window, the landing itself shows the switch tag.
  if (follow || !callbacks_.toast) return;
  std::string who = app && app->localizedName ? *app->localizedName : "window";
  std::string where = title_ ? title_(*target) : "Desktop " + std::to_string(target->number);
  callbacks_.toast("Moved " + who + " to " + where, std::string(kMoveToastSymbol),
                   kMoveToastSeconds);
}

}  // namespace velmora
