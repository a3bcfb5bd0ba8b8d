#pragma once
// The user's own data for one desktop — name, icon, colour, shortcut and tracked time — and
// the palette and icon catalogue the choices come from.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/ids.h"
#include "core/result.h"
#include "store/hotkey.h"
#include "store/space_icon.h"

namespace velmora {

// An sRGB colour with alpha; what the drawing layer fills tiles with.
struct RGBColor {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;
  bool operator==(const RGBColor&) const = default;
};

struct PaletteEntry {
  const char* name;
  RGBColor color;
};

// The ten tile colours, in index order.
extern const std::array<PaletteEntry, 10> kTilePalette;
// Any integer picks an entry: indices wrap around in both directions.
const PaletteEntry& paletteEntry(std::int64_t index);
// The solid neutral a transparent desktop stands on where a surface needs a fill.
inline constexpr RGBColor kTransparentTint{0.13, 0.13, 0.13, 1};

// The symbols offered for a desktop's icon, in the order the picker shows them.
extern const std::array<const char*, 50> kIconCatalogue;

class TileColor {
 public:
  enum class Kind { Palette, Automatic, Transparent };

  TileColor() = default;  // automatic
  static TileColor palette(std::int64_t index) { return {Kind::Palette, index}; }
  static TileColor automatic() { return {}; }
  static TileColor transparent() { return {Kind::Transparent, 0}; }
  // n ≥ 0 is a palette index, -2 transparent, any other negative automatic.
  static TileColor fromStored(std::int64_t stored);
  std::int64_t stored() const;

  Kind kind() const { return kind_; }
  std::int64_t index() const { return index_; }
  // The palette entry for a desktop numbered `number` (automatic follows the number).
  const PaletteEntry& entry(int number) const;

  bool operator==(const TileColor&) const = default;

 private:
  TileColor(Kind kind, std::int64_t index) : kind_(kind), index_(index) {}
  Kind kind_ = Kind::Automatic;
  std::int64_t index_ = 0;
};

struct SpaceMeta {
  std::string name;
  SpaceIcon icon;
  TileColor color;
  double seconds = 0;
  std::optional<Hotkey> hotkey;

  bool operator==(const SpaceMeta&) const = default;
  // Nothing the user chose; tracked time does not count.
  bool isBlank() const {
    return name.empty() && icon.isNone() && color == TileColor::automatic() && !hotkey;
  }
  bool isEmpty() const { return isBlank() && seconds == 0; }
};

using SpaceMetaMap = std::map<ManagedID, SpaceMeta>;

// The stored JSON form of all records: {"<managed id>": {"name", "icon", "color", "seconds",
// "hotkey"?}, …}. Decoding fails as a whole, with a description, when any record is broken.
Result<SpaceMetaMap> decodeMetas(std::string_view json);
// Fails with a description when the records cannot be encoded: a name that is not valid
// UTF-8, or tracked time that is not a finite number (JSON would store it as null, and the
// next launch could not read any record back).
Result<std::string> encodeMetas(const SpaceMetaMap& metas);

}  // namespace velmora
