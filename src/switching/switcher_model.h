#pragma once
// What the quick switcher lists: every desktop it was opened with, the rows that match what
// the user typed (best first), which row is highlighted, and for rows found through an
// application, the application to bring forward on arrival. The view redraws on `changed`.
//
// The model decides nothing about time or the panel: whoever owns it installs what activating
// a row does and whether the pointer may move the selection yet.

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/signal.h"
#include "spaces/desktop.h"

namespace velmora {

class SwitcherModel {
 public:
  using TitleFn = std::function<std::string(const Desktop&)>;
  using AppsMap = std::map<SpaceID, std::vector<SpaceApp>>;

  // `title` is the text a desktop is searched and shown by.
  explicit SwitcherModel(TitleFn title);

  // Rows, selection or query changed.
  Signal& changed() { return changed_; }

  // ---- Filled at every opening ----
  // The desktops in the engine's order, their applications, the desktop the user is on and the
  // one jump back returns to. The rows stay as they were until the next `update`.
  void load(std::vector<Desktop> desktops, AppsMap apps, std::optional<SpaceID> currentID,
            std::optional<SpaceID> lastID);

  const std::vector<Desktop>& desktops() const { return desktops_; }
  const AppsMap& apps() const { return apps_; }
  // The applications of one desktop as read at opening; empty when it had none.
  const std::vector<SpaceApp>& appsOf(const Desktop& desktop) const;
  std::optional<SpaceID> currentID() const { return currentID_; }
  std::optional<SpaceID> lastID() const { return lastID_; }
  // The desktop with this number among those opened with.
  std::optional<Desktop> desktopWithNumber(int number) const;

  // ---- What the user typed ----
  // Searches anew: every desktop in order for an empty query (selecting where jump back
  // goes, else the first desktop the user is not on), else those that match, best first.
  void update(std::string_view text);
  const std::string& query() const { return query_; }
  const std::vector<Desktop>& rows() const { return rows_; }
  // The score each row matched with, parallel to rows(); none while the query is empty.
  std::optional<int> scoreOf(std::size_t row) const;
  // For rows found only through an application: the application to bring forward.
  const std::map<SpaceID, SpaceApp>& openingApps() const { return openingApps_; }
  std::optional<SpaceApp> openingApp(const Desktop& desktop) const;

  // ---- The highlight ----
  std::size_t selection() const { return selection_; }
  std::optional<Desktop> selectedRow() const;
  // Moves the highlight by `delta`, wrapping around at both ends.
  void move(int delta);
  // The pointer rests on `row`: it becomes the highlight when hover is allowed.
  void hover(std::size_t row);

  // ---- Acting ----
  void activate(const Desktop& desktop);
  void setOnActivate(std::function<void(const Desktop&)> fn) { onActivate_ = std::move(fn); }
  void setHoverAllowed(std::function<bool()> fn) { hoverAllowed_ = std::move(fn); }
  bool hoverAllowed() const { return hoverAllowed_ && hoverAllowed_(); }

 private:
  void select(std::size_t row);

  TitleFn title_;
  Signal changed_;
  std::vector<Desktop> desktops_;
  // Searched text per desktop, parallel to desktops_: its title and its applications' names.
  std::vector<std::string> titles_;
  std::vector<std::vector<std::string>> appNames_;
  AppsMap apps_;
  std::optional<SpaceID> currentID_;
  std::optional<SpaceID> lastID_;
  std::string query_;
  std::vector<Desktop> rows_;
  std::vector<int> scores_;
  std::map<SpaceID, SpaceApp> openingApps_;
  std::size_t selection_ = 0;
  std::function<void(const Desktop&)> onActivate_;
  std::function<bool()> hoverAllowed_;
};

}  // namespace velmora
