#include "store/space_store.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>

#include "core/notifications.h"
#include "core/virtual_loop.h"
#include "golden.h"
#include "platform/linux/test_pictures.h"
#include "platform/sim/virtual_mac.h"
#include "test_ids.h"

namespace velmora {
namespace {

using namespace testing;

std::string text(const Value& v) {
  const Value::Data* d = v.asData();
  return d ? std::string(d->bytes.begin(), d->bytes.end()) : std::string();
}

Value data(std::string_view s) {
  return Value(Value::Data{{s.begin(), s.end()}});
}

class SpaceStoreTest : public ::testing::Test {
 protected:
  SpaceStore& open() {
    store = std::make_unique<SpaceStore>(mac.platform(), center, systemLog);
    return *store;
  }
  platform::Preferences& prefs() { return mac.preferences(); }
  Value stored() { return prefs().value(platform::kAppDomain, SpaceStore::kMetaKey); }
  // The stored records as their JSON, or "" when nothing is stored.
  std::string storedText() { return text(stored()); }

  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  NotificationCenter center;
  MemoryLog systemLog;
  std::unique_ptr<SpaceStore> store;
};

// The palette and the icon picker's symbols in order; stored colours with the entry they
// give desktops 1 and 11 (automatic follows the number, indices wrap both ways); the stored
// form of a record with and without a shortcut; and the sentence for each unreadable map
// (any broken record makes the whole map unreadable).
TEST(SpaceMetaForms, PaletteColoursAndRecordsAsTheirGolden) {
  std::string out;
  for (const PaletteEntry& e : kTilePalette) {
    out += std::string("palette ") + e.name + " " + testing::num(e.color.red) + "," +
           testing::num(e.color.green) + "," + testing::num(e.color.blue) + "\n";
  }
  out += std::string("palette index -1: ") + paletteEntry(-1).name +
         ", smallest: " + paletteEntry(INT64_MIN).name + "\n";
  out += "icons";
  for (const char* name : kIconCatalogue) out += std::string(" ") + name;
  out += "\n";
  for (std::int64_t stored :
       std::initializer_list<std::int64_t>{-1, -2, -7, 3, 12, 1000003, INT64_MIN}) {
    TileColor c = TileColor::fromStored(stored);
    out += "colour " + std::to_string(stored) + " stored as " + std::to_string(c.stored()) + ": " +
           c.entry(1).name + ", " + c.entry(11).name + "\n";
  }
  SpaceMetaMap metas{
      {7_mid, SpaceMeta{"Mail", SpaceIcon::symbol("envelope.fill"), TileColor::palette(4), 12.5,
                        Hotkey{18, platform::kControlKey}}},
      {ManagedID(-3), SpaceMeta{.seconds = 60}}};
  Result<std::string> json = encodeMetas(metas);
  ASSERT_TRUE(json);
  out += "stored " + *json + "\n";
  EXPECT_EQ(decodeMetas(*json).valueOr({}), metas);
  for (const char* bad :
       {R"({"5":{"name":"A","icon":"","color":-1}})",
        R"({"5":{"name":"A","icon":"","color":"-1","seconds":0}})",
        R"({"5":{"name":"A","icon":"","color":1.5,"seconds":0}})",
        R"({"x":{"name":"A","icon":"","color":-1,"seconds":0}})",
        R"({"5":{"name":"A","icon":"","color":-1,"seconds":0,"hotkey":{"keyCode":1}}})", R"([1,2])",
        "not json", "{\"5\":{\"name\":\"\xff\"}}"}) {
    auto decoded = decodeMetas(bad);
    out +=
        "unreadable " + testing::escaped(bad) + ": " + (decoded ? "read!" : decoded.error()) + "\n";
  }
  EXPECT_TRUE(testing::matchesGolden("store/space_meta_forms.txt", out));
}

TEST_F(SpaceStoreTest, ChangesAreAnnouncedAtOnceAndWrittenOnceAfterTheLastOne) {
  int announced = 0;
  ObserverToken t = center.observe(notifications::kSpaceMetaChanged, [&] { ++announced; });
  SpaceStore& s = open();
  s.update(1_mid, [](SpaceMeta& m) { m.name = "Mail"; });
  loop.advance(0.2);
  s.update(1_mid, [](SpaceMeta& m) { m.color = TileColor::palette(2); });
  loop.advance(0.2);
  s.update(2_mid, [](SpaceMeta& m) { m.icon = SpaceIcon::symbol("globe"); });
  EXPECT_EQ(announced, 3);
  loop.advance(0.29);
  EXPECT_EQ(storedText(), "");
  loop.advance(0.02);
  EXPECT_EQ(storedText(), R"({"1":{"color":2,"icon":"","name":"Mail","seconds":0.0},)"
                          R"("2":{"color":-1,"icon":"sf:globe","name":"","seconds":0.0}})");

  // A record set back to nothing leaves the stored form; one with only time stays.
  s.update(1_mid, [](SpaceMeta& m) { m = SpaceMeta{}; });
  s.addSeconds(3_mid, 5);
  s.flushTime();
  loop.advance(0.3);
  EXPECT_EQ(storedText(), R"({"2":{"color":-1,"icon":"sf:globe","name":"","seconds":0.0},)"
                          R"("3":{"color":-1,"icon":"","name":"","seconds":5.0}})");
}

TEST_F(SpaceStoreTest, TimeIsSavedOnlyWhenFlushedAndQuittingWritesAtOnce) {
  SpaceStore& s = open();
  s.addSeconds(9_mid, 1.5);
  s.addSeconds(9_mid, 1.5);
  loop.advance(5);
  EXPECT_EQ(storedText(), "");
  EXPECT_EQ(s.meta(9_mid).seconds, 3);
  s.flushTime();
  EXPECT_TRUE(s.hasPendingWrite());
  s.flushPendingWrite();  // the application is quitting
  EXPECT_EQ(storedText(), R"({"9":{"color":-1,"icon":"","name":"","seconds":3.0}})");
  s.flushTime();  // nothing credited since: nothing to do
  EXPECT_FALSE(s.hasPendingWrite());
}

TEST_F(SpaceStoreTest, ResetsKeepOrDropRecordsAsAsked) {
  SpaceStore& s = open();
  s.update(1_mid, [](SpaceMeta& m) {
    m.name = "A";
    m.seconds = 10;
  });
  s.addSeconds(2_mid, 4);
  s.resetTime();
  EXPECT_EQ(s.metas().size(), 2u);  // even the one now empty
  EXPECT_EQ(s.meta(1_mid), SpaceMeta{.name = "A"});
  s.resetAll();
  loop.advance(0.3);
  EXPECT_EQ(text(stored()), "{}");
}

TEST_F(SpaceStoreTest, AFrozenStoreNeverWrites) {
  SpaceStore& s = open();
  s.update(1_mid, [](SpaceMeta& m) { m.name = "before"; });
  int announced = 0;
  ObserverToken t = center.observe(notifications::kSpaceMetaChanged, [&] { ++announced; });
  s.replaceAll({{5_mid, SpaceMeta{.name = "Sample"}}});
  EXPECT_EQ(announced, 1);
  EXPECT_TRUE(s.frozen());
  s.update(6_mid, [](SpaceMeta& m) { m.name = "x"; });
  s.flushPendingWrite();
  loop.advance(1);
  EXPECT_TRUE(stored().isNull());  // even the change from before the freeze was dropped
  EXPECT_EQ(s.meta(5_mid).name, "Sample");
}

TEST_F(SpaceStoreTest, UnreadableDataIsLoggedAndKeptAsideBeforeTheNextWrite) {
  prefs().setValue(platform::kAppDomain, SpaceStore::kMetaKey,
                   data(R"({"5":{"name":"A","icon":"","color":-1}})"));
  SpaceStore& s = open();
  EXPECT_TRUE(s.metas().empty());
  ASSERT_EQ(systemLog.lines.size(), 1u);
  EXPECT_EQ(systemLog.lines[0].rfind("Velmora: could not read space metadata: ", 0), 0u);
  // Reading alone wrote nothing.
  EXPECT_EQ(prefs().persistentDomain(platform::kAppDomain)->size(), 1u);

  s.update(1_mid, [](SpaceMeta& m) { m.name = "New"; });
  loop.advance(0.3);
  auto domain = *prefs().persistentDomain(platform::kAppDomain);
  EXPECT_TRUE(std::ranges::any_of(domain, [](const auto& entry) {
    return entry.first.starts_with("Velmora.meta.v2.unreadable.") &&
           text(entry.second) == R"({"5":{"name":"A","icon":"","color":-1}})";
  }));
  EXPECT_EQ(storedText(), R"({"1":{"color":-1,"icon":"","name":"New","seconds":0.0}})");

  // A stored value that is not data at all is unreadable too.
  prefs().setValue(platform::kAppDomain, SpaceStore::kMetaKey, "text");
  SpaceStore other(mac.platform(), center, systemLog);
  EXPECT_TRUE(other.metas().empty());
  EXPECT_EQ(systemLog.lines.size(), 2u);
}

TEST_F(SpaceStoreTest, AMegabyteNameIsKeptWholeAndAnUnencodableOneNotAtAll) {
  std::string huge(1 << 20, 'n');
  huge += "é";
  open().update(1_mid, [&](SpaceMeta& m) { m.name = huge; });
  loop.advance(0.3);
  SpaceStore reopened(mac.platform(), center, systemLog);
  EXPECT_EQ(reopened.meta(1_mid).name, huge);

  // A name that cannot be encoded is logged, and what was stored stays.
  Value before = stored();
  reopened.update(2_mid, [](SpaceMeta& m) { m.name = "\xff\xfe"; });
  loop.advance(0.3);
  EXPECT_EQ(stored(), before);
  EXPECT_EQ(systemLog.lines.back().rfind("Velmora: could not save space metadata: ", 0), 0u);
}

TEST_F(SpaceStoreTest, TimeThatIsNotANumberNeverReachesTheStoredRecords) {
  SpaceStore& s = open();
  s.addSeconds(1_mid, 30);
  s.addSeconds(1_mid, std::numeric_limits<double>::quiet_NaN());
  s.update(1_mid, [](SpaceMeta& m) {
    m.name = "Mail";
    m.seconds = std::numeric_limits<double>::infinity();
  });
  EXPECT_EQ(s.meta(1_mid).seconds, 30);
  EXPECT_EQ(s.meta(1_mid).name, "Mail");
  s.flushPendingWrite();
  SpaceStore reopened(mac.platform(), center, systemLog);
  EXPECT_EQ(reopened.meta(1_mid).seconds, 30);

  // Should one get into a map anyway, it is refused rather than written as null.
  SpaceMetaMap metas{{2_mid, SpaceMeta{.seconds = std::numeric_limits<double>::infinity()}}};
  EXPECT_EQ(encodeMetas(metas).error(), "the tracked time of space 2 is not a number");
}

TEST_F(SpaceStoreTest, PicturesLandInTheIconsFolderOfTheUsersHome) {
  SpaceStore& s = open();
  loop.skewWallClock(-loop.wallNow() + 1700000000.9);
  std::filesystem::path source = mac.home().root / "holiday.png";
  test_support::save(
      test_support::stripes(300, 100, {test_support::kRed, test_support::kBlue}, false), source,
      "png");
  Result<std::string> made = s.importPicture(source, 42_mid);
  EXPECT_EQ(made.valueOr(""), "space-42-1700000000.png");
  EXPECT_EQ(s.picturesFolder(),
            mac.home().root / "Library" / "Application Support" / "Velmora" / "icons");
  EXPECT_TRUE(std::filesystem::exists(s.picturesFolder() / "space-42-1700000000.png"));

  std::filesystem::path text = mac.home().root / "notes.txt";
  { std::ofstream(text) << "hello"; }
  EXPECT_EQ(s.importPicture(text, 42_mid).error(), "That file is not a picture macOS can open.");
}

TEST_F(SpaceStoreTest, LegacyNamesAreAdoptedOnceFromEachSourceInTurn) {
  auto set = [&](const std::string& key, Value v) {
    prefs().setValue(platform::kAppDomain, key, v);
  };
  set("Corvane.rename.11", "Renamed");
  set("Corvane.rename.12", "");  // empty: fall through to the details
  auto details = mac.platform().propertyLists.encode(Value::dictionary({{"title", "Detailed"}}));
  set("CorvaneFeatureDetails.12", Value(Value::Data{*details}));
  set("CorvaneFeatureDetails.13", data("not a property list"));
  SpaceStore& s = open();
  s.update(104_mid, [](SpaceMeta& m) { m.name = "Mine"; });
  std::map<std::uint64_t, std::string> serverNames = {
      {13, "  \tFrom the server\t "},
      {14, "Already named"},
      {15, std::string(41, 'x')},
      {16, "6F9619FF-8B86-D011-B42D-00CF4FC964FF"},
      {17,
       "🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪"
       "🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪🧪"},
  };
  auto serverName = [&](SpaceID id) -> std::optional<std::string> {
    auto it = serverNames.find(id.raw());
    if (it == serverNames.end()) return std::nullopt;
    return it->second;
  };
  int announced = 0;
  ObserverToken t = center.observe(notifications::kSpaceMetaChanged, [&] { ++announced; });
  std::vector<LegacySpace> desktops;
  for (std::uint64_t n = 11; n <= 17; ++n) desktops.push_back({SpaceID(n), ManagedID(90 + n)});
  s.adoptLegacyNames(desktops, serverName);
  // A rename, the details under an empty rename, the server's name trimmed, one already named;
  // 41 characters and a UUID are no names; 40 characters are, however many bytes.
  loop.advance(0.3);
  EXPECT_TRUE(testing::matchesGolden("store/legacy_names.txt", storedText() + "\n"));
  EXPECT_EQ(announced, 1);
  EXPECT_EQ(prefs().value(platform::kAppDomain, SpaceStore::kMigratedKey), Value(true));

  // Never again, even for desktops without a record.
  set("Corvane.rename.18", "Late");
  s.adoptLegacyNames({{18_sid, 108_mid}}, serverName);
  EXPECT_FALSE(s.metas().contains(108_mid));
  EXPECT_EQ(announced, 1);
}

}  // namespace
}  // namespace velmora
