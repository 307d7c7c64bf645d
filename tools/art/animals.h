// Where each animal stands in the four scenes, and how it is drawn (shared by the hit maps and scene pictures).
#pragma once
#include <cstdint>
#include <vector>

#include "platform/geometry.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/color.h"
#include "tools/art/shape.h"

namespace ozzel::art {

struct AnimalPlacement {
  int set = 0;              // 1 home, 2 farm, 3 forest, 4 safari
  int code = 0;             // animal number and colour code 1..10
  plat::Rgb colour;         // exact hit-map colour of the code
  plat::Rect box;           // bounding box of the silhouette in scene coordinates (640 × 410)
  const char* czech_name;   // UTF-8
  const char* english_name;
  int pixels = 0;           // exact-colour pixels of the code in the hit map, stray ones included
  int strays = 0;           // single exact pixels on a silhouette's edge, apart from the silhouette
  int stray_host = 0;       // code of the animal on whose edge they lie when not its own (outside the box)
  bool face_left = false;   // the shapes face right
  int layer = 0;            // drawing order within the set: higher is drawn later (on top)
};

// Non-premultiplied 0xAARRGGBB pixels, row-major.
struct RgbaImage {
  int w = 0, h = 0;
  std::vector<uint32_t> argb;
  uint32_t at(int x, int y) const { return argb[size_t(y) * w + x]; }
  uint8_t alpha(int x, int y) const { return uint8_t(at(x, y) >> 24); }
};

constexpr int kSceneWidth = 640;
constexpr int kSceneHeight = 410;

// All 35 animals, sets 1..4, each set in code order.
const std::vector<AnimalPlacement>& AnimalPlacements();
// nullptr when the set has no such animal.
const AnimalPlacement* FindPlacement(int set, int code);
// The animals of a set in drawing order (bottom first).
std::vector<const AnimalPlacement*> PlacementsInDrawingOrder(int set);
// Colour code table (1..10); black for anything else.
plat::Rgb CodeColour(int code);
// The hit-map bitmap of a set ("RGB_doma", "RGB_uzitecna", "RGB_lesni", "RGB_safari").
const char* HitMapName(int set);

// An animal as the scene holds it: its shape in scene pixels, grown by `grow` to its silhouette's size.
struct SceneAnimal {
  const AnimalPlacement* placement = nullptr;
  Shape shape;
  double grow = 0;
};
// The animals of a set fitted to their boxes, in drawing order (bottom first). Deterministic.
const std::vector<SceneAnimal>& SceneAnimals(int set);

// The animal in colour as the scene shows it, exactly box-sized, transparent around it.
RgbaImage DrawAnimalRGBA(const AnimalPlacement& p);
// The same animal as large as fits w × h, centred at the bottom.
RgbaImage DrawAnimalLarge(const AnimalPlacement& p, int w, int h);

// The 640 × 410 colour hit map of a set: black, each animal's silhouette in its exact code colour,
// edged by one or two pixels of blended colours that equal no code.
plat::Bitmap RenderHitMap(int set);

// Composites an animal drawing onto a picture at (x, y) with its opacity (used for scene pictures).
void CompositeOver(plat::Bitmap& dst, const RgbaImage& img, int x, int y);

// Smooth resampling of an image to w × h (premultiplied, triangle filter sized to the scale).
RgbaImage Resample(const RgbaImage& src, int w, int h);

}  // namespace ozzel::art
