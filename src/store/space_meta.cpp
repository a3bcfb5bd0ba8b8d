#include "store/space_meta.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>

#include "store/hotkey_json.h"

namespace velmora {

const std::array<PaletteEntry, 10> kTilePalette = {{
    {"Blue", {0.24, 0.51, 0.97, 1}},
    {"Purple", {0.55, 0.36, 0.96, 1}},
    {"Pink", {0.93, 0.29, 0.60, 1}},
    {"Orange", {0.98, 0.45, 0.09, 1}},
    {"Green", {0.13, 0.77, 0.37, 1}},
    {"Teal", {0.08, 0.72, 0.65, 1}},
    {"Red", {0.94, 0.27, 0.27, 1}},
    {"Yellow", {0.92, 0.70, 0.03, 1}},
    {"Indigo", {0.39, 0.40, 0.95, 1}},
    {"Slate", {0.42, 0.47, 0.56, 1}},
}};

const std::array<const char*, 50> kIconCatalogue = {"house.fill",
                                                    "briefcase.fill",
                                                    "laptopcomputer",
                                                    "chevron.left.forwardslash.chevron.right",
                                                    "terminal.fill",
                                                    "hammer.fill",
                                                    "wrench.and.screwdriver.fill",
                                                    "paintbrush.pointed.fill",
                                                    "pencil.and.outline",
                                                    "doc.text.fill",
                                                    "book.fill",
                                                    "graduationcap.fill",
                                                    "envelope.fill",
                                                    "bubble.left.and.bubble.right.fill",
                                                    "video.fill",
                                                    "music.note",
                                                    "headphones",
                                                    "gamecontroller.fill",
                                                    "photo.fill",
                                                    "film.fill",
                                                    "safari.fill",
                                                    "globe",
                                                    "cart.fill",
                                                    "creditcard.fill",
                                                    "chart.bar.fill",
                                                    "calendar",
                                                    "clock.fill",
                                                    "bolt.fill",
                                                    "flame.fill",
                                                    "star.fill",
                                                    "heart.fill",
                                                    "leaf.fill",
                                                    "moon.fill",
                                                    "sun.max.fill",
                                                    "cloud.fill",
                                                    "person.fill",
                                                    "person.2.fill",
                                                    "lock.fill",
                                                    "shield.fill",
                                                    "gearshape.fill",
                                                    "paperplane.fill",
                                                    "airplane",
                                                    "car.fill",
                                                    "cup.and.saucer.fill",
                                                    "fork.knife",
                                                    "tag.fill",
                                                    "folder.fill",
                                                    "tray.full.fill",
                                                    "archivebox.fill",
                                                    "flag.fill"};

const PaletteEntry& paletteEntry(std::int64_t index) {
  std::int64_t n = static_cast<std::int64_t>(kTilePalette.size());
  return kTilePalette[static_cast<std::size_t>(((index % n) + n) % n)];
}

TileColor TileColor::fromStored(std::int64_t stored) {
  if (stored >= 0) return palette(stored);
  if (stored == -2) return transparent();
  return automatic();
}

std::int64_t TileColor::stored() const {
  switch (kind_) {
    case Kind::Palette:
      return index_;
    case Kind::Transparent:
      return -2;
    case Kind::Automatic:
      break;
  }
  return -1;
}

const PaletteEntry& TileColor::entry(int number) const {
  return kind_ == Kind::Palette ? paletteEntry(index_) : paletteEntry(std::int64_t{number} - 1);
}

namespace {

using nlohmann::json;

json recordToJSON(const SpaceMeta& meta) {
  json j{{"name", meta.name},
         {"icon", meta.icon.stored()},
         {"color", meta.color.stored()},
         {"seconds", meta.seconds}};
  if (meta.hotkey) j["hotkey"] = *meta.hotkey;
  return j;
}

// Throws nlohmann's errors for a missing key or a value of the wrong kind.
SpaceMeta recordFromJSON(const json& j) {
  if (!j.is_object()) throw json::type_error::create(302, "a record must be an object", &j);
  SpaceMeta meta;
  meta.name = j.at("name").get<std::string>();
  meta.icon = SpaceIcon::parse(j.at("icon").get<std::string>());
  const json& color = j.at("color");
  if (!color.is_number_integer()) {
    throw json::type_error::create(302, "\"color\" must be an integer", &color);
  }
  meta.color =
      TileColor::fromStored(color.is_number_unsigned() && color.get<std::uint64_t>() > INT64_MAX
                                ? INT64_MAX
                                : color.get<std::int64_t>());
  const json& seconds = j.at("seconds");
  if (!seconds.is_number()) {
    throw json::type_error::create(302, "\"seconds\" must be a number", &seconds);
  }
  meta.seconds = seconds.get<double>();
  if (auto it = j.find("hotkey"); it != j.end() && !it->is_null()) meta.hotkey = it->get<Hotkey>();
  return meta;
}

}  // namespace

Result<SpaceMetaMap> decodeMetas(std::string_view text) {
  json root = json::parse(text, nullptr, false);
  if (root.is_discarded()) return Failure{"the data is not valid JSON"};
  if (!root.is_object()) return Failure{"the data is not a JSON object"};
  SpaceMetaMap metas;
  for (const auto& [key, value] : root.items()) {
    std::int64_t id = 0;
    auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), id);
    if (ec != std::errc() || end != key.data() + key.size() || key.empty()) {
      return Failure{"\"" + key + "\" is not a space identifier"};
    }
    try {
      metas[ManagedID(id)] = recordFromJSON(value);
    } catch (const json::exception& e) {
      return Failure{"the record for space " + key + " is unreadable (" + e.what() + ")"};
    }
  }
  return metas;
}

Result<std::string> encodeMetas(const SpaceMetaMap& metas) {
  json root = json::object();
  for (const auto& [id, meta] : metas) {
    if (!std::isfinite(meta.seconds)) {
      return Failure{"the tracked time of space " + to_string(id) + " is not a number"};
    }
    root[to_string(id)] = recordToJSON(meta);
  }
  try {
    return root.dump();
  } catch (const json::exception& e) {
    return Failure{e.what()};
  }
}

}  // namespace velmora
