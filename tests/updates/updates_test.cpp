// The updater against a real HTTP server on 127.0.0.1 in this process and the virtual Mac's
// disks, tools and signatures: what each check, download and install ends with, what the log
// says, and that nothing broken ever replaces the running copy.
#include "updates/updates.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "core/virtual_loop.h"
#include "platform/sim/signed_images.h"
#include "platform/sim/virtual_mac.h"
#include "updates/install_location.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class UpdatesTest : public ::testing::Test {
 protected:
  UpdatesTest() {
    server.Get("/update.json", [this](const httplib::Request&, httplib::Response& response) {
      ++feedRequests;
      response.status = feedStatus;
      response.set_content(feed, "application/json");
    });
    server.Get("/image.dmg", [this](const httplib::Request&, httplib::Response& response) {
      std::string bytes = image;
      std::size_t length = bytes.size() + extraBytes;
      response.set_content_provider(
          length, "application/octet-stream",
          [this, bytes, length](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            if (offset < bytes.size()) {
              std::size_t piece = std::min<std::size_t>(65536, bytes.size() - offset);
              return sink.write(bytes.data() + offset, piece);
            }
            if (offset < length) return sink.write("x", 1);
            // The body never ends: only a client that stops early sees an ending.
            while (!stopping && sink.is_writable()) {
              std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            return false;
          });
    });
    serving = std::thread([this] { server.listen_after_bind(); });
    bundle = mac.disks().localApplicationsFolder() / "Velmora.app";
    EXPECT_TRUE(sim::makeVelmoraBundle(bundle, "1.0.0"));
    EXPECT_TRUE(sim::signBundle(bundle, sim::kVelmoraTeam));
    mac.bundleInfo().path = bundle.string();
  }
  ~UpdatesTest() override {
    stopping = true;
    server.stop();
    serving.join();
  }

  // Publishes an image made by `recipe` (a bundle folder given in `items` instead when not
  // empty) with a feed that tells the truth about it.
  void publish(sim::ImageRecipe recipe, std::vector<fs::path> items = {}) {
    fs::path work = mac.home().root / "work" / recipe.version;
    fs::path file = mac.home().root / "work" / (recipe.version + ".dmg");
    sim::PublishedImage published;
    if (items.empty()) {
      published = *sim::publishImage(recipe, work, file);
    } else {
      ASSERT_TRUE(sim::writeImage(items, file));
      published = {file, static_cast<std::int64_t>(fs::file_size(file)), *sim::fileSHA256(file)};
    }
    image = slurp(file);
    feed = sim::feedDocument(recipe.version, published, base + "/image.dmg", base + "/notes");
  }
  void settle() {
    for (int round = 0; round < 16; ++round) {
      updates.waitForWorkers();
      loop.runPending();
      auto kind = updates.phase().kind;
      if (!updates.checking() && kind != UpdatePhase::Kind::downloading &&
          kind != UpdatePhase::Kind::installing)
        return;
    }
  }
  // Check, download and (when it got that far) install, as the user would.
  void checkDownloadInstall() {
    (void)updates.check();
    settle();
    updates.download();
    settle();
    updates.install();
    settle();
  }
  std::string runningVersion() { return sim::bundleVersion(bundle).value_or("none"); }
  std::size_t temporaryItems() {
    std::error_code ignored;
    auto it = fs::directory_iterator(mac.home().temporary(), ignored);
    return static_cast<std::size_t>(std::distance(it, fs::directory_iterator()));
  }
  std::string lastLog() { return log.lines.empty() ? "" : log.lines.back(); }

  httplib::Server server;
  std::thread serving;
  int port = server.bind_to_any_port("127.0.0.1");
  std::string base = "http://127.0.0.1:" + std::to_string(port);
  std::atomic<bool> stopping{false};
  std::atomic<int> feedRequests{0};
  std::string feed;
  int feedStatus = 200;
  std::string image;
  std::size_t extraBytes = 0;

  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  platform::Platform host = mac.platform();
  Settings settings{host.preferences};
  MemoryLog log;
  fs::path bundle;
  Updates updates{host, settings, log, base + "/update.json"};
};

