// The generators' one rasteriser: supersampled shading and shape filling, geometry, a stroke alphabet, palettes.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/color.h"

namespace ozzel::art {

struct Vec {
  double x = 0, y = 0;
};
using Pt = Vec;

// Colour at a point of the picture (pixel (i, j) covers [i, i+1) × [j, j+1)).
using Shader = std::function<plat::Rgb(double x, double y)>;

// Averages ss × ss samples per pixel; a pixel whose samples all agree keeps that colour exactly.
plat::Bitmap Render(int w, int h, int ss, const Shader& shade);
// One sample at each pixel's centre: hard edges for pixel art.
plat::Bitmap RenderHard(int w, int h, const Shader& shade);

plat::Rgb Mix(plat::Rgb a, plat::Rgb b, double t);  // t = 0 gives a
plat::Rgb Scale(plat::Rgb c, double k);               // clamped

double Dist(Vec a, Vec b);
double SegmentDistance(Vec p, Vec a, Vec b);
bool InPolygon(Vec p, const std::vector<Vec>& poly);
double PolygonEdgeDistance(Vec p, const std::vector<Vec>& poly);
bool InEllipse(Vec p, Vec c, double rx, double ry);

// Capital letters, digits and a few signs as polylines in a 1 × 1 cell (y down).
using Strokes = std::vector<std::vector<Vec>>;
Strokes Glyph(char c);
// Distance from p to the text laid out from (x, y) with cells of cell_w × cell_h and the given gap.
double TextDistance(Vec p, const std::string& text, double x, double y, double cell_w, double cell_h, double gap);

// Reduces a picture to at most max_colours colours (median cut), keeping the reserved colours exact and
// never turning any other pixel into a reserved colour. Deterministic.
plat::Bitmap Palettise(const plat::Bitmap& src, int max_colours, const std::vector<plat::Rgb>& reserved);

// Opaque RGB canvas. Shapes are blended with their coverage, sampled as Render samples (4 × 4 a pixel);
// with antialiasing off a pixel is either painted or not, so the colours stay exactly those asked for.
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
  void Polygon(const std::vector<Vec>& pts, plat::Rgb c, double alpha = 1.0);  // even-odd rule
  // A stroke with round ends.
  void Line(Vec a, Vec b, double width, plat::Rgb c, double alpha = 1.0);
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

// Number of distinct colours.
int CountColours(const plat::Bitmap& b);

// Smooth value noise that repeats every `period` pixels in both directions; values in [0, 1].
double PeriodicNoise(double x, double y, int period, int cells, unsigned seed);

}  // namespace ozzel::art
