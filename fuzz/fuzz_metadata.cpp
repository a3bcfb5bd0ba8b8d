// Feeds arbitrary stored metadata to the decoder. Nothing may crash, and whatever decodes must
// survive being written and read back unchanged, so a save never loses what a load accepted.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "store/space_meta.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velmora;
  MetaDecodeResult decoded =
      decodeMetas(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!decoded.metas) return 0;
  for (const auto& [id, meta] : *decoded.metas) {
    if (!std::isfinite(meta.seconds)) return 0;  // JSON has no form for these; nothing to compare
  }
  std::optional<std::string> encoded = encodeMetas(*decoded.metas);
  if (!encoded) return 0;  // names that are not UTF-8 are refused at save, and logged
  MetaDecodeResult again = decodeMetas(*encoded);
  if (!again.metas || *again.metas != *decoded.metas) std::abort();
  return 0;
}
