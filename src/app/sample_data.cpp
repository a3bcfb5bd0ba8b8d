#include "app/sample_data.h"

#include <array>

namespace velmora {

namespace {

struct SampleDesktop {
  const char* name;
  const char* symbol;
  std::int64_t color;
  double hours;
  std::array<const char*, 3> apps;
};

// Ten, so a machine with up to ten desktops gets a different one on each; the rest repeat.
constexpr std::array<SampleDesktop, 10> kSamples{{
    {"Mail", "envelope.fill", 0, 6.5, {"Mail", "Calendar", nullptr}},
    {"Deep Work", "brain.head.profile", 4, 21.25, {"Xcode", "Terminal", nullptr}},
    {"Design", "paintbrush.fill", 7, 9.75, {"Sketchbook", "Preview", nullptr}},
    {"Research", "books.vertical.fill", 2, 4.0, {"Safari", "Notes", nullptr}},
    {"Music", "music.note", 8, 1.5, {"Music", nullptr, nullptr}},
    {"Meetings", "video.fill", 5, 7.0, {"Zoom Rooms", "Calendar", nullptr}},
    {"Writing", "pencil", 3, 3.25, {"Pages", nullptr, nullptr}},
    {"Finance", "chart.bar.fill", 1, 2.0, {"Numbers", "Safari", nullptr}},
    {"Chat", "bubble.left.and.bubble.right.fill", 6, 5.5, {"Messages", "Slack", nullptr}},
    {"Inbox Zero", "tray.fill", 9, 0.75, {"Mail", nullptr, nullptr}},
}};

}  // namespace

void useSampleData(VelmoraApp& app) {
  SpaceMetaMap metas;
  SpaceEngine::AppsMap apps;
  platform::pid_t pid = 9000;  // well away from the machine's own processes
  for (const Desktop& desktop : app.engine().desktops()) {
    const SampleDesktop& sample =
        kSamples[static_cast<std::size_t>(desktop.number - 1) % kSamples.size()];
    SpaceMeta meta;
    meta.name = sample.name;
    meta.icon = SpaceIcon::symbol(sample.symbol);
    meta.color = TileColor::palette(sample.color);
    meta.seconds = sample.hours * 3600;
    metas[desktop.space.managedID] = meta;
    std::vector<SpaceApp>& list = apps[desktop.id()];
    for (const char* name : sample.apps) {
      if (!name) continue;
      list.push_back(SpaceApp{++pid, name, std::nullopt, std::nullopt});
    }
  }
  app.store().replaceAll(std::move(metas));
  app.engine().setSampleApps(std::move(apps));
}

}  // namespace velmora
