// Feeds arbitrary window-server answers (display spaces and window lists of any shape) to
// the bridge's parsing, to Mission Control's window-list test and to a running engine. Nothing may
// crash, throw or leave the engine holding a desktop list that contradicts its own numbering.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/notification_center.h"
#include "core/virtual_loop.h"
#include "mission_control/mission_control_detector.h"
#include "platform/sim/virtual_mac.h"
#include "spaces/space_engine.h"
#include "switching/desktop_switcher.h"

namespace {

using namespace velmora;

// Turns bytes into a Value, leaning towards the keys and shapes the parsers look for so the
// fuzzer reaches deep quickly.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}

  Value value(int depth) {
    switch (byte() % (depth > 5 ? 6 : 9)) {
      case 0:
        return Value();
      case 1:
        return Value(byte() & 1);
      case 2:
        return Value(static_cast<std::int64_t>(u64()));
      case 3:
        return Value(static_cast<std::int64_t>(byte()) - 8);
      case 4: {
        double d;
        std::uint64_t bits = u64();
        std::memcpy(&d, &bits, sizeof d);
        return Value(d);
      }
      case 5:
        return Value(key());
      case 6:
        return Value(Value::Data{{byte(), byte()}});
      case 7: {
        Value::Array items;
        for (int n = byte() % 6; n > 0 && p_ < end_; --n) items.push_back(value(depth + 1));
        return Value(items);
      }
      default: {
        Value::Dictionary dict;
        for (int n = byte() % 6; n > 0 && p_ < end_; --n) dict[key()] = value(depth + 1);
        return Value(dict);
      }
    }
  }

 private:
  std::uint8_t byte() { return p_ < end_ ? *p_++ : 0; }
  std::uint64_t u64() {
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | byte();
    return v;
  }
  std::string key() {
    static const char* const keys[] = {"Display Identifier",
                                       "Current Space",
                                       "Spaces",
                                       "id64",
                                       "ManagedSpaceID",
                                       "type",
                                       "kCGWindowNumber",
                                       "kCGWindowLayer",
                                       "kCGWindowBounds",
                                       "kCGWindowOwnerPID",
                                       "kCGWindowOwnerName",
                                       "Dock",
                                       "Width",
                                       "Height",
                                       "Main",
                                       ""};
    return keys[byte() % (sizeof keys / sizeof keys[0])];
  }

  const std::uint8_t* p_;
  const std::uint8_t* end_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader reader(data, size);
  Value spaces = reader.value(0);
  Value windows = reader.value(0);

  (void)SkyLight::parseDisplays(spaces);
  (void)SkyLight::parseWindows(windows);
  for (int version : {26, 27}) {
    (void)MissionControlDetector::isOpenIn(windows, {{1512, 982}, {1920, 1080}},
                                           MissionControlHost::forVersion(version));
  }

  VirtualLoop loop;
  sim::VirtualMac mac(loop);
  mac.addDisplay("Main", ScreenRect::make(0, 0, 1512, 982));
  NotificationCenter center;
  SpaceEngine engine(mac.platform(), center, EngineServices{});
  DesktopSwitcher switcher(engine, {});
  engine.setSwitcher(switcher);
  engine.start();
  mac.overrideManagedDisplaySpaces(spaces);
  mac.overrideWindowList(windows);
  engine.refresh(false);
  engine.refreshApps(true);
  engine.step(1);
  loop.advance(2);

  int expected = 0;
  for (const Desktop& d : engine.desktops()) {
    if (d.number != ++expected || !d.space.isDesktop()) std::abort();
  }
  return 0;
}
