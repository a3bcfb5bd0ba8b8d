#include "golden.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include <unistd.h>

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "platform/linux/test_pictures.h"

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;
using test_support::Pixbuf;

fs::path goldenPath(std::string_view name) {
  return fs::path(VELMORA_SOURCE_DIR) / "tests" / "golden" / name;
}

// True when the run is to rewrite the golden files rather than compare with them.
bool updating() {
  const char* flag = std::getenv("VELMORA_UPDATE_GOLDEN");
  return flag && std::string_view(flag) == "1";
}

::testing::AssertionResult write(const fs::path& file, std::string_view bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult missing(const fs::path& file) {
  return ::testing::AssertionFailure()
         << "no golden file " << file << " (VELMORA_UPDATE_GOLDEN=1 writes it)";
}

std::vector<std::string> lines(std::string_view text) {
  std::vector<std::string> out;
  std::istringstream in{std::string(text)};
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

}  // namespace

::testing::AssertionResult matchesGolden(std::string_view name, std::string_view text) {
  const fs::path file = goldenPath(name);
  if (updating()) return write(file, text);
  std::ifstream in(file, std::ios::binary);
  if (!in) return missing(file);
  const std::string expected{std::istreambuf_iterator<char>(in), {}};
  if (expected == text) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << file << " differs (VELMORA_UPDATE_GOLDEN=1 rewrites it):\n"
         << ::testing::internal::edit_distance::CreateUnifiedDiff(lines(expected), lines(text));
}

::testing::AssertionResult matchesGoldenPNG(std::string_view name, const platform::Canvas& canvas,
                                            int tolerance) {
  const fs::path file = goldenPath(name);
  const std::optional<std::vector<std::uint8_t>> png = canvas.encodePNG();
  if (!png) return ::testing::AssertionFailure() << "the canvas gave no PNG";
  const std::string_view bytes{reinterpret_cast<const char*>(png->data()), png->size()};
  if (updating()) return write(file, bytes);
  // The canvas's own PNG is read back the way the golden one is, so its encoding is checked.
  const fs::path now =
      fs::temp_directory_path() / ("velmora-golden-" + std::to_string(::getpid()) + ".png");
  write(now, bytes);
  const Pixbuf expected = test_support::read(file), actual = test_support::read(now);
  fs::remove(now);
  if (!expected) return missing(file);
  const int w = gdk_pixbuf_get_width(expected.get()), h = gdk_pixbuf_get_height(expected.get());
  if (!actual || w != gdk_pixbuf_get_width(actual.get()) ||
      h != gdk_pixbuf_get_height(actual.get())) {
    return ::testing::AssertionFailure() << "the canvas's PNG is not the size of " << file;
  }
  int differing = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const test_support::Rgba a = test_support::pixelAt(expected, x, y),
                               b = test_support::pixelAt(actual, x, y);
      differing += std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b),
                             std::abs(a.a - b.a)}) > tolerance;
    }
  }
  if (differing == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << differing << " pixels differ from " << file << " (VELMORA_UPDATE_GOLDEN=1 rewrites it)";
}

std::string escaped(std::string_view text) {
  std::string out;
  char hex[16];
  for (std::int32_t i = 0, length = static_cast<std::int32_t>(text.size()); i < length;) {
    const std::int32_t start = i;
    UChar32 c;
    U8_NEXT(text.data(), i, length, c);
    const std::int8_t type = c < 0 ? 0 : u_charType(c);
    if (c == '\n' || c == '\t') {
      out += c == '\n' ? "\\n" : "\\t";
    } else if (c < 0) {
      for (std::int32_t k = start; k < i; ++k) {
        std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(text[k]));
        out += hex;
      }
    } else if (type == U_CONTROL_CHAR || type == U_FORMAT_CHAR || type == U_LINE_SEPARATOR ||
               type == U_PARAGRAPH_SEPARATOR || type == U_NON_SPACING_MARK ||
               type == U_ENCLOSING_MARK || type == U_PRIVATE_USE_CHAR ||
               (type == U_SPACE_SEPARATOR && c != ' ')) {
      std::snprintf(hex, sizeof hex, "\\u{%X}", static_cast<unsigned>(c));
      out += hex;
    } else {
      out.append(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
    }
  }
  return out;
}

std::string menuText(const platform::Menu& menu) {
  static constexpr const char* kTargets[] = {"delegate", "application", "first responder"};
  std::string out;
  for (const platform::MenuItem& item : menu.items) {
    if (item.separator) {
      out += "-\n";
      continue;
    }
    out += item.title;
    if (!item.keyEquivalent.empty()) {
      const platform::KeyModifiers& m = item.modifiers;
      out += std::string("  ") + (m.control ? "⌃" : "") + (m.option ? "⌥" : "") +
             (m.shift ? "⇧" : "") + (m.command ? "⌘" : "") + escaped(item.keyEquivalent);
    }
    if (!item.action.empty()) {
      out += std::string("  ") + item.action + " -> " + kTargets[static_cast<int>(item.target)];
    }
    if (!item.enabled) out += "  disabled";
    if (item.checked) out += "  checked";
    if (item.image) out += "  image";
    if (item.representedObject) out += "  object " + std::to_string(*item.representedObject);
    out += "\n";
  }
  return out;
}

std::string num(double value) {
  char text[48];
  if (std::abs(value) >= 1e15) {
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
  }
  std::snprintf(text, sizeof text, "%.3f", std::abs(value) < 0.0005 ? 0.0 : value);
  std::string s = text;
  s.erase(s.find_last_not_of('0') + 1);
  if (s.back() == '.') s.pop_back();
  return s;
}

}  // namespace velmora::testing
