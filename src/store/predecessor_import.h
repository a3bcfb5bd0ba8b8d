#pragma once
// Users coming from Corvane keep what they set up there: on the first launch, before anything
// else reads the defaults, the predecessor's whole preferences domain is copied into ours and
// its custom pictures into our pictures folder. It happens once per installation; a marker in
// our own defaults makes every later launch a no-op, even if Corvane's preferences change.

#include <filesystem>
#include <optional>
#include <string_view>

#include "core/line_log.h"
#include "platform/home.h"
#include "platform/preferences.h"

namespace velmora::LegacyMigration {

inline constexpr const char* kPredecessorDomain = "local.harrow.corvane";
// A bool in our own domain; true once the import has run (or started to run).
inline constexpr const char* kMarkerKey = "Velmora.importedFromCorvane";

struct PictureFolders {
  std::filesystem::path from;
  std::filesystem::path to;
};

// Application Support/Corvane/icons → Application Support/Velmora/icons.
PictureFolders pictureFolders(const platform::HomeFolder& home);

// Copies every value of `domain` into our own defaults, under its own key and, for keys that
// begin "Corvane." or "NSWindow Frame Corvane.", also under the same key with "Velmora." in
// place of "Corvane."; a key we already hold keeps its value. Then copies the pictures that
// `pictures` names (none: no pictures), never replacing a file already there, and writes one
// line to `systemLog`. Answers how many values were written; 0 when the import ran before or
// the domain is missing or empty, and then nothing is logged. File-system failures skip only
// the copy they affect.
int importPreferences(platform::Preferences& defaults, std::string_view domain,
                      const std::optional<PictureFolders>& pictures, LineLog& systemLog);

// The import as the process runs it at start: Corvane's domain and pictures folder.
int importPreferences(platform::Preferences& defaults, const platform::HomeFolder& home,
                      LineLog& systemLog);

}  // namespace velmora::LegacyMigration
