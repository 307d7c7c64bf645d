// Where each animal stands in the four scenes, and how it is drawn (shared by the hit maps and scene pictures).
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/geometry.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/color.h"

namespace ozzel::art {

// The emoji font is missing or a glyph cannot be rendered.
class ArtError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class Anchor { kBottom, kCenter, kTop };

// Extra drawing added to an emoji so that the silhouette matches the scene.
enum class Extra { kNone, kPerch };

struct AnimalPlacement {
  int set = 0;              // 1 home, 2 farm, 3 forest, 4 safari
  int code = 0;             // animal number and colour code 1..10
  plat::Rgb colour;         // exact hit-map colour of the code
  plat::Rect box;           // bounding box of the silhouette in scene coordinates (640 × 410)
  const char* emoji;        // UTF-8, a single code point
  const char* fallback;     // UTF-8, used when the font lacks `emoji`
  const char* czech_name;   // UTF-8
  const char* english_name;
  int pixels = 0;           // size of the silhouette the scene was designed around (exact-colour pixels)
  bool mirror = false;      // flip horizontally so the animal looks into the scene
  Anchor anchor = Anchor::kBottom;
  double max_stretch = 1.25;  // largest non-uniform stretch allowed to fill the box
  Extra extra = Extra::kNone;
  int layer = 0;            // drawing order within the set: higher is drawn later (on top)
};

// Non-premultiplied 0xAARRGGBB pixels, row-major.
struct RgbaImage {
  int w = 0, h = 0;
  std::vector<uint32_t> argb;
  uint32_t at(int x, int y) const { return argb[size_t(y) * w + x]; }
  uint8_t alpha(int x, int y) const { return uint8_t(at(x, y) >> 24); }
};

// Opacity at which a drawn pixel counts as the animal itself (not its soft edge).
constexpr int kSolidAlpha = 128;

constexpr int kSceneWidth = 640;
constexpr int kSceneHeight = 410;

// All 36 animals, sets 1..4, each set in code order.
const std::vector<AnimalPlacement>& AnimalPlacements();
// nullptr when the set has no such animal.
const AnimalPlacement* FindPlacement(int set, int code);
// The animals of a set in drawing order (bottom first).
std::vector<const AnimalPlacement*> PlacementsInDrawingOrder(int set);
// Colour code table (1..10); black for anything else.
plat::Rgb CodeColour(int code);
// The hit-map bitmap of a set ("RGB_doma", "RGB_uzitecna", "RGB_lesni", "RGB_safari").
const char* HitMapName(int set);

// Path of the colour emoji font ($OZZEL_EMOJI_FONT overrides the system one).
std::string EmojiFontPath();
bool EmojiFontAvailable();

// The animal in colour, exactly box-sized, transparent around it. Deterministic. Throws ArtError.
RgbaImage DrawAnimalRGBA(const AnimalPlacement& p);

// The 640 × 410 colour hit map of a set: black, each animal's solid part in its exact code colour,
// soft edges in blended colours that equal no code. Throws ArtError.
plat::Bitmap RenderHitMap(int set);

// Composites an animal drawing onto a picture at (x, y) with its opacity (used for scene pictures).
void CompositeOver(plat::Bitmap& dst, const RgbaImage& img, int x, int y);

// Renders one UTF-8 emoji at the font's native size, trimmed to its visible pixels. Throws ArtError.
RgbaImage RenderEmoji(const std::string& utf8);

// Smooth resampling of an image to w × h (premultiplied, triangle filter sized to the scale).
RgbaImage Resample(const RgbaImage& src, int w, int h);

}  // namespace ozzel::art
