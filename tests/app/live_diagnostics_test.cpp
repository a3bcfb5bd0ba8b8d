#include "app/live_diagnostics.h"

#include <gtest/gtest.h>

#include "spaces/engine_world.h"
#include "store/log_file.h"

namespace velmora {
namespace {

TEST(LiveDiagnostics, TheTextDescribesTheRunningMachine) {
  testing::EngineWorld w;
  auto a = w.display("MAIN", 2);
  std::uint64_t fs = w.mac.addSpace("MAIN", sim::kSpaceTypeFullScreen);
  Logs logs(w.mac.home(), w.loop);
  w.makeEngine();
  w.store.update(testing::mid(a[1]), [](SpaceMeta& m) {
    m.name = "Mail";
    m.color = TileColor::palette(12);
  });
  w.userSwitch(a[1]);

  LiveDiagnostics sources(*w.engine, w.presentation, w.shortcuts);
  std::string text = diagnosticsText(sources, w.options, logs.missionControl());
  EXPECT_EQ(text.rfind("Velmora diagnostics\naccessibility: false  system desktop shortcuts: 0"
                       "  move a space: ⌃← ⌃→\n",
                       0),
            0u)
      << text;
  EXPECT_NE(text.find("display MAIN current=" + std::to_string(a[1]) + "\n"), std::string::npos);
  EXPECT_NE(text.find("  space " + std::to_string(a[1]) + " msid=" + to_string(testing::mid(a[1])) +
                      " type=0 #2 'Mail' icon=none color=palette(12)\n"),
            std::string::npos)
      << text;
  EXPECT_NE(
      text.find("  space " + std::to_string(fs) + " msid=" + std::to_string(fs) + " type=4\n"),
      std::string::npos);
  EXPECT_NE(text.find("focused: Mail  last: Desktop 1\n"), std::string::npos);
  EXPECT_NE(text.find("mission control open: false\n"), std::string::npos);

  // Presentation mode: titles hide, the stored colour is still reported.
  w.options.setPresenting(true);
  text = diagnosticsText(sources, w.options, logs.missionControl());
  EXPECT_NE(text.find("#2 'Desktop 2' icon=none color=palette(12)"), std::string::npos);
  EXPECT_NE(text.find("focused: Desktop 2  last: Desktop 1\n"), std::string::npos);
}

}  // namespace
}  // namespace velmora
