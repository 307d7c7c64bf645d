// Animals as vector shapes: parts with signed distances, fitted to a box, drawn in colour or as a mask.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/color.h"
#include "tools/art/raster.h"

namespace ozzel::art {

using V2 = Vec;

// One piece of an animal. Outline parts make up the silhouette; decor only colours what is inside it.
struct Part {
  enum Kind { kEllipse, kLimb, kPolygon } kind = kEllipse;
  V2 a, b;                // ellipse: centre in a; limb: the two ends
  double r0 = 0, r1 = 0;  // ellipse: radii; limb: radius at a and at b
  double angle = 0;       // ellipse: turn in radians
  std::vector<V2> pts;    // polygon
  plat::Rgb colour;
  bool decor = false;
  bool contour = false;   // a thin dark line where it lies over other parts (a near leg, an ear)
};

struct Shape {
  std::vector<Part> parts;

  Part& Ellipse(V2 c, double rx, double ry, plat::Rgb col, double angle = 0);
  Part& Limb(V2 a, V2 b, double ra, double rb, plat::Rgb col);
  Part& Polygon(std::vector<V2> pts, plat::Rgb col);
  // A chain of limbs through the points, radius going from ra to rb.
  void Chain(const std::vector<V2>& pts, double ra, double rb, plat::Rgb col);
  // Decor: an eye with its white, pupil and glint.
  void Eye(V2 c, double r, bool white = true);
  // Marks every part added since `from` as decor (or contoured).
  void MarkDecor(size_t from);
  void MarkContour(size_t from);
  size_t Mark() const { return parts.size(); }
};

struct Box2 {
  double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
};

// Bounding box of the outline parts.
Box2 Bounds(const Shape& s);
// The shape mapped by x' = ox + sx·x, y' = oy + sy·y (radii follow the scale).
Shape Mapped(const Shape& s, double sx, double sy, double ox, double oy);
// Signed distance of p to one part (negative inside) and to the whole outline.
double PartDistance(const Part& p, V2 q);
double OutlineDistance(const Shape& s, V2 q);

// The parts of a shape sorted into square cells of a region, so that a point meets only the parts that
// may lie within `reach` of it instead of all of them: the pictures are drawn in a fraction of the time,
// and every distance up to `reach` comes out exactly as PartDistance gives it.
class PartGrid {
 public:
  PartGrid(const Shape& s, double reach, double x0, double y0, double x1, double y1);
  // Indices of the parts (ascending) that may lie within reach of q; outside the region, all of them.
  const std::vector<uint32_t>& Near(V2 q) const;
  // PartDistance of part i, its turn's sine and cosine taken once.
  double Distance(size_t i, V2 q) const;
  // OutlineDistance when it is at most reach; otherwise some value above reach.
  double Outline(V2 q) const;
  double reach() const { return reach_; }

 private:
  const Shape& s_;
  double reach_, x0_, y0_;
  int cols_ = 0, rows_ = 0;
  std::vector<double> cos_, sin_;
  std::vector<std::vector<uint32_t>> cells_;
  std::vector<uint32_t> all_;
};

// Straight-alpha 0xAARRGGBB image of w × h whose pixel (0, 0) lies at (x0, y0) of the shape's space.
// The outline grows by `grow` pixels; edges are anti-aliased, the animal gets a dark contour.
struct RgbaImage;
RgbaImage DrawShape(const Shape& s, double grow, int x0, int y0, int w, int h);

}  // namespace ozzel::art