TEST(UpdateFeedTest, ReadsOnlyWhatKeepsEveryRule) {
  updates::Policy policy{"example.com", true};
  auto feedWith = [](const std::string& key, const std::string& value) {
    std::string base =
        R"({"version":"1.2.0","released":"2026-12-01","dmg":"https://example.com/V.dmg",)"
        R"("size":100,"sha256":"SHA","notes":"https://example.com/n","minOS":"14.0","extra":[1]})";
    std::string sha(64, 'a');
    base.replace(base.find("SHA"), 3, sha);
    if (key.empty()) return base;
    auto at = base.find("\"" + key + "\":");
    auto end = base.find_first_of(",}", at + key.size() + 3);
    if (base[at + key.size() + 3] == '"') end = base.find('"', at + key.size() + 4) + 1;
    return base.substr(0, at + key.size() + 3) + value + base.substr(end);
  };
  struct Case {
    std::string key, value;
    bool reads;
  };
  const std::vector<Case> cases{
      {"", "", true},
      {"sha256", "\"" + std::string(63, 'a') + "\"", false},
      {"sha256", "\"" + std::string(63, 'a') + "g\"", false},
      {"sha256", "\"" + std::string(64, 'A') + "\"", true},
      {"dmg", "\"https://elsewhere.com/V.dmg\"", false},
      {"dmg", "\"http://example.com/V.dmg\"", false},
      {"notes", "\"file:///notes\"", false},
      {"size", "0", false},
      {"size", "-1", false},
      {"size", "9223372036854775808", false},
      {"size", "1e300", false},
      {"size", "\"100\"", false},
      {"version", "\"1..2\"", false},
      {"version", "\"1.2-beta\"", false},
      {"version", "12", false},
      {"minOS", "null", false},
      {"released", "[]", false},
  };
  for (const Case& c : cases) {
    auto feed = updates::parseFeed(feedWith(c.key, c.value), policy);
    EXPECT_EQ(feed.has_value(), c.reads) << c.key << " = " << c.value;
    if (feed) {
      EXPECT_EQ(feed->sha256, std::string(64, 'a'));
    }
  }
  for (const std::string& bad :
       std::vector<std::string>{"", "not json", "[]", "{}", std::string(10 << 20, ' ') + "{"}) {
    EXPECT_FALSE(updates::parseFeed(bad, policy)) << bad.substr(0, 20);
  }
  // Plain HTTP only where the feed itself came over plain HTTP.
  EXPECT_TRUE(updates::Policy({"example.com", false}).allows("http://example.com:8080/x"));
  EXPECT_EQ(updates::feedLocation(std::string("http://127.0.0.1:9/u.json")).policy,
            (updates::Policy{"127.0.0.1", false}));
  EXPECT_EQ(updates::feedLocation(std::string("not a url")).url, updates::kMakerFeed);

  auto v = [](const char* text) { return *updates::AppVersion::parse(text); };
  EXPECT_EQ(v("1.2"), v("1.2.0"));
  EXPECT_LT(v("1.9"), v("1.10"));
  EXPECT_FALSE(updates::AppVersion::parse(""));
  EXPECT_EQ(updates::releaseDateForDisplay("2026-12-07", "en_US"), "7 December 2026");
  EXPECT_EQ(updates::releaseDateForDisplay("2026-12-07", "de_DE"), "7 Dezember 2026");
  EXPECT_EQ(updates::releaseDateForDisplay("soon", "en_US"), "soon");
}

TEST_F(UpdatesTest, ChecksOfferANewerVersionOnceAndRespectSkipsAndTheSystem) {
  publish({"1.2.0"});
  std::vector<std::string> offered;
  updates.setOnAvailable([&](const std::string& version) { offered.push_back(version); });
  EXPECT_EQ(updates.check(), "checking");
  EXPECT_EQ(updates.check(), "already checking");
  settle();
  EXPECT_EQ(feedRequests, 1);
  EXPECT_EQ(updates.lastOutcome(), "1.2.0 is available");
  EXPECT_EQ(offered, std::vector<std::string>{"1.2.0"});
  EXPECT_EQ(settings.updateLastChecked(), loop.wallNow());

  updates.skip();
  EXPECT_EQ(lastLog(), "skipped 1.2.0");
  (void)updates.check();
  settle();
  EXPECT_EQ(updates.lastOutcome(), "1.2.0 skipped");
  EXPECT_FALSE(updates.available());

  publish({"1.3.0"});
  feed.replace(feed.find("\"14.0\""), 6, "\"99.0\"");
  (void)updates.check();
  settle();
  EXPECT_EQ(updates.lastOutcome(), "up to date");

  publish({"1.3.0"});
  (void)updates.check();
  settle();
  EXPECT_EQ(updates.lastOutcome(), "1.3.0 is available");
  updates.showWhatsNew();
  EXPECT_EQ(mac.openedURLs().back(), base + "/notes");

  for (auto [status, body, outcome] :
       {std::tuple{404, std::string("{}"), "the site answered 404"},
        std::tuple{200, std::string("not json"), "the version file did not read"},
        std::tuple{200, std::string(), "the version file did not read"},
        std::tuple{200, std::string(10 << 20, ' '), "the version file did not read"}}) {
    feedStatus = status;
    feed = body;
    (void)updates.check();
    settle();
    EXPECT_EQ(updates.lastOutcome(), outcome);
    EXPECT_EQ(lastLog(), std::string("check: ") + outcome);
  }
}

