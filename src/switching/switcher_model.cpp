#include "switching/switcher_model.h"

#include <algorithm>

#include "switching/space_search.h"

namespace velmora {

SwitcherModel::SwitcherModel(TitleFn title) : title_(std::move(title)) {}

void SwitcherModel::load(std::vector<Desktop> desktops, AppsMap apps,
                         std::optional<SpaceID> currentID, std::optional<SpaceID> lastID) {
  desktops_ = std::move(desktops);
  apps_ = std::move(apps);
  currentID_ = currentID;
  lastID_ = lastID;
  // Titles and application names are read once here, not on every keystroke.
  titles_.clear();
  appNames_.clear();
  for (const Desktop& d : desktops_) {
    titles_.push_back(title_ ? title_(d) : "Desktop " + std::to_string(d.number));
    std::vector<std::string>& names = appNames_.emplace_back();
    for (const SpaceApp& app : appsOf(d)) names.push_back(app.name);
  }
}

const std::vector<SpaceApp>& SwitcherModel::appsOf(const Desktop& desktop) const {
  static const std::vector<SpaceApp> kNone;
  auto it = apps_.find(desktop.id());
  return it == apps_.end() ? kNone : it->second;
}

std::optional<Desktop> SwitcherModel::desktopWithNumber(int number) const {
  for (const Desktop& d : desktops_) {
    if (d.number == number) return d;
  }
  return std::nullopt;
}

void SwitcherModel::update(std::string_view text) {
  query_ = SpaceSearch::normalize(text);
  openingApps_.clear();
  rows_.clear();
  scores_.clear();
  selection_ = 0;

  if (query_.empty()) {
    rows_ = desktops_;
    auto at = [&](auto&& pred) { return std::find_if(rows_.begin(), rows_.end(), pred); };
    auto last = at([&](const Desktop& d) { return lastID_ && d.id() == *lastID_; });
    if (last == rows_.end()) {
      last = at([&](const Desktop& d) { return !currentID_ || d.id() != *currentID_; });
    }
    if (last != rows_.end()) selection_ = static_cast<std::size_t>(last - rows_.begin());
    changed_.emit();
    return;
  }

  std::vector<SpaceSearch::Candidate> candidates;
  candidates.reserve(desktops_.size());
  for (std::size_t i = 0; i < desktops_.size(); ++i) {
    candidates.push_back({titles_[i], desktops_[i].number, appNames_[i]});
  }
  for (const SpaceSearch::Ranked& r : SpaceSearch::rank(query_, candidates)) {
    const Desktop& d = desktops_[r.index];
    rows_.push_back(d);
    scores_.push_back(r.score);
    if (r.score != SpaceSearch::Score::kApplication) continue;
    // Found only through an application: the first whose name begins with the query is the
    // one the user meant.
    const std::vector<SpaceApp>& apps = appsOf(d);
    for (std::size_t a = 0; a < apps.size(); ++a) {
      if (SpaceSearch::matchesApplication(query_, appNames_[r.index][a])) {
        openingApps_.emplace(d.id(), apps[a]);
        break;
      }
    }
  }
  changed_.emit();
}

std::optional<int> SwitcherModel::scoreOf(std::size_t row) const {
  if (row >= scores_.size()) return std::nullopt;
  return scores_[row];
}

std::optional<SpaceApp> SwitcherModel::openingApp(const Desktop& desktop) const {
  auto it = openingApps_.find(desktop.id());
  if (it == openingApps_.end()) return std::nullopt;
  return it->second;
}

std::optional<Desktop> SwitcherModel::selectedRow() const {
  if (selection_ >= rows_.size()) return std::nullopt;
  return rows_[selection_];
}

void SwitcherModel::move(int delta) {
  if (rows_.empty()) return;
  const auto count = static_cast<long long>(rows_.size());
  long long next = (static_cast<long long>(selection_) + delta % count + count) % count;
  select(static_cast<std::size_t>(next));
}

void SwitcherModel::hover(std::size_t row) {
  if (row < rows_.size() && hoverAllowed()) select(row);
}

void SwitcherModel::select(std::size_t row) {
  if (row == selection_) return;
  selection_ = row;
  changed_.emit();
}

void SwitcherModel::activate(const Desktop& desktop) {
  if (onActivate_) onActivate_(desktop);
}

}  // namespace velmora
