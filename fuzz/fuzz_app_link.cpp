// Feeds arbitrary bytes to the link parser, as any web page or script can hand us any URL.
// Nothing may crash, and a link that parsed must come back the same when written out again
// in its plainest form, with the scheme and host in capitals: otherwise what a link means
// would depend on how it was spelled rather than on what it says.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "app/app_link.h"

namespace {

using velmora::AppLink;

// Every byte but the unreserved ones escaped, "/" included, so the text stays one component.
std::string escaped(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                 (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
    if (plain) {
      out.push_back(c);
    } else {
      out += {'%', kHex[byte >> 4], kHex[byte & 0xF]};
    }
  }
  return out;
}

std::string written(const AppLink& link) {
  switch (link.kind()) {
    case AppLink::Kind::number:
      return "VELMORA://SWITCH/" + std::to_string(link.desktopNumber());
    case AppLink::Kind::named:
      return "VELMORA://SWITCH/" + escaped(link.text());
    case AppLink::Kind::settingsPage:
      return "VELMORA://SETTINGS/" + escaped(link.text());
    case AppLink::Kind::back:
      return "VELMORA://BACK";
    case AppLink::Kind::next:
      return "VELMORA://NEXT";
    case AppLink::Kind::previous:
      return "VELMORA://PREV";
    case AppLink::Kind::switcher:
      return "VELMORA://SWITCHER";
    case AppLink::Kind::popover:
      return "VELMORA://POPOVER";
    case AppLink::Kind::hover:
      return "VELMORA://HOVER";
    case AppLink::Kind::presentation:
      return "VELMORA://PRESENTATION";
    case AppLink::Kind::settings:
      return "VELMORA://SETTINGS";
  }
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view url(reinterpret_cast<const char*>(data), size);
  std::optional<AppLink> link = AppLink::parse(url);
  if (!link) return 0;
  bool carriesText =
      link->kind() == AppLink::Kind::named || link->kind() == AppLink::Kind::settingsPage;
  if (carriesText == link->text().empty()) std::abort();
  if (AppLink::parse(written(*link)) != link) std::abort();
  return 0;
}