TEST_F(UpdatesTest, TheScheduleChecksAMinuteAfterStartThenOnlyAfterTwentyHours) {
  publish({"1.2.0"});
  settings.setUpdateLastChecked(loop.wallNow() - 72000);
  updates.start();
  updates.start();
  loop.advance(59.9);
  EXPECT_EQ(feedRequests, 0);
  loop.advance(0.1);
  settle();
  EXPECT_EQ(feedRequests, 1);
  // Nineteen hours on, the hourly tick finds the last check too recent.
  loop.advance(3600 * 19);
  settle();
  EXPECT_EQ(feedRequests, 1);
  loop.advance(3600 * 2);
  settle();
  EXPECT_EQ(feedRequests, 2);
  settings.setUpdateCheckEnabled(false);
  loop.advance(3600 * 21);
  EXPECT_EQ(feedRequests, 2);
}

TEST_F(UpdatesTest, ADownloadStopsAtTheFirstByteTooManyAndAWrongHashIsRefused) {
  publish({"1.2.0"});
  (void)updates.check();
  settle();
  // One byte more than announced, and then a body that never ends: only a check before the
  // end can tell, or the request would run into its time-out instead.
  extraBytes = 1;
  updates.download();
  settle();
  EXPECT_EQ(updates.phase().sentence, "the download is larger than announced");
  EXPECT_EQ(lastLog(), "download of 1.2.0 failed: the download is larger than announced");
  EXPECT_EQ(temporaryItems(), 0u);

  extraBytes = 0;
  image[image.size() / 2] ^= 0x20;
  updates.download();
  settle();
  EXPECT_EQ(updates.phase().sentence, "the download's hash is not the announced one");
  EXPECT_EQ(temporaryItems(), 0u);
}

TEST_F(UpdatesTest, AVerifiedDownloadIsKeptAndProgressIsCalm) {
  sim::ImageRecipe recipe{"1.2.0"};
  publish(recipe);
  // A larger image arrives in many pieces.
  fs::path big = mac.home().root / "work" / "big" / "Velmora.app";
  ASSERT_TRUE(sim::makeVelmoraBundle(big, "1.2.0"));
  std::ofstream(big / "Contents" / "Resources" / "data.bin") << std::string(3 << 20, 'v');
  ASSERT_TRUE(sim::signBundle(big, sim::kVelmoraTeam));
  publish(recipe, {big});
  (void)updates.check();
  settle();
  std::vector<double> fractions;
  auto connection = updates.changed().connect([&] {
    if (updates.phase().kind == UpdatePhase::Kind::downloading)
      fractions.push_back(updates.phase().fraction);
  });
  updates.download();
  settle();
  ASSERT_EQ(updates.phase().kind, UpdatePhase::Kind::ready) << updates.phase().sentence;
  EXPECT_EQ(lastLog(), "downloaded and verified Velmora-1.2.0.dmg");
  EXPECT_EQ(slurp(updates.phase().image), image);
  EXPECT_LE(fractions.size(), 21u);
  for (std::size_t i = 1; i < fractions.size(); ++i) {
    EXPECT_GE(fractions[i] - fractions[i - 1], 0.05);
  }
  EXPECT_EQ(temporaryItems(), 0u);
}

