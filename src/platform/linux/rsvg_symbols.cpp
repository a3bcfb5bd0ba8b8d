#include "platform/linux/rsvg_symbols.h"

#include <librsvg/rsvg.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <system_error>
#include <utility>

namespace velmora::linuxhost {

namespace {

struct SymbolIcon {
  std::string_view symbol;
  std::string_view icon;
};

// Each symbol Velmora shows, with the Adwaita icon closest to it in look. Where Adwaita has
// no such picture, the icon carries the same idea (a shopping bag for a cart, a flask for a
// cup, a light bulb for learning) and no two desktop icons share one, so that the picker's
// choices stay apart.
constexpr std::array kStandIns = std::to_array<SymbolIcon>({
    // The desktop icon picker.
    {"house.fill", "user-home"},
    {"briefcase.fill", "package-x-generic"},
    {"laptopcomputer", "computer"},
    {"chevron.left.forwardslash.chevron.right", "accessories-text-editor"},
    {"terminal.fill", "utilities-terminal"},
    {"hammer.fill", "applications-engineering"},
    {"wrench.and.screwdriver.fill", "preferences-system"},
    {"paintbrush.pointed.fill", "applications-graphics"},
    {"pencil.and.outline", "document-edit"},
    {"doc.text.fill", "x-office-document"},
    {"book.fill", "accessories-dictionary"},
    {"graduationcap.fill", "emoji-objects"},
    {"envelope.fill", "mail-unread"},
    {"bubble.left.and.bubble.right.fill", "user-available"},
    {"video.fill", "camera-video"},
    {"music.note", "emblem-music"},
    {"headphones", "audio-headphones"},
    {"gamecontroller.fill", "input-gaming"},
    {"photo.fill", "image-x-generic"},
    {"film.fill", "applications-multimedia"},
    {"safari.fill", "web-browser"},
    {"globe", "modem"},
    {"cart.fill", "system-software-install"},
    {"creditcard.fill", "auth-smartcard"},
    {"chart.bar.fill", "network-cellular-signal-excellent"},
    {"calendar", "x-office-calendar"},
    {"clock.fill", "preferences-system-time"},
    {"bolt.fill", "thunderbolt"},
    {"flame.fill", "night-light"},
    {"star.fill", "starred"},
    {"heart.fill", "emblem-favorite"},
    {"leaf.fill", "emoji-nature"},
    {"moon.fill", "weather-clear-night"},
    {"sun.max.fill", "weather-clear"},
    {"cloud.fill", "weather-overcast"},
    {"person.fill", "avatar-default"},
    {"person.2.fill", "system-users"},
    {"lock.fill", "changes-prevent"},
    {"shield.fill", "security-high"},
    {"gearshape.fill", "emblem-system"},
    {"paperplane.fill", "mail-send"},
    {"airplane", "airplane-mode"},
    {"car.fill", "emoji-travel"},
    {"cup.and.saucer.fill", "applications-science"},
    {"fork.knife", "emoji-food"},
    {"tag.fill", "user-bookmarks"},
    {"folder.fill", "folder"},
    {"tray.full.fill", "drive-removable-media"},
    {"archivebox.fill", "system-file-manager"},
    {"flag.fill", "emoji-flags"},
    // Toasts, menus, the quick switcher, the popover and the desktop editor.
    {"magnifyingglass", "system-search"},
    {"link", "mail-attachment"},
    {"keyboard", "input-keyboard"},
    {"eye.fill", "view-reveal"},
    {"eye.slash.fill", "view-conceal"},
    {"checkmark.circle.fill", "emblem-default"},
    {"exclamationmark.triangle.fill", "dialog-warning"},
    {"arrow.down.circle.fill", "folder-download"},
    {"arrow.right.doc.on.clipboard", "edit-paste"},
    {"arrow.up.forward.square", "send-to"},
    {"arrow.uturn.backward", "edit-undo"},
    {"chevron.left", "go-previous"},
    {"face.smiling", "face-smile"},
    {"photo", "emblem-photos"},
    {"return", "mail-reply-sender"},
    {"slider.horizontal.3", "open-menu"},
    {"rectangle.3.group", "preferences-desktop-multitasking"},
    // The settings window's sidebar and status rows.
    {"square.grid.2x2", "view-grid"},
    {"capsule", "media-record"},
    {"rectangle.topthird.inset.filled", "go-top"},
    {"clock", "preferences-system-time"},
    {"gearshape", "emblem-system"},
    {"info.circle", "help-about"},
    // Other applications' items and the system's in the virtual Mac's menu bar.
    {"wifi", "network-wireless-signal-excellent"},
    {"battery.100", "battery-level-100"},
    {"speaker.wave.2.fill", "audio-volume-high"},
    {"switch.2", "preferences-system"},
    {"alarm", "alarm"},
    {"play.fill", "media-playback-start"},
});

struct HandleUnref {
  void operator()(RsvgHandle* handle) const { g_object_unref(handle); }
};

struct SurfaceDestroy {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};

struct ContextDestroy {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};

std::uint8_t toByte(double unit) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(unit, 0.0, 1.0) * 255));
}

