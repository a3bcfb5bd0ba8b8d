// Feeds arbitrary bytes (ill-formed UTF-8 included) to the stored icon form. Nothing may
// crash, and what an icon stores must read back as the same icon, or a desktop's icon would
// drift each time the metadata is saved and loaded.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "store/space_icon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using velmora::SpaceIcon;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  SpaceIcon icon = SpaceIcon::parse(text);
  if (SpaceIcon::parse(icon.stored()) != icon) std::abort();
  if (icon.kind() == SpaceIcon::Kind::Emoji && icon.payload().empty()) std::abort();
  return 0;
}
