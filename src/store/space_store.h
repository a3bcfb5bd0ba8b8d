#pragma once
// The store of every desktop's metadata, keyed by the space's managed identifier so that
// adding, removing or reordering other desktops never moves a name. It persists as JSON data
// in the user's defaults, written once 0.3 s after the last change, and announces every
// change with "Velmora.spaceMetaChanged".

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/line_log.h"
#include "core/main_loop.h"
#include "core/notification_center.h"
#include "platform/platform.h"
#include "store/picture_import.h"
#include "store/space_meta.h"

namespace velmora {

// The window server's view of one space, as far as the store needs it for adopting names.
struct LegacySpace {
  SpaceID id;           // the window server's id, which legacy keys are written with
  ManagedID managedID;  // the key of our own records
};

class SpaceStore {
 public:
  static constexpr const char* kMetaKey = "Velmora.meta.v2";
  static constexpr const char* kMigratedKey = "Velmora.meta.v2.migrated";
  static constexpr double kWriteDelay = 0.3;

  // Loads the stored records; unreadable data is reported to `systemLog` and the store
  // starts empty (the unreadable data is kept aside before anything replaces it).
  SpaceStore(const platform::Platform& platform, NotificationCenter& center, LineLog& systemLog);
  ~SpaceStore();
  SpaceStore(const SpaceStore&) = delete;
  SpaceStore& operator=(const SpaceStore&) = delete;

  SpaceMeta meta(ManagedID managedID) const;
  const SpaceMetaMap& metas() const { return metas_; }
  void update(ManagedID managedID, const std::function<void(SpaceMeta&)>& change);
  void addSeconds(ManagedID managedID, double seconds);
  void flushTime();
  void resetAll();
  void resetTime();
  void flushPendingWrite();
  // Developer sample data: replaces everything and never writes again.
  void replaceAll(SpaceMetaMap metas);
  bool frozen() const { return frozen_; }
  bool hasPendingWrite() const { return pendingWrite_.has_value(); }

  // Adopts names from older sources once per user: the predecessor's rename keys, its
  // per-desktop details, then the window server's own names. `windowServerName` answers the
  // window server's name for a space id, or none.
  // Makes a 256 × 256 picture of the file for the desktop's icon and returns its file name in
  // picturesFolder(); the caller then stores SpaceIcon::picture(name) through update.
  Result<std::string> importPicture(const std::filesystem::path& file, ManagedID managedID);
  std::filesystem::path picturesFolder() const { return velmora::picturesFolder(home_); }

  void adoptLegacyNames(
      const std::vector<LegacySpace>& spaces,
      const std::function<std::optional<std::string>(SpaceID space)>& windowServerName);

 private:
  void scheduleSave();
  void write();

  platform::Preferences& defaults_;
  platform::PropertyLists& propertyLists_;
  platform::ImageIO& images_;
  platform::HomeFolder home_;
  MainLoop& loop_;
  NotificationCenter& center_;
  LineLog& systemLog_;
  SpaceMetaMap metas_;
  bool frozen_ = false;
  bool timeDirty_ = false;
  // The scheduled write, by generation: a newer schedule cancels the older one.
  std::optional<std::uint64_t> pendingWrite_;
  std::uint64_t writeGeneration_ = 0;
  // Stored data that could not be read, kept aside before the first write replaces it.
  std::optional<Value> unreadable_;
  Lifetime lifetime_;
};

}  // namespace velmora
