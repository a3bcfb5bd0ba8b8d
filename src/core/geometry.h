#pragma once
// Points, sizes and rectangles in the two coordinate conventions of the Mac, kept apart by
// type so that one can never be passed where the other is meant:
//  - ScreenPoint/ScreenRect: drawing (Cocoa) coordinates, origin at the bottom-left of the
//    main display, y up. Screens, panels and the menu bar live here.
//  - AXPoint/AXRect: accessibility and Quartz window-list coordinates, origin at the
//    top-left of the main display, y down. Window bounds and Mission Control geometry live
//    here.

#include <algorithm>

namespace velmora {

struct Size {
  double width = 0;
  double height = 0;
  bool operator==(const Size&) const = default;
};

template <class Convention>
struct BasicPoint {
  double x = 0;
  double y = 0;
  bool operator==(const BasicPoint&) const = default;
};

template <class Convention>
struct BasicRect {
  BasicPoint<Convention> origin;
  Size size;

  static BasicRect make(double x, double y, double w, double h) { return {{x, y}, {w, h}}; }
  double minX() const { return origin.x; }
  double minY() const { return origin.y; }
  double maxX() const { return origin.x + size.width; }
  double maxY() const { return origin.y + size.height; }
  double midX() const { return origin.x + size.width / 2; }
  double midY() const { return origin.y + size.height / 2; }
  bool isEmpty() const { return size.width <= 0 || size.height <= 0; }
  bool contains(BasicPoint<Convention> p) const {
    return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
  }
  BasicRect intersection(const BasicRect& o) const {
    double x0 = std::max(minX(), o.minX()), y0 = std::max(minY(), o.minY());
    double x1 = std::min(maxX(), o.maxX()), y1 = std::min(maxY(), o.maxY());
    if (x1 <= x0 || y1 <= y0) return {};
    return make(x0, y0, x1 - x0, y1 - y0);
  }
  bool operator==(const BasicRect&) const = default;
};

struct ScreenConvention {};
struct AXConvention {};

using ScreenPoint = BasicPoint<ScreenConvention>;
using ScreenRect = BasicRect<ScreenConvention>;
using AXPoint = BasicPoint<AXConvention>;
using AXRect = BasicRect<AXConvention>;

// Converting needs the height of the main display (the one whose screen frame has its
// origin at 0,0): both conventions share x and flip y around it.
inline AXRect toAX(const ScreenRect& r, double mainDisplayHeight) {
  return AXRect::make(r.origin.x, mainDisplayHeight - r.maxY(), r.size.width, r.size.height);
}
inline ScreenRect toScreen(const AXRect& r, double mainDisplayHeight) {
  return ScreenRect::make(r.origin.x, mainDisplayHeight - r.maxY(), r.size.width, r.size.height);
}
inline AXPoint toAX(ScreenPoint p, double mainDisplayHeight) {
  return {p.x, mainDisplayHeight - p.y};
}
inline ScreenPoint toScreen(AXPoint p, double mainDisplayHeight) {
  return {p.x, mainDisplayHeight - p.y};
}

}  // namespace velmora
