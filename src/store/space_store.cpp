#include "store/space_store.h"

#include <cctype>
#include <cmath>
#include <memory>

#include "core/notifications.h"
#include "store/characters.h"

namespace velmora {

namespace {

constexpr std::size_t kMaxAdoptedNameLength = 40;

std::string trimSpacesAndTabs(const std::string& s) {
  std::size_t begin = s.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  std::size_t end = s.find_last_not_of(" \t");
  return s.substr(begin, end - begin + 1);
}

// 8-4-4-4-12 hexadecimal digits: the window server's placeholder names for unnamed spaces.
bool isUUID(const std::string& s) {
  if (s.size() != 36) return false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    if (dash ? s[i] != '-' : !std::isxdigit(static_cast<unsigned char>(s[i]))) return false;
  }
  return true;
}

}  // namespace

SpaceStore::SpaceStore(const platform::Platform& platform, NotificationCenter& center,
                       LineLog& systemLog)
    : defaults_(platform.preferences),
      propertyLists_(platform.propertyLists),
      images_(platform.images),
      home_(platform.home),
      loop_(platform.loop),
      center_(center),
      systemLog_(systemLog) {
  Value stored = defaults_.value(platform::kAppDomain, kMetaKey);
  if (stored.isNull()) return;
  const Value::Data* data = stored.asData();
  Result<SpaceMetaMap> decoded =
      data ? decodeMetas(std::string_view(reinterpret_cast<const char*>(data->bytes.data()),
                                          data->bytes.size()))
           : Failure{"the stored value is not data"};
  if (decoded) {
    metas_ = std::move(decoded).value();
  } else {
    systemLog_.write("Velmora: could not read space metadata: " + decoded.error());
    unreadable_ = std::move(stored);
  }
}

SpaceStore::~SpaceStore() = default;

SpaceMeta SpaceStore::meta(ManagedID managedID) const {
  auto it = metas_.find(managedID);
  return it == metas_.end() ? SpaceMeta{} : it->second;
}

void SpaceStore::update(ManagedID managedID, const std::function<void(SpaceMeta&)>& change) {
  SpaceMeta before = meta(managedID);
  SpaceMeta next = before;
  change(next);
  // Time that is not a number would make the stored records unreadable; keep what was there.
  if (!std::isfinite(next.seconds)) next.seconds = before.seconds;
  if (next.isEmpty()) {
    metas_.erase(managedID);
  } else {
    metas_[managedID] = std::move(next);
  }
  scheduleSave();
}

void SpaceStore::addSeconds(ManagedID managedID, double seconds) {
  double total = meta(managedID).seconds + seconds;
  if (!std::isfinite(total)) {
    systemLog_.write("Velmora: ignored tracked time that is not a number for space " +
                     to_string(managedID));
    return;
  }
  metas_[managedID].seconds = total;
  timeDirty_ = true;
}

void SpaceStore::flushTime() {
  if (!timeDirty_) return;
  timeDirty_ = false;
  scheduleSave();
}

void SpaceStore::resetAll() {
  metas_.clear();
  scheduleSave();
}

void SpaceStore::resetTime() {
  for (auto& [id, meta] : metas_) meta.seconds = 0;
  scheduleSave();
}

void SpaceStore::flushPendingWrite() {
  if (!pendingWrite_) return;
  pendingWrite_.reset();
  write();
}

void SpaceStore::replaceAll(SpaceMetaMap metas) {
  pendingWrite_.reset();
  frozen_ = true;
  metas_ = std::move(metas);
  center_.post(notifications::kSpaceMetaChanged);
}

void SpaceStore::scheduleSave() {
  center_.post(notifications::kSpaceMetaChanged);
  std::uint64_t generation = ++writeGeneration_;
  pendingWrite_ = generation;
  loop_.after(kWriteDelay, lifetime_.guard([this, generation] {
    if (pendingWrite_ != generation) return;  // cancelled or superseded
    pendingWrite_.reset();
    write();
  }));
}

void SpaceStore::write() {
  if (frozen_) return;
  Result<std::string> encoded = encodeMetas(metas_);
  if (!encoded) {
    systemLog_.write("Velmora: could not save space metadata: " + encoded.error());
    return;
  }
  if (unreadable_) {
    // What could not be read may still be the user's only copy: keep it under a dated key.
    std::string key = std::string(kMetaKey) + ".unreadable." +
                      std::to_string(static_cast<long long>(std::floor(loop_.wallNow())));
    defaults_.setValue(platform::kAppDomain, key, *unreadable_);
    unreadable_.reset();
  }
  Value::Data data;
  data.bytes.assign(encoded->begin(), encoded->end());
  defaults_.setValue(platform::kAppDomain, kMetaKey, Value(std::move(data)));
}

Result<std::string> SpaceStore::importPicture(const std::filesystem::path& file,
                                              ManagedID managedID) {
  return velmora::importPicture(images_, file, managedID, loop_.wallNow(), home_);
}

void SpaceStore::adoptLegacyNames(
    const std::vector<LegacySpace>& spaces,
    const std::function<std::optional<std::string>(SpaceID)>& windowServerName) {
  if (defaults_.value(platform::kAppDomain, kMigratedKey).asBool() == true) return;
  // Marked first, so the adoption runs at most once even when it finds nothing.
  defaults_.setValue(platform::kAppDomain, kMigratedKey, true);

  bool stored = false;
  for (const LegacySpace& space : spaces) {
    if (metas_.contains(space.managedID)) continue;
    std::string id = to_string(space.id);
    std::string name;
    Value renamed = defaults_.value(platform::kAppDomain, "Corvane.rename." + id);
    if (const std::string* s = renamed.asString()) name = *s;
    if (name.empty()) {
      Value details = defaults_.value(platform::kAppDomain, "CorvaneFeatureDetails." + id);
      if (const Value::Data* data = details.asData()) {
        if (auto plist = propertyLists_.decode(data->bytes)) {
          if (const Value* title = plist->find("title")) {
            if (const std::string* s = title->asString()) name = *s;
          }
        }
      }
    }
    if (name.empty() && windowServerName) {
      if (auto own = windowServerName(space.id)) {
        std::string trimmed = trimSpacesAndTabs(*own);
        if (!trimmed.empty() && characterCount(trimmed) <= kMaxAdoptedNameLength &&
            !isUUID(trimmed)) {
          name = trimmed;
        }
      }
    }
    if (name.empty()) continue;
    SpaceMeta meta;
    meta.name = std::move(name);
    metas_[space.managedID] = std::move(meta);
    stored = true;
  }
  if (stored) scheduleSave();
}

}  // namespace velmora
