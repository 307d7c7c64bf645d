// A tiny anti-aliased rasteriser for the medium's pictures and the examiner's clip.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/color.h"

namespace datagen {

struct Pt {
  double x, y;
};

// Opaque RGB canvas. Shapes are blended with coverage from 4 × 4 samples per pixel; with
// aa = false a pixel is either painted or not, so the colours stay exactly those asked for.
class Canvas {
 public:
  Canvas(int w, int h, plat::Rgb fill);
  int width() const { return w_; }
  int height() const { return h_; }
  plat::Rgb At(int x, int y) const { return plat::Rgb::FromPacked(px_[size_t(y) * w_ + x]); }
  void Set(int x, int y, plat::Rgb c) { px_[size_t(y) * w_ + x] = c.packed(); }
  // Mixes c over the pixel with weight a in [0, 1].
  void Blend(int x, int y, plat::Rgb c, double a);
  void SetAntialias(bool on) { aa_ = on; }

  // Any shape given by an inside test, limited to a bounding box.
  void Fill(double x0, double y0, double x1, double y1, const std::function<bool(double, double)>& inside,
            plat::Rgb c, double alpha = 1.0);
  void Rect(double x, double y, double w, double h, plat::Rgb c, double alpha = 1.0);
  void Ellipse(double cx, double cy, double rx, double ry, plat::Rgb c, double alpha = 1.0);
  // Ellipse turned by angle radians.
  void Ellipse(double cx, double cy, double rx, double ry, double angle, plat::Rgb c, double alpha = 1.0);
  void Polygon(const std::vector<Pt>& pts, plat::Rgb c, double alpha = 1.0);
  // A stroke with round ends.
  void Line(Pt a, Pt b, double width, plat::Rgb c, double alpha = 1.0);
  void RoundRect(double x, double y, double w, double h, double r, plat::Rgb c, double alpha = 1.0);
  // Vertical gradient over a band of rows.
  void Gradient(int y0, int y1, plat::Rgb top, plat::Rgb bottom);
  // Straight-alpha RGBA pixels (0xAARRGGBB) drawn at (x, y).
  void Composite(const std::vector<uint32_t>& rgba, int w, int h, int x, int y);

  plat::Bitmap ToBitmap() const;
  const std::vector<uint32_t>& pixels() const { return px_; }

 private:
  int w_, h_;
  bool aa_ = true;
  std::vector<uint32_t> px_;
};

plat::Rgb Mix(plat::Rgb a, plat::Rgb b, double t);

}  // namespace datagen
