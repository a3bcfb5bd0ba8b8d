#include "updates/install_location.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <set>
#include <string>

#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"

namespace velmora::updates {
namespace {

namespace fs = std::filesystem;

class InstallLocationTest : public ::testing::Test {
 protected:
  // A bundle whose one file says which version it is.
  static fs::path makeBundle(const fs::path& folder, const std::string& version,
                             const std::string& name = "Velmora.app") {
    fs::create_directories(folder / name / "Contents");
    std::ofstream(folder / name / "Contents" / "version") << version;
    return folder / name;
  }
  static std::string versionAt(const fs::path& bundle) {
    std::ifstream in(bundle / "Contents" / "version");
    std::string version;
    in >> version;
    return version;
  }
  // The folder's items, each bundle with its version: "Velmora.app 2".
  static std::string itemsIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.insert(entry.path().filename().string() + " " + versionAt(entry.path()));
    }
    std::string out;
    for (const std::string& name : names) out += (out.empty() ? "" : ", ") + name;
    return out;
  }
  // The folder becomes a plain file, so nothing can be put in it.
  static void block(const fs::path& folder) {
    fs::remove_all(folder);
    std::ofstream(folder) << "in the way";
  }

  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  platform::Platform host = mac.platform();
  InstallLocations places{host.volumes, host.files, host.home};
  fs::path applications = host.files.localApplicationsFolder();
  fs::path homeApplications = host.home.root / "Applications";
};

TEST_F(InstallLocationTest, KnowsABundleOnAMountedDiskImage) {
  EXPECT_TRUE(places.runsFromDiskImage(makeBundle(mac.mountDiskImage(), "2")));
  EXPECT_FALSE(places.runsFromDiskImage(makeBundle(applications, "1")));
  // The bundle's own default location does not exist on this machine: no facts, no image.
  EXPECT_FALSE(places.runsFromDiskImage(mac.velmora().bundlePath()));

  auto volumes = mac.home().root / "Volumes";
  mac.disks().mountVolume(volumes / "System", {true, true});
  EXPECT_FALSE(places.runsFromDiskImage(makeBundle(volumes / "System", "1")));
  mac.disks().mountVolume(volumes / "Silent", {std::nullopt, false});
  EXPECT_FALSE(places.runsFromDiskImage(makeBundle(volumes / "Silent", "1")));
  mac.disks().mountVolume(volumes / "Unsure", {true, std::nullopt});
  EXPECT_TRUE(places.runsFromDiskImage(makeBundle(volumes / "Unsure", "1")));
}

TEST_F(InstallLocationTest, MovesFromTheImageIntoTheFirstApplicationsFolderThatTakesIt) {
  auto running = makeBundle(mac.mountDiskImage(), "2", "Velmora Beta.app");
  EXPECT_EQ(places.moveDestination(running), applications / "Velmora Beta.app");
  EXPECT_EQ(places.installTarget(running), applications / "Velmora Beta.app");

  fs::create_directories(homeApplications);
  block(applications);
  EXPECT_EQ(places.moveDestination(running), homeApplications / "Velmora Beta.app");
  EXPECT_EQ(places.installTarget(running), homeApplications / "Velmora Beta.app");

  fs::remove_all(homeApplications);
  EXPECT_EQ(places.moveDestination(running), std::nullopt);
  EXPECT_EQ(places.installTarget(running), std::nullopt);
}

TEST_F(InstallLocationTest, NeverMovesOntoTheRunningCopyNorOntoAReadOnlyVolume) {
  auto running = makeBundle(applications, "1");
  EXPECT_EQ(places.installTarget(running), running);
  EXPECT_EQ(places.moveDestination(running), std::nullopt);
  fs::create_directories(homeApplications);
  EXPECT_EQ(places.moveDestination(running), homeApplications / "Velmora.app");
  // Applications on a read-only volume takes nothing either.
  mac.disks().mountVolume(applications, {true, false});
  EXPECT_EQ(places.moveDestination(makeBundle(mac.mountDiskImage(), "2")),
            homeApplications / "Velmora.app");
}

TEST_F(InstallLocationTest, SwapReplacesTheOldCopyAndLeavesNothingBehind) {
  auto source = makeBundle(mac.mountDiskImage(), "2");
  auto target = makeBundle(applications, "1");
  EXPECT_TRUE(places.swap(source, target).ok());
  EXPECT_EQ(itemsIn(applications), "Velmora.app 2");
  EXPECT_EQ(versionAt(source), "2");

  fs::create_directories(homeApplications);
  EXPECT_TRUE(places.swap(source, homeApplications / "Velmora.app").ok());
  EXPECT_EQ(itemsIn(homeApplications), "Velmora.app 2");
}

TEST_F(InstallLocationTest, ASwapThatCannotBeginOrCopyChangesNothing) {
  auto image = mac.mountDiskImage();
  auto source = makeBundle(image, "2");
  EXPECT_EQ(places.swap(source, image / "Other.app").error(),
            "no permission to change " + image.string());
  EXPECT_EQ(itemsIn(image), "Velmora.app 2");

  auto target = makeBundle(applications, "1");
  auto missing = mac.home().root / "Gone.app";
  EXPECT_EQ(places.swap(missing, target).error(),
            "the copy did not go through: " + missing.string() + ": No such file or directory");

  // A bundle with something no copy can carry stops half-way; the half copy goes too.
  auto odd = makeBundle(mac.home().root / "Odd", "2");
  ASSERT_EQ(::mkfifo((odd / "Contents" / "zz-pipe").c_str(), 0600), 0);
  auto swapped = places.swap(odd, target);
  EXPECT_TRUE(swapped.error().starts_with("the copy did not go through: ")) << swapped.error();
  EXPECT_EQ(itemsIn(applications), "Velmora.app 1");

  block(applications);
  EXPECT_EQ(places.swap(source, applications / "Velmora.app").error(),
            "no permission to change " + applications.string());
}

TEST_F(InstallLocationTest, FailedMovesPutTheOldCopyBack) {
  auto source = makeBundle(mac.mountDiskImage(), "2");
  auto target = makeBundle(applications, "1");
  auto movesOut = [](const std::string& prefix) {
    return [prefix](const fs::path& from, const fs::path&) -> Result<void> {
      if (from.filename().string().starts_with(prefix)) return Failure{"Operation not permitted"};
      return {};
    };
  };

  for (auto [prefix, failure] :
       {std::pair{"Velmora.app", "the old copy could not be moved aside: Operation not permitted"},
        {".Velmora-new-", "the new copy could not be put in place: Operation not permitted"}}) {
    mac.disks().failMoves(movesOut(prefix));
    EXPECT_EQ(places.swap(source, target).error(), failure);
    EXPECT_EQ(itemsIn(applications), "Velmora.app 1");
  }
  mac.disks().failMoves({});
  EXPECT_TRUE(places.swap(source, target).ok());
  EXPECT_EQ(itemsIn(applications), "Velmora.app 2");
}

}  // namespace
}  // namespace velmora::updates
