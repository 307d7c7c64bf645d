// Points and rectangles in pixels: x to the right, y downwards.
#pragma once
#include <algorithm>

namespace plat {

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int w = 0, h = 0;
  bool operator==(const Size&) const = default;
};

// Half-open: covers x in [left, left + w), y in [top, top + h).
struct Rect {
  int left = 0, top = 0, w = 0, h = 0;
  bool operator==(const Rect&) const = default;
  int right() const { return left + w; }
  int bottom() const { return top + h; }
  bool empty() const { return w <= 0 || h <= 0; }
  bool contains(Point p) const { return p.x >= left && p.x < right() && p.y >= top && p.y < bottom(); }
  Rect offset(int dx, int dy) const { return {left + dx, top + dy, w, h}; }
  Rect intersect(const Rect& o) const {
    int l = std::max(left, o.left), t = std::max(top, o.top);
    int r = std::min(right(), o.right()), b = std::min(bottom(), o.bottom());
    return (r > l && b > t) ? Rect{l, t, r - l, b - t} : Rect{};
  }
  Rect unite(const Rect& o) const {
    if (empty()) return o;
    if (o.empty()) return *this;
    int l = std::min(left, o.left), t = std::min(top, o.top);
    int r = std::max(right(), o.right()), b = std::max(bottom(), o.bottom());
    return {l, t, r - l, b - t};
  }
};

}  // namespace plat