TEST_F(UpdatesTest, AnImageThatIsNotExactlyOursNeverReplacesTheRunningCopy) {
  fs::path other = mac.home().root / "work" / "other" / "Other.app";
  fs::create_directories(other / "Contents");
  fs::path empty = mac.home().root / "work" / "empty";
  fs::create_directories(empty);
  fs::path signedOne = mac.home().root / "work" / "signed" / "Velmora.app";
  ASSERT_TRUE(sim::makeVelmoraBundle(signedOne, "1.2.0"));
  ASSERT_TRUE(sim::signBundle(signedOne, sim::kVelmoraTeam));
  struct Case {
    sim::ImageRecipe recipe;
    std::vector<fs::path> items;
    std::string sentence;
  };
  const std::vector<Case> cases{
      {{"1.2.0", sim::kVelmoraTeam, false}, {}, "the app in the image is not signed"},
      {{"1.2.0", "ZZ9PLURALZ"}, {}, "the app in the image is signed by someone else"},
      {{"1.2.0", sim::kVelmoraTeam, true, false}, {}, "the app in the image's signature is broken"},
      {{"1.2.0", sim::kVelmoraTeam, true, true, true},
       {},
       "the app in the image's signature is broken"},
      {{"1.2.0"}, {other}, "the image holds no Velmora"},
      {{"1.2.0"}, {signedOne, other}, "the image holds more than one Velmora"},
  };
  for (const Case& c : cases) {
    publish(c.recipe, c.items);
    checkDownloadInstall();
    EXPECT_EQ(updates.phase().sentence, c.sentence);
    EXPECT_EQ(lastLog(), "install of 1.2.0 failed: " + c.sentence);
    EXPECT_EQ(runningVersion(), "1.0.0");
    EXPECT_EQ(temporaryItems(), 0u) << c.sentence;
  }
  // Bytes that are no image at all, announced truthfully.
  image = "this is not a disk image";
  feed = sim::feedDocument("1.2.0", {{}, 24, *sim::fileSHA256([&] {
                                       fs::path f = mac.home().root / "work" / "text";
                                       std::ofstream(f) << image;
                                       return f;
                                     }())},
                           base + "/image.dmg", base + "/notes");
  checkDownloadInstall();
  EXPECT_EQ(updates.phase().sentence,
            "the image did not mount: hdiutil: attach failed - image not recognized");
  EXPECT_EQ(runningVersion(), "1.0.0");
  EXPECT_EQ(temporaryItems(), 0u);
}

TEST_F(UpdatesTest, FromAReadOnlyImageTheUpdateGoesIntoApplications) {
  fs::path onImage = mac.mountDiskImage() / "Velmora.app";
  ASSERT_TRUE(sim::makeVelmoraBundle(onImage, "1.0.0"));
  mac.bundleInfo().path = onImage.string();
  fs::remove_all(bundle);
  publish({"1.2.0"});
  std::string relaunchedFrom;
  updates.setOnInstalled([&](const std::string& path) { relaunchedFrom = path; });
  checkDownloadInstall();
  EXPECT_EQ(relaunchedFrom, bundle.string());
  EXPECT_EQ(runningVersion(), "1.2.0");
  EXPECT_EQ(sim::bundleVersion(onImage), "1.0.0");
  EXPECT_EQ(lastLog(), "running from " + onImage.string() +
                           ", which cannot be changed; installed "
                           "1.2.0 at " +
                           bundle.string() + ", relaunching from there");
  EXPECT_EQ(settings.updateInstalling(), "1.2.0");

  // With Applications locked as well, nowhere can take it.
  mac.disks().setFolderLocked(mac.disks().localApplicationsFolder(), true);
  fs::remove_all(mac.home().root / "Applications");
  publish({"1.3.0"});
  checkDownloadInstall();
  EXPECT_EQ(updates.phase().sentence,
            "Velmora cannot be replaced where it is (" + onImage.string() +
                ") and Applications is not writable. Drag it into Applications by hand, open it "
                "from there, and try again.");
}

TEST_F(UpdatesTest, ANewerFeedResetsAReadyImageAndAnInstallOverTheRunningCopyReplacesIt) {
  updates.download();
  updates.install();
  EXPECT_EQ(updates.phase(), UpdatePhase{});
  publish({"1.2.0"});
  (void)updates.check();
  settle();
  updates.download();
  settle();
  ASSERT_EQ(updates.phase().kind, UpdatePhase::Kind::ready);
  // The same feed again keeps the image; a newer one asks for a new download.
  (void)updates.check();
  settle();
  EXPECT_EQ(updates.phase().kind, UpdatePhase::Kind::ready);
  publish({"1.3.0"});
  (void)updates.check();
  settle();
  EXPECT_EQ(updates.phase(), UpdatePhase{});
  updates.install();
  EXPECT_EQ(updates.phase(), UpdatePhase{});

  updates.download();
  settle();
  updates.install();
  EXPECT_EQ(updates.phase().kind, UpdatePhase::Kind::installing);
  settle();
  // Without anyone to relaunch, the updater is idle again with the new copy in place.
  EXPECT_EQ(updates.phase(), UpdatePhase{});
  EXPECT_EQ(runningVersion(), "1.3.0");
  EXPECT_EQ(lastLog(), "installed 1.3.0 at " + bundle.string() + ", relaunching");
  EXPECT_EQ(settings.updateInstalling(), "1.3.0");
  EXPECT_EQ(temporaryItems(), 0u);
}