// Grows the opaque parts of an alpha mask by `radius` pixels in every direction, with a
// soft edge for the fractional part, so thin strokes thicken evenly.
std::vector<std::uint8_t> outset(const std::vector<std::uint8_t>& mask, int width, int height,
                                 double radius) {
  if (radius < 0.05) return mask;
  struct Tap {
    int dx;
    int dy;
    double weight;
  };
  std::vector<Tap> taps;
  int reach = static_cast<int>(std::ceil(radius));
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      double weight = std::clamp(radius + 1 - std::hypot(dx, dy), 0.0, 1.0);
      if (weight > 0) taps.push_back({dx, dy, weight});
    }
  }
  std::vector<std::uint8_t> grown(mask.size());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      double best = 0;
      for (const Tap& tap : taps) {
        int sx = x + tap.dx, sy = y + tap.dy;
        if (sx < 0 || sy < 0 || sx >= width || sy >= height) continue;
        best = std::max(best, mask[static_cast<std::size_t>(sy) * width + sx] * tap.weight);
      }
      grown[static_cast<std::size_t>(y) * width + x] =
          static_cast<std::uint8_t>(std::lround(std::min(best, 255.0)));
    }
  }
  return grown;
}

}  // namespace

struct SymbolDocument {
  std::unique_ptr<RsvgHandle, HandleUnref> handle;
  double aspect = 1;  // width ÷ height of the icon's own size

