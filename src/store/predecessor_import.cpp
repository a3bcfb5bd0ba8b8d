#include "store/predecessor_import.h"

#include <array>
#include <string>
#include <system_error>
#include <utility>

namespace velmora::LegacyMigration {
namespace {

// Tried in this order; the first leading match is replaced.
constexpr std::array<std::pair<std::string_view, std::string_view>, 2> kPrefixes{{
    {"Corvane.", "Velmora."},
    {"NSWindow Frame Corvane.", "NSWindow Frame Velmora."},
}};

std::string translated(std::string_view key) {
  for (const auto& [from, to] : kPrefixes) {
    if (key.starts_with(from)) return std::string(to) + std::string(key.substr(from.size()));
  }
  return std::string(key);
}

// Fills in what we do not have yet; never replaces anything. A copy that fails is skipped.
void copyPictures(const PictureFolders& folders) {
  namespace fs = std::filesystem;
  std::error_code listing;
  fs::directory_iterator entries(folders.from, listing);
  if (listing || entries == fs::directory_iterator()) return;

  std::error_code ignored;
  fs::create_directories(folders.to, ignored);
  for (; !listing && entries != fs::directory_iterator(); entries.increment(listing)) {
    fs::path target = folders.to / entries->path().filename();
    // A dangling link under that name still occupies it.
    if (fs::exists(fs::symlink_status(target, ignored))) continue;
    fs::copy(entries->path(), target, fs::copy_options::recursive, ignored);
  }
}

}  // namespace

PictureFolders pictureFolders(const platform::HomeFolder& home) {
  return {home.applicationSupport() / "Corvane" / "icons",
          home.applicationSupport() / "Velmora" / "icons"};
}

int importPreferences(platform::Preferences& defaults, std::string_view domain,
                      const std::optional<PictureFolders>& pictures, LineLog& systemLog) {
  if (defaults.value(platform::kAppDomain, kMarkerKey).asBool() == true) return 0;
  // Set before anything else, so a launch that fails half way does not import again.
  defaults.setValue(platform::kAppDomain, kMarkerKey, Value(true));

  std::optional<Value::Dictionary> predecessor = defaults.persistentDomain(domain);
  if (!predecessor || predecessor->empty()) return 0;

  int count = 0;
  auto fillIn = [&](const std::string& key, const Value& value) {
    if (!defaults.value(platform::kAppDomain, key).isNull()) return;
    if (defaults.setValue(platform::kAppDomain, key, value)) ++count;
  };
  for (const auto& [key, value] : *predecessor) {
    // The old name stays as well: the metadata store adopts names from it.
    fillIn(key, value);
    if (std::string renamed = translated(key); renamed != key) fillIn(renamed, value);
  }

  if (pictures) copyPictures(*pictures);

  systemLog.write("Velmora: imported " + std::to_string(count) + " preferences from " +
                  std::string(domain));
  return count;
}

int importPreferences(platform::Preferences& defaults, const platform::HomeFolder& home,
                      LineLog& systemLog) {
  return importPreferences(defaults, kPredecessorDomain, pictureFolders(home), systemLog);
}

}  // namespace velmora::LegacyMigration
