// The virtual Mac's disk images and signatures, as the Security framework and hdiutil answer
// for them: statuses for each kind of bad signature, and an image that mounts read-only and
// goes again on detach.
#include "platform/sim/signed_images.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"

namespace velmora::sim {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRequirement =
    "anchor apple generic and certificate leaf[subject.OU] = \"Q7RZ2WD4LK\"";

TEST(SignedImagesTest, EachKindOfSignatureGetsTheFrameworksStatus) {
  VirtualLoop loop;
  VirtualMac mac{loop};
  VirtualCodeSigning& signing = mac.codeSigning();
  fs::path bundle = mac.home().root / "Velmora.app";
  ASSERT_TRUE(makeVelmoraBundle(bundle, "2.0"));
  EXPECT_EQ(signing.checkValidity(bundle), -67062);

  ASSERT_TRUE(signBundle(bundle, kVelmoraTeam));
  EXPECT_EQ(signing.createStaticCode(bundle), 0);
  EXPECT_EQ(signing.checkValidity(bundle), 0);
  EXPECT_EQ(signing.createRequirement(kRequirement), 0);
  EXPECT_EQ(signing.checkValidity(bundle, kRequirement), 0);
  EXPECT_EQ(signing.createRequirement("anchor apple"), -67052);

  // A file added after signing breaks it; signing again mends it.
  std::ofstream(bundle / "Contents" / "Resources" / "extra.txt") << "added";
  EXPECT_EQ(signing.checkValidity(bundle), -67061);
  ASSERT_TRUE(signBundle(bundle, "ZZ9PLURALZ"));
  EXPECT_EQ(signing.checkValidity(bundle), 0);
  EXPECT_EQ(signing.checkValidity(bundle, kRequirement), -67050);
  ASSERT_TRUE(signBundle(bundle, kVelmoraTeam, false));
  EXPECT_EQ(signing.checkValidity(bundle, kRequirement), -67050);
  ASSERT_TRUE(signBundle(bundle, kVelmoraTeam, true, false));
  EXPECT_EQ(signing.checkValidity(bundle), -67061);
  EXPECT_EQ(signing.createStaticCode(mac.home().root / "nothing.app"), -67068);
}

TEST(SignedImagesTest, AnImageMountsReadOnlyAndDetachesAgain) {
  VirtualLoop loop;
  VirtualMac mac{loop};
  platform::Platform host = mac.platform();
  fs::path work = mac.home().root / "work";
  auto image = publishImage({"2.0"}, work, mac.home().root / "Velmora-2.0.dmg");
  ASSERT_TRUE(image);
  EXPECT_EQ(fileSHA256(image->image), image->sha256);

  fs::path mountPoint = mac.home().root / "mnt";
  fs::create_directories(mountPoint);
  auto attached =
      host.processes.run("/usr/bin/hdiutil", {"attach", "-nobrowse", "-readonly", "-noautoopen",
                                              "-mountpoint", mountPoint.string(), image->image});
  ASSERT_EQ(attached.exitStatus, 0) << attached.standardError;
  EXPECT_EQ(bundleVersion(mountPoint / "Velmora.app"), "2.0");
  EXPECT_EQ(verifyBundle(mountPoint / "Velmora.app", std::string(kVelmoraTeam)), 0);
  EXPECT_EQ(host.volumes.volumeFacts(mountPoint / "Velmora.app")->readOnly, true);
  EXPECT_FALSE(host.files.removeItem(mountPoint / "Velmora.app"));

  auto detached = host.processes.run("/usr/bin/hdiutil", {"detach", mountPoint.string(), "-force"});
  EXPECT_EQ(detached.exitStatus, 0);
  EXPECT_FALSE(fs::exists(mountPoint / "Velmora.app"));
  EXPECT_EQ(host.volumes.volumeFacts(mountPoint)->readOnly, false);

  // Bytes that are no image, and an archive cut short, do not mount.
  std::string bytes;
  {
    std::ifstream in(image->image, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  for (std::string broken : {std::string("plain text"), bytes.substr(0, bytes.size() / 3)}) {
    std::ofstream(work / "broken.dmg", std::ios::binary) << broken;
    auto failed = host.processes.run("/usr/bin/hdiutil",
                                     {"attach", "-readonly", "-mountpoint", mountPoint.string(),
                                      (work / "broken.dmg").string()});
    EXPECT_EQ(failed.exitStatus, 1);
    EXPECT_EQ(failed.standardError, "hdiutil: attach failed - image not recognized\n");
    EXPECT_TRUE(fs::is_empty(mountPoint));
  }
}

}  // namespace
}  // namespace velmora::sim
