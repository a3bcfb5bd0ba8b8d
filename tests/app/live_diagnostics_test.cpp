#include "app/live_diagnostics.h"

#include <gtest/gtest.h>

#include "golden.h"
#include "spaces/engine_world.h"
#include "store/log_file.h"

namespace velmora {
namespace {

TEST(LiveDiagnostics, TheTextDescribesTheRunningMachine) {
  testing::EngineWorld w;
  auto a = w.display("MAIN", 2);
  w.mac.addSpace("MAIN", sim::kSpaceTypeFullScreen);
  Logs logs(w.mac.home(), w.loop);
  w.makeEngine();
  w.store.update(testing::mid(a[1]), [](SpaceMeta& m) {
    m.name = "Mail";
    m.color = TileColor::palette(12);
  });
  w.userSwitch(a[1]);

  // The running machine as the text describes it: the display with its desktops (the named
  // one with its colour) and the full-screen space, the focused and last desktop; then in
  // presentation mode, where titles hide and the stored colour is still reported.
  LiveDiagnostics sources(*w.engine, w.presentation, w.shortcuts);
  std::string text = diagnosticsText(sources, w.options, logs.missionControl());
  w.options.setPresenting(true);
  text += "\n== presenting\n" + diagnosticsText(sources, w.options, logs.missionControl());
  EXPECT_TRUE(testing::matchesGolden("app/live_diagnostics.txt", text));
}

}  // namespace
}  // namespace velmora