TEST_F(UpdatesTest, TheRarerFailuresHaveTheirSentencesToo) {
  publish({"1.2.0"});
  (void)updates.check();
  settle();
  // The site ends the body one byte short of what the feed announced.
  feed.replace(feed.find("\"size\": ") + 8, std::to_string(image.size()).size(),
               std::to_string(image.size() + 1));
  (void)updates.check();
  settle();
  updates.download();
  settle();
  EXPECT_EQ(updates.phase().sentence, "the download is " + std::to_string(image.size()) +
                                          " bytes, not " + std::to_string(image.size() + 1));

  // No temporary folder to write to.
  fs::remove_all(mac.home().temporary());
  std::ofstream(mac.home().temporary()) << "in the way";
  publish({"1.2.0"});
  (void)updates.check();
  settle();
  updates.download();
  settle();
  EXPECT_EQ(updates.phase().sentence, "no room for the download");
  fs::remove(mac.home().temporary());

  // A Security framework that cannot compile the requirement.
  struct NoRequirements final : platform::CodeSigning {
    std::int32_t createStaticCode(const fs::path&) override { return 0; }
    std::int32_t checkValidity(const fs::path&) override { return 0; }
    std::int32_t createRequirement(const std::string&) override { return -67052; }
    std::int32_t checkValidity(const fs::path&, const std::string&) override { return 0; }
  } noRequirements;
  EXPECT_EQ(checkSignature(noRequirements, bundle).error(), "the signing rule did not load");
}

// Every change the swap makes, failed on its own, and the process ending before each one: a
// runnable Velmora stays at the target or comes back there, and no hidden copy is left.
TEST_F(UpdatesTest, TheSwapSurvivesAFailureOrAKillAtEveryStep) {
  publish({"1.2.0"});
  (void)updates.check();
  settle();
  updates.download();
  settle();
  ASSERT_EQ(updates.phase().kind, UpdatePhase::Kind::ready);
  fs::path image = updates.phase().image;
  auto hidden = [&] {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(bundle.parent_path()))
      if (entry.path().filename().string().starts_with(".Velmora-")) ++count;
    return count;
  };
  // The swap's changes in order: the copy, the move aside, the move in, the removal of the old.
  for (bool kill : {false, true}) {
    for (std::size_t step = 0; step <= 4; ++step) {
      std::size_t seen = 0;
      std::vector<std::string> operations;
      mac.disks().failChanges(
          [&](std::string_view operation, const fs::path&, const fs::path&) -> Result<void> {
            operations.emplace_back(operation);
            std::size_t index = seen++;
            if (kill ? index >= step : index == step) return Failure{"Input/output error"};
            return {};
          });
      Result<void> outcome = installFromImage(host, image, bundle);
      mac.disks().failChanges(nullptr);
      if (step == 4) {
        EXPECT_EQ(operations, (std::vector<std::string>{"copy", "move", "move", "remove"}));
      }
      // What the next start finds, it tidies.
      updates::InstallLocations(host.volumes, host.files, host.home).recover(bundle);
      std::string label = std::to_string(step) + (kill ? " kill " : " fault ") + outcome.error();
      std::string version = runningVersion();
      EXPECT_EQ(version, outcome.ok() ? "1.2.0" : "1.0.0") << label;
      EXPECT_EQ(sim::verifyBundle(bundle, std::string(sim::kVelmoraTeam)), 0) << label;
      EXPECT_EQ(hidden(), 0) << label;
      // Put 1.0.0 back for the next round.
      fs::remove_all(bundle);
      ASSERT_TRUE(sim::makeVelmoraBundle(bundle, "1.0.0"));
      ASSERT_TRUE(sim::signBundle(bundle, sim::kVelmoraTeam));
    }
  }
}

}  // namespace
}  // namespace velmora
