#include "cli/session_command.h"

#include <algorithm>
#include <string>
#include <vector>

#include "cli/words.h"

namespace velmora::cli {

namespace {

// Columns a text takes on a terminal: one per code point, which is right for what help shows.
std::size_t columns(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

}  // namespace

const std::vector<Session::Command>& Session::commands() {
  using S = Session;
  auto simple = [](auto action) {
    return [action](Session& s, std::string_view args) -> Status {
      action(s, args);
      return Status::ok;
    };
  };
  static const std::vector<Command> table{
      {"launch", "", "Starts Velmora now, or again after it ended: a new copy on the same home.",
       Needs::machine,
       [](S& s, std::string_view) {
         if (!s.copy_) s.startCopy();
         return Status::ok;
       }},
      {"kill", "", "Ends Velmora abruptly, as a crash would: nothing is written on the way out.",
       Needs::velmora,
       [](S& s, std::string_view) {
         s.endCopy(s.copy_->pid, Ending::abruptly);
         return Status::ok;
       }},
      {"quit", "", "Quits Velmora as the user would (totals and changes written); the run ends.",
       Needs::either,
       [](S& s, std::string_view) {
         s.quit();
         return Status::quit;
       }},
      {"advance", "SECONDS", "Lets virtual time pass; everything due happens at its time.",
       Needs::either, &S::advance},
      {"wait", "SECONDS", "The same as advance.", Needs::either, &S::advance},
      {"press", "COMBO", "The user presses keys: ctrl+opt+3, ctrl+right, cmd+shift+z, f5.",
       Needs::either, &S::press},
      {"open", "URL…", "Opens links of Velmora's scheme, in order.", Needs::velmora, &S::openURLs},
      {"set", "KEY VALUE", "Stores a setting by its defaults key (none removes it).",
       Needs::machine, &S::set},
      {"name", "N TEXT", "Names desktop N (an empty text clears the name).", Needs::velmora,
       &S::nameDesktop},
      {"edit", "N [FIELD VALUE]",
       "Opens the editor on desktop N; FIELD: name, icon, emoji, picture, color, shortcut, "
       "reset, done.",
       Needs::velmora, &S::editDesktop},
      {"choose file", "PATH", "The user's answer to the next open panel.", Needs::machine,
       &S::chooseFile},
      {"choose cancel", "", "The user cancels the next open panel.", Needs::machine,
       simple([](S& s, std::string_view) { s.mac_.openPanel().answer(std::nullopt); })},
      {"click tile", "[right|control]",
       "Clicks Velmora's tile: plain toggles the popover, right or control opens the menu.",
       Needs::either, &S::click},
      {"click", "X Y [right]",
       "The user clicks a point of the screen (y up): a panel there, else outside Velmora; "
       "with right, the secondary button.",
       Needs::machine, [](S& s, std::string_view args) { return s.clickAt(args, false); }},
      {"click panel", "NAME [ROW] [right]",
       "The user clicks the centre of a panel, a row of the quick switcher or a card of the hover "
       "strip; with right, the secondary button.",
       Needs::either, [](S& s, std::string_view args) { return s.clickAt(args, true); }},
      {"scroll", "X Y by DY",
       "The user scrolls over a point of the screen (y up) by DY points: negative scrolls "
       "down the content, as a wheel turned towards the user does.",
       Needs::machine, [](S& s, std::string_view args) { return s.scrollAt(args, false); }},
      {"scroll panel", "NAME by DY", "The user scrolls over the centre of a panel by DY points.",
       Needs::either, [](S& s, std::string_view args) { return s.scrollAt(args, true); }},
      {"click settings", "ID|PAGE|name|emoji|back|reset|done",
       "Clicks the settings window where it draws a control (by the id print settings shows), a "
       "page of its sidebar, or a field or button of the open desktop editor.",
       Needs::velmora, &S::clickSettings},
      {"click first run", "allow|dismiss",
       "Clicks a button of the first-run window: Allow Accessibility…, or Not Now (Done once "
       "the grant is on).",
       Needs::velmora, &S::clickFirstRun},
      {"open mission control", "",
       "Mission Control opens (the Dock's, or the window manager's on macOS 27).", Needs::machine,
       simple([](S& s, std::string_view) { s.mac_.openMissionControl(); })},
      {"close mission control", "", "Mission Control closes.", Needs::machine,
       simple([](S& s, std::string_view) { s.mac_.closeMissionControl(); })},
      {"swipe", "up|down|left|right",
       "A three-finger swipe: up opens Mission Control, down closes it, left and right slide.",
       Needs::machine, &S::swipe},
      {"type", "TEXT",
       "The user types into the focused field, a key a character (emoji as text input).",
       Needs::either, &S::type},
      {"menu choose", "TITLE", "Picks an item of the open menu by its title.", Needs::either,
       &S::menuChoose},
      {"menu close", "", "Dismisses the open menu.", Needs::either,
       [](S& s, std::string_view) {
         return s.mac_.menuBar().dismissMenu() ? Status::ok : s.fail("no menu is open");
       }},
      {"screenshot", "FILE.png [WHAT] [on DISPLAY]",
       "Draws a display into a PNG; WHAT: tile, menu bar, menu, switch tag, toast, editor, "
       "settings, first run, switcher, popover.",
       Needs::either, &S::screenshot},
      {"grant accessibility", "", "The user turns the Accessibility grant on.", Needs::machine,
       simple([](S& s, std::string_view) { s.mac_.setAccessibilityTrusted(true); })},
      {"revoke accessibility", "", "The user turns the Accessibility grant off.", Needs::machine,
       simple([](S& s, std::string_view) { s.mac_.setAccessibilityTrusted(false); })},
      {"add display", "UUID [WxH]", "Plugs a display in to the right of the others.",
       Needs::machine, &S::addDisplay},
      {"remove display", "UUID", "Unplugs a display.", Needs::machine,
       [](S& s, std::string_view uuid) {
         if (!s.mac_.display(std::string(uuid)))
           return s.fail("there is no display \"" + std::string(uuid) + "\"");
         s.mac_.userDetachDisplay(std::string(uuid));
         return Status::ok;
       }},
      {"add desktop", "[DISPLAY]", "Mission Control's \"+\" on a display (the active one).",
       Needs::machine,
       [](S& s, std::string_view which) {
         std::string display = which.empty() ? s.mac_.activeMenuBarDisplay() : std::string(which);
         if (!s.mac_.display(display)) return s.fail("there is no display \"" + display + "\"");
         s.mac_.userAddDesktop(display);
         return Status::ok;
       }},
      {"remove desktop", "N", "Removes desktop N.", Needs::machine,
       [](S& s, std::string_view which) {
         auto space = s.spaceOfDesktop(which);
         if (!space) return s.fail("there is no Desktop " + std::string(which));
         s.mac_.userRemoveSpace(*space);
         return Status::ok;
       }},
      {"add app", "NAME [BUNDLE-ID]", "An application starts.", Needs::machine,
       [](S& s, std::string_view args) {
         auto [name, bundleID] = splitWord(args);
         if (name.empty()) return s.fail("add app takes a name: add app Notes [com.apple.Notes]");
         sim::SimApp app;
         app.name = std::string(name);
         if (!bundleID.empty()) app.bundleIdentifier = std::string(bundleID);
         s.emit(std::string(name) + " runs, pid " + std::to_string(s.mac_.addApplication(app)));
         return Status::ok;
       }},
      {"remove app", "NAME", "An application quits.", Needs::machine,
       [](S& s, std::string_view name) {
         auto pid = s.appArg(name);
         if (!pid) return s.fail("no running application is called \"" + std::string(name) + "\"");
         s.mac_.quitApplication(*pid);
         return Status::ok;
       }},
      {"open window", "APP [on N]", "A window opens (on the active display, or on desktop N).",
       Needs::machine, &S::openWindow},
      {"close window", "NUMBER", "A window closes (print windows lists them).", Needs::machine,
       [](S& s, std::string_view which) {
         auto n = integer(which);
         if (!n || !s.mac_.window(*n)) {
           return s.fail(
               "close takes a window number: close window 104 (print windows lists them)");
         }
         s.mac_.userCloseWindow(*n);
         return Status::ok;
       }},
      {"activate", "APP", "The application comes to the front.", Needs::machine,
       [](S& s, std::string_view name) {
         auto pid = s.appArg(name);
         if (!pid) return s.fail("no running application is called \"" + std::string(name) + "\"");
         s.mac_.userActivate(*pid);
         return Status::ok;
       }},
      {"add menu extra", "APP [WIDTH]",
       "Another application's item WIDTH points wide (32) joins the menu bar beside the system's "
       "items, right of every other item.",
       Needs::machine,
       [](S& s, std::string_view args) {
         auto [app, rest] = splitWord(args);
         std::optional<double> width = trim(rest).empty() ? std::optional(32.0) : number(rest);
         if (app.empty() || !width || *width <= 0 || *width > 2000) {
           return s.fail(
               "add menu extra takes an application and a width: add menu extra Dropbox 32");
         }
         auto extras = s.mac_.menuBar().extras();
         extras.insert(extras.begin(), {std::string(app), "", "circle.fill", *width});
         s.mac_.menuBar().setExtras(std::move(extras));
         return Status::ok;
       }},
      {"remove menu extra", "APP", "That application's menu bar items go away.", Needs::machine,
       [](S& s, std::string_view app) {
         auto extras = s.mac_.menuBar().extras();
         auto gone = std::erase_if(extras, [&](const auto& e) { return e.owner == trim(app); });
         if (gone == 0) {
           return s.fail("no menu bar item belongs to \"" + std::string(app) +
                         "\" (print menu bar)");
         }
         s.mac_.menuBar().setExtras(std::move(extras));
         return Status::ok;
       }},
      {"switch", "N", "The user's own switch to desktop N (a swipe, Mission Control).",
       Needs::machine,
       [](S& s, std::string_view which) {
         auto space = s.spaceOfDesktop(which);
         if (!space) return s.fail("there is no Desktop " + std::string(which));
         s.mac_.userSwitchTo(*space);
         return Status::ok;
       }},
      {"focus display", "UUID", "The user clicks into a display: its menu bar becomes active.",
       Needs::machine,
       [](S& s, std::string_view uuid) {
         if (!s.mac_.display(std::string(uuid))) {
           return s.fail("focus takes a display: focus display <uuid>");
         }
         s.mac_.setActiveMenuBarDisplay(std::string(uuid));
         return Status::ok;
       }},
      {"badge", "APP TEXT|none", "The Dock shows (or removes) a badge on the application's icon.",
       Needs::machine, &S::badge},
      {"pointer", "X Y",
       "The user moves the pointer to a point of the screen (y up); a panel there hears it.",
       Needs::machine, [](S& s, std::string_view args) { return s.pointAt(args, false); }},
      {"move pointer to top edge", "[of DISPLAY] [at X]",
       "The user pushes the pointer against the top of a display (the main one), at X from its "
       "left edge (the middle).",
       Needs::machine, [](S& s, std::string_view args) { return s.pointerToTopEdge(args); }},
      {"click strip app", "APP [on N]",
       "The user clicks an application's icon in the hover strip (under card N).", Needs::velmora,
       [](S& s, std::string_view args) { return s.clickStripApp(args); }},
      {"click popover", "row N|send N|edit N|back|settings button|grant|turn off|footer NAME",
       "The user clicks in the popover: desktop row N, its send or Edit button, the editor's "
       "back control, the header's settings button, a notice's button, or a footer command "
       "(quick switcher, mission control, jump back, settings, quit).",
       Needs::velmora, [](S& s, std::string_view args) { return s.clickPopover(args); }},
      {"pointer panel", "NAME [ROW]",
       "The user moves the pointer to the centre of a panel, or a switcher row.", Needs::either,
       [](S& s, std::string_view args) { return s.pointAt(args, true); }},
      {"another copy starts", "[PATH]",
       "A second copy starts (from PATH); its launch retires the running one.", Needs::machine,
       [](S& s, std::string_view path) {
         std::optional<std::string> from;
         if (!path.empty()) from = unquoted(path);
         s.startCopy(std::move(from));
         return Status::ok;
       }},
      {"run from disk image", "", "Before launch: Velmora runs from a mounted disk image.",
       Needs::machine, [](S& s, std::string_view) { return s.runFromDiskImage(); }},
      {"answer", "[BUTTON]", "The user's answer to the next alert (the first button if none).",
       Needs::machine,
       simple([](S& s, std::string_view button) { s.mac_.answerAlerts({unquoted(button)}); })},
      {"install version", "V", "The installed bundle reports version V.", Needs::machine,
       [](S& s, std::string_view version) {
         if (version.empty()) return s.fail("install takes a version: install version 1.2.0");
         s.mac_.bundleInfo().info["CFBundleShortVersionString"] = Value(std::string(version));
         return Status::ok;
       }},
      {"update", "V",
       "The update site publishes a signed image of version V and its feed (on 127.0.0.1).",
       Needs::machine, &S::publishUpdate},
      {"update check", "", "Velmora checks the update feed now; the script waits for it.",
       Needs::velmora,
       [](S& s, std::string_view) {
         std::string answer = s.copy_->app->updates().check();
         if (answer != "checking") s.print("update check: " + answer);
         return s.waitForUpdate();
       }},
      {"update download", "",
       "Velmora downloads and verifies the available version; the script waits for it.",
       Needs::velmora,
       [](S& s, std::string_view) {
         s.copy_->app->updates().download();
         return s.waitForUpdate();
       }},
      {"update install", "",
       "Velmora installs the verified image and relaunches; the script waits for it.",
       Needs::velmora,
       [](S& s, std::string_view) {
         s.copy_->app->updates().install();
         return s.waitForUpdate();
       }},
      {"update skip", "", "The user skips the available version.", Needs::velmora,
       simple([](S& s, std::string_view) { s.copy_->app->updates().skip(); })},
      {"update notes", "", "The user asks what is new in the available version.", Needs::velmora,
       simple([](S& s, std::string_view) { s.copy_->app->updates().showWhatsNew(); })},
      {"update fault", "NAME",
       "The update site misbehaves: none, 404, one-byte-more, other-bytes, stall, close, "
       "redirect-loop; or its next image is other-team, unsigned or tampered.",
       Needs::machine, &S::updateFault},
      {"update feed", "TEXT", "The update site serves TEXT as its feed.", Needs::machine,
       simple([](S& s, std::string_view text) { s.updateSite_->setFeedText(unquoted(text)); })},
      {"applications locked", "on|off",
       "The Applications folder cannot take new items (on), or can again (off).", Needs::machine,
       [](S& s, std::string_view state) {
         if (state != "on" && state != "off") return s.fail("applications locked takes on or off");
         s.mac_.disks().setFolderLocked(s.mac_.disks().localApplicationsFolder(), state == "on");
         return Status::ok;
       }},
      {"wait for update", "", "Waits until the updater's network and install work has finished.",
       Needs::either, [](S& s, std::string_view) { return s.waitForUpdate(); }},
      {"print update", "",
       "What the updater knows: its feed, the available version, phase and outcome.",
       Needs::velmora, [](S& s, std::string_view) { return s.printUpdate(); }},
      {"reopen", "", "The user opens Velmora again while it runs.", Needs::velmora,
       simple([](S& s, std::string_view) {
         s.copy_->app->delegate().applicationShouldHandleReopen(false);
       })},
      {"preview notch label", "",
       "The settings' preview: the label for a few seconds, at a stand-in notch on a display "
       "without one.",
       Needs::velmora,
       simple([](S& s, std::string_view) { s.copy_->app->delegate().previewNotchLabel(); })},
      {"hold", "COMBO", "Another application holds the combination; registering it is refused.",
       Needs::machine, [](S& s, std::string_view combo) { return s.holdCombination(combo, true); }},
      {"release", "COMBO", "The other application lets go; Velmora's next rebind takes it.",
       Needs::machine,
       [](S& s, std::string_view combo) { return s.holdCombination(combo, false); }},
      {"ignore switch calls", "[N|all|off]",
       "The window server ignores the next N switch calls (all unless given).", Needs::machine,
       &S::ignoreSwitchCalls},
      {"restart dock", "", "The Dock restarts (killall Dock): a new pid, Mission Control closed.",
       Needs::machine, simple([](S& s, std::string_view) { s.mac_.dock().restart(); })},
      {"accessibility times out for", "APP",
       "Accessibility calls to the application time out (kAXErrorCannotComplete).", Needs::machine,
       [](S& s, std::string_view app) { return s.accessibilityTimesOut(app, true); }},
      {"accessibility answers", "APP", "The application answers accessibility calls again.",
       Needs::machine,
       [](S& s, std::string_view app) { return s.accessibilityTimesOut(app, false); }},
      {"print desktops", "",
       "Every desktop: * when current, number, title, display, space, applications.",
       Needs::velmora, [](S& s, std::string_view) { return s.printDesktops(); }},
      {"print current", "", "The user's current desktop and the one jump back returns to.",
       Needs::velmora,
       [](S& s, std::string_view) {
         auto describe = [&](const std::optional<Desktop>& d) {
           return d ? "Desktop " + std::to_string(d->number) + " “" +
                          s.copy_->app->presentation().title(*d) + "”"
                    : std::string("none");
         };
         s.print("current: " + describe(s.copy_->app->engine().currentDesktop()));
         s.print("last: " + describe(s.copy_->app->engine().lastDesktop()));
         return Status::ok;
       }},
      {"export time", "",
       "Exports counted time as CSV: the save panel opens; answer it with answer save panel.",
       Needs::velmora, [](S& s, std::string_view) { return s.exportTime(); }},
      {"reset time", "",
       "Resets every desktop's time after asking (answer \"Reset Times\" first to agree).",
       Needs::velmora, [](S& s, std::string_view) { return s.resetTime(); }},
      {"answer save panel", "PATH",
       "The user saves where PATH says (~/ and relative paths lie in the home folder).",
       Needs::machine, &S::answerSavePanel},
      {"cancel save panel", "", "The user cancels the open save panel.", Needs::machine,
       [](S& s, std::string_view) {
         return s.mac_.savePanel().answer(std::nullopt) ? Status::ok
                                                        : s.fail("no save panel is open");
       }},
      {"print save panel", "", "The open save panel: the name it proposes and the types it allows.",
       Needs::either, [](S& s, std::string_view) { return s.printSavePanel(); }},
      {"print file", "PATH", "The text of a file (~/ and relative paths lie in the home folder).",
       Needs::either, &S::printFile},
      {"print time", "", "Each desktop's counted time as Velmora holds it, in seconds.",
       Needs::velmora, [](S& s, std::string_view) { return s.printTime(); }},
      {"print log", "NAME [CHARS]", "The tail of switches, updates or mission-control.",
       Needs::velmora, &S::printLog},
      {"print diagnostics", "", "The diagnostics text the user can copy.", Needs::velmora,
       simple(
           [](S& s, std::string_view) { s.printLines(s.copy_->app->delegate().diagnostics()); })},
      {"print toasts", "", "Every toast so far.", Needs::either, simple([](S& s, std::string_view) {
         for (const auto& line : s.record_.toasts()) s.print(line);
         if (s.record_.toasts().empty()) s.print("(no toasts)");
       })},
      {"print surfaces", "", "Every surface request so far.", Needs::either,
       simple([](S& s, std::string_view) {
         for (const auto& line : s.record_.lines()) s.print(line);
       })},
      {"print hotkeys", "", "The hot keys registered with the system.", Needs::either,
       [](S& s, std::string_view) { return s.printHotkeys(); }},
      {"print keys", "", "Who received each key press.", Needs::either,
       simple([](S& s, std::string_view) {
         for (const auto& d : s.mac_.keyboard().deliveries()) {
           std::string what = d.textInput ? "text input \"" + d.text + "\""
                                          : std::string(d.synthetic ? "synthetic " : "") + "key " +
                                                std::to_string(d.event.keyCode);
           std::string typed = d.edit.empty() ? "" : " typed \"" + d.edit + "\"";
           s.print(what + " → " + d.receiver + typed);
         }
       })},
      {"print windows", "", "The application windows, front to back.", Needs::either,
       [](S& s, std::string_view) { return s.printWindows(); }},
      {"print mission control machine", "",
       "The system's Mission Control: open or closed, its host, each bar and tile frame.",
       Needs::either, [](S& s, std::string_view) { return s.printMissionControlMachine(); }},
      {"print alerts", "", "The alerts shown.", Needs::either, simple([](S& s, std::string_view) {
         for (const auto& a : s.mac_.alerts()) s.print("alert: " + a.title + " — " + a.text);
       })},
      {"print settings", "",
       "The settings window's page: its title, then each section and control with its id.",
       Needs::velmora, [](S& s, std::string_view) { return s.printSettings(); }},
      {"settings page", "PAGE",
       "Opens the settings window at a page: spaces, missionControl, switchTag, spaceHover, "
       "shortcuts, timeTracking, general, about.",
       Needs::velmora, &S::settingsPage},
      {"settings toggle", "ID", "Flips a switch of the page shown.", Needs::velmora,
       [](S& s, std::string_view args) { return s.settingsAct("toggle", args); }},
      {"settings choose", "ID CHOICE",
       "Picks a choice of a pop-up menu or segmented control, by its text or number from 1.",
       Needs::velmora, [](S& s, std::string_view args) { return s.settingsAct("choose", args); }},
      {"settings set", "ID NUMBER", "Moves a slider (kept to its range and steps).", Needs::velmora,
       [](S& s, std::string_view args) { return s.settingsAct("set", args); }},
      {"settings press", "ID",
       "Presses a button, a desktop (its editor opens) or a shortcut recorder (records, or stops).",
       Needs::velmora, [](S& s, std::string_view args) { return s.settingsAct("press", args); }},
      {"settings clear", "ID", "Removes a shortcut recorder's shortcut.", Needs::velmora,
       [](S& s, std::string_view args) { return s.settingsAct("clear", args); }},
      {"print pasteboard", "[LINES]", "The text on the general pasteboard, or its first LINES.",
       Needs::either, &S::printPasteboard},
      {"print finder", "", "The files the Finder was asked to show, one request a line.",
       Needs::either,
       [](S& s, std::string_view) {
         const auto& revealed = s.mac_.workspace().revealed();
         if (revealed.empty()) s.print("(the Finder was not asked to show a file)");
         for (const auto& paths : revealed) {
           std::string line;
           for (const std::string& path : paths) {
             line += (line.empty() ? "" : ", ") + s.shownPath(path);
           }
           s.print("finder shows " + line);
         }
         return Status::ok;
       }},
      {"pasteboard refuses", "on|off", "Whether the pasteboard refuses what is written to it.",
       Needs::machine,
       [](S& s, std::string_view args) {
         std::string v = lower(args);
         if (v != "on" && v != "off") return s.fail("pasteboard refuses takes on or off");
         s.mac_.pasteboard().setRefuses(v == "on");
         return Status::ok;
       }},
      {"login item fails", "[REASON|off]",
       "Registering or unregistering Velmora as a login item fails with REASON; off lets it "
       "succeed again.",
       Needs::machine,
       [](S& s, std::string_view args) {
         std::string reason = unquoted(args);
         if (lower(reason) == "off") {
           s.mac_.velmora().failLoginItemChanges(std::nullopt);
         } else {
           s.mac_.velmora().failLoginItemChanges(
               reason.empty() ? std::string("The operation couldn't be completed.") : reason);
         }
         return Status::ok;
       }},
      {"print menu", "", "The open menu's items.", Needs::either,
       [](S& s, std::string_view) { return s.printMenu(); }},
      {"print menu bar", "", "Every entry of each display's menu bar with its frame.",
       Needs::either, [](S& s, std::string_view) { return s.printMenuBar(); }},
      {"print panels", "",
       "The panels on screen, back to front: frame, level, alpha, key, text fields.", Needs::either,
       [](S& s, std::string_view) { return s.printPanels(); }},
      {"print editor", "", "What the desktop editor holds.", Needs::velmora,
       [](S& s, std::string_view) { return s.printEditor(); }},
      {"print first run", "", "The first-run window: shown or closed, its status line, buttons.",
       Needs::velmora, [](S& s, std::string_view) { return s.printFirstRun(); }},
      {"print switcher", "",
       "The quick switcher: shown or hidden, the query, each row with its score, the highlight.",
       Needs::velmora, [](S& s, std::string_view) { return s.printSwitcher(); }},
      {"print hover strip", "",
       "The hover strip: shown or hidden, where, pinned, dwelling or leaving, each card.",
       Needs::velmora, [](S& s, std::string_view) { return s.printHoverStrip(); }},
      {"print mission control", "",
       "Mission Control as the overlay sees it: open or closed, passes, pills, report, layout.",
       Needs::velmora, [](S& s, std::string_view) { return s.printMissionControl(); }},
      {"print popover", "",
       "The popover: shown or hidden and where, the front application, the page and each line "
       "as shown.",
       Needs::velmora, [](S& s, std::string_view) { return s.printPopover(); }},
      {"print notch", "",
       "The notch label: each notched screen, where its label is and what it shows.",
       Needs::velmora, [](S& s, std::string_view) { return s.printNotch(); }},
      {"print notifications", "", "Every notification Velmora posted or received, with its time.",
       Needs::either, [](S& s, std::string_view) { return s.printNotifications(); }},
      {"print timers", "", "The main loop's pending timers and delayed work.", Needs::either,
       [](S& s, std::string_view) { return s.printTimers(); }},
      {"expect", "[not] TEXT",
       "Passes when a line the last command printed contains TEXT (not: when none does).",
       Needs::nothing, &S::expect},
      {"help", "[COMMAND]", "The commands, one line each.", Needs::nothing,
       simple([](S& s, std::string_view topic) {
         for (const auto& line : help(lower(topic))) s.print(line);
       })},
  };
  return table;
}

std::vector<std::string> Session::help(std::string_view topic) {
  constexpr std::size_t kWidth = 32;
  std::vector<std::string> lines;
  for (const Command& c : commands()) {
    if (!topic.empty() && c.words.substr(0, topic.size()) != topic) continue;
    std::string synopsis(c.words);
    if (!c.arguments.empty()) synopsis += " " + std::string(c.arguments);
    std::size_t width = columns(synopsis);
    synopsis += std::string(width < kWidth ? kWidth - width : 1, ' ');
    lines.push_back(synopsis + std::string(c.summary));
  }
  return lines;
}

}  // namespace velmora::cli