  // The icon's coverage over a `width` × `height` pixel grid with the icon filling
  // `viewport`; empty when librsvg fails.
  std::vector<std::uint8_t> mask(int width, int height, const RsvgRectangle& viewport) const {
    std::unique_ptr<cairo_surface_t, SurfaceDestroy> surface(
        cairo_image_surface_create(CAIRO_FORMAT_A8, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return {};
    bool drawn = false;
    {
      std::unique_ptr<cairo_t, ContextDestroy> cr(cairo_create(surface.get()));
      GError* error = nullptr;
      drawn = rsvg_handle_render_document(handle.get(), cr.get(), &viewport, &error);
      g_clear_error(&error);
    }
    if (!drawn) return {};
    cairo_surface_flush(surface.get());
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    int stride = cairo_image_surface_get_stride(surface.get());
    std::vector<std::uint8_t> coverage(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
      std::copy_n(data + static_cast<std::size_t>(y) * stride, width,
                  coverage.begin() + static_cast<std::ptrdiff_t>(y) * width);
    }
    return coverage;
  }
};

namespace {

class SymbolImage final : public platform::RenderedSymbol {
 public:
  SymbolImage(std::shared_ptr<const SymbolDocument> document, double pointSize, double margin,
              const platform::Color& color)
      : document_(std::move(document)), pointSize_(pointSize), margin_(margin), color_(color) {}

  Size size() const override {
    return {pointSize_ * document_->aspect + 2 * margin_, pointSize_ + 2 * margin_};
  }

 private:
  // The symbol in its colour over `width` × `height` pixels spanning the whole image.
  platform::Bitmap render(int width, int height) const override {
    Size natural = size();
    double xScale = width / natural.width, yScale = height / natural.height;
    RsvgRectangle viewport{margin_ * xScale, margin_ * yScale,
                           pointSize_ * document_->aspect * xScale, pointSize_ * yScale};
    std::vector<std::uint8_t> coverage = document_->mask(width, height, viewport);
    if (coverage.empty()) return {};
    coverage = outset(coverage, width, height, margin_ * std::min(xScale, yScale));

    platform::Bitmap bitmap;
    bitmap.pixelWidth = width;
    bitmap.pixelHeight = height;
    bitmap.pointSize = natural;
    bitmap.rgba.resize(coverage.size() * 4);
    std::uint8_t red = toByte(color_.red), green = toByte(color_.green), blue = toByte(color_.blue);
    double alpha = std::clamp(color_.alpha, 0.0, 1.0);
    for (std::size_t i = 0; i < coverage.size(); ++i) {
      std::uint8_t* pixel = &bitmap.rgba[i * 4];
      pixel[0] = red;
      pixel[1] = green;
      pixel[2] = blue;
      pixel[3] = static_cast<std::uint8_t>(std::lround(coverage[i] * alpha));
    }
    return bitmap;
  }

  std::shared_ptr<const SymbolDocument> document_;
  double pointSize_;
  double margin_;
  platform::Color color_;
};

}  // namespace

RsvgSymbols::RsvgSymbols(std::filesystem::path themeFolder) : folder_(std::move(themeFolder)) {}

RsvgSymbols::~RsvgSymbols() = default;

std::optional<std::string_view> RsvgSymbols::iconName(std::string_view symbol) {
  for (const SymbolIcon& entry : kStandIns) {
    if (entry.symbol == symbol) return entry.icon;
  }
  return std::nullopt;
}

std::vector<std::string_view> RsvgSymbols::symbolNames() {
  std::vector<std::string_view> names;
  names.reserve(kStandIns.size());
  for (const SymbolIcon& entry : kStandIns) names.push_back(entry.symbol);
  return names;
}

double RsvgSymbols::outsetShare(platform::SymbolWeight weight) {
  switch (weight) {
    case platform::SymbolWeight::regular:
      return 0;
    case platform::SymbolWeight::medium:
      return 0.006;
    case platform::SymbolWeight::semibold:
      return 0.012;
    case platform::SymbolWeight::bold:
      return 0.02;
  }
  return 0;
}

std::optional<std::filesystem::path> RsvgSymbols::iconFile(std::string_view iconName) {
  if (!files_) {
    // Adwaita files its icons by context ("places/user-home-symbolic.svg"), under
    // "scalable" in the releases Debian 12 ships and under "symbolic" in later ones.
    files_.emplace();
    constexpr std::string_view kSuffix = "-symbolic.svg";
    for (const char* layout : {"scalable", "symbolic"}) {
      // An icon in two contexts is settled by path order, not by the order the folder
      // happens to list them in; the first layout that has an icon keeps it.
      std::map<std::string, std::filesystem::path> inLayout;
      std::error_code error;
      std::filesystem::recursive_directory_iterator it(folder_ / layout, error), end;
      for (; !error && it != end; it.increment(error)) {
        std::string file = it->path().filename().string();
        if (file.size() <= kSuffix.size() || !file.ends_with(kSuffix)) continue;
        auto [entry, added] =
            inLayout.emplace(file.substr(0, file.size() - kSuffix.size()), it->path());
        if (!added && it->path() < entry->second) entry->second = it->path();
      }
      for (auto& [icon, path] : inLayout) files_->emplace(icon, std::move(path));
    }
  }
  auto found = files_->find(iconName);
  if (found == files_->end()) return std::nullopt;
  return found->second;
}

std::shared_ptr<const SymbolDocument> RsvgSymbols::document(std::string_view iconName) {
  auto known = documents_.find(iconName);
  if (known != documents_.end()) return known->second;

  std::shared_ptr<SymbolDocument> loaded;
  if (std::optional<std::filesystem::path> file = iconFile(iconName)) {
    GError* error = nullptr;
    std::unique_ptr<RsvgHandle, HandleUnref> handle(
        rsvg_handle_new_from_file(file->c_str(), &error));
    g_clear_error(&error);
    if (handle) {
      loaded = std::make_shared<SymbolDocument>();
      double width = 0, height = 0;
      if (rsvg_handle_get_intrinsic_size_in_pixels(handle.get(), &width, &height) && width > 0 &&
          height > 0) {
        loaded->aspect = width / height;
      }
      loaded->handle = std::move(handle);
    }
  }
  documents_.emplace(std::string(iconName), loaded);
  return loaded;
}

std::shared_ptr<platform::VectorImage> RsvgSymbols::symbol(const std::string& name,
                                                           double pointSize,
                                                           platform::SymbolWeight weight,
                                                           const platform::Color& color) {
  if (!std::isfinite(pointSize) || pointSize <= 0) return nullptr;
  std::optional<std::string_view> icon = iconName(name);
  if (!icon) return nullptr;
  std::shared_ptr<const SymbolDocument> loaded = document(*icon);
  if (!loaded) return nullptr;
  return std::make_shared<SymbolImage>(std::move(loaded), pointSize,
                                       pointSize * outsetShare(weight), color);
}

}  // namespace velmora::linuxhost
