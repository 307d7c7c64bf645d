// Drawing helpers for the generated artwork: supersampled shading, shapes, a stroke alphabet, palettes.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/color.h"

namespace ozzel::resgen {

struct Vec {
  double x = 0, y = 0;
};

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

// Number of distinct colours.
int CountColours(const plat::Bitmap& b);

// Smooth value noise that repeats every `period` pixels in both directions; values in [0, 1].
double PeriodicNoise(double x, double y, int period, int cells, unsigned seed);

}  // namespace ozzel::resgen
