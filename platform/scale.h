// How the logical screen lands on the display's physical pixels: the scale, positions, and the sharp filter.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/geometry.h"

namespace plat {

struct CursorImage;

// Physical pixels per logical pixel, each way, as the reduced fraction num / den (>= 1).
struct ScreenScale {
  int num = 1, den = 1;
  bool Whole() const { return den == 1; }
  double Value() const { return double(num) / den; }
  bool operator==(const ScreenScale&) const = default;
};

// What OZZEL_SCALE asks for: fill the display's height or width (k = 0), or whole-number blocks of k.
struct ScaleRequest {
  int k = 0;
};

// The largest k with 640 k <= W and 480 k <= H; 1 on displays smaller than 640 × 480.
int FittingScale(Size physical);

// min(W / 640, H / 480), never below 1: the 640 × 480 game as large as the display allows.
ScreenScale FillScale(Size physical);

// The text of OZZEL_SCALE: unset, empty or "fill" fill the display; a whole number >= 1 asks for
// k × k blocks. Throws std::runtime_error with a message for the user for anything else.
ScaleRequest ParseScale(const char* text);
// OZZEL_WINDOWED=1: a plain window of the game in whole blocks instead of covering the desktop.
bool WindowedMode();

// The scale to use. A whole number that does not fit becomes the largest that does, with a line for
// stderr in *note.
ScreenScale ChooseScale(Size physical, ScaleRequest requested, std::string* note);

// The logical screen that covers the display: the last logical pixel may be cut by the edge.
Size LogicalSize(Size physical, ScreenScale s);

// The logical pixel that covers most of a physical pixel (the one under its centre); positions left of
// or above 0 stay outside.
Point ToLogical(Point physical, ScreenScale s);

// The physical pixels whose colour depends on any pixel of the logical rectangle r.
Rect ToPhysical(Rect r, ScreenScale s);

// Draws logical pixels onto a physical plane: whole scales as k × k blocks of the same pixels; others
// as blocks of the next whole multiple filtered down by area, so each logical edge blends into at most
// one physical pixel and everything else stays exactly the logical colour. Tables are made once per
// display size.
class Scaler {
 public:
  Scaler() = default;
  Scaler(ScreenScale s, Size physical);
  ScreenScale scale() const { return s_; }
  Size physical() const { return phys_; }

  // Repaints the physical pixels of logical rectangle r (of src: src_size pixels, rows src_stride
  // apart, 0xAARRGGBB) that lie inside `clip`; dst is clip's top-left pixel, rows dst_pitch bytes apart.
  void Draw(const uint32_t* src, Size src_size, int src_stride, Rect r, Rect clip, uint8_t* dst, int dst_pitch);

 private:
  struct Tap {
    int first;     // the logical pixel under the physical pixel's start
    uint32_t w;    // its share of 256; the next logical pixel has the rest
  };
  void Row(const uint32_t* in, int src_w, int x0, int x1, uint32_t* out) const;

  ScreenScale s_;
  Size phys_;
  std::vector<Tap> xs_, ys_;
  std::vector<uint32_t> rows_[2];  // horizontally filtered logical rows, by rows_y_
  int rows_y_[2] = {-1, -1};
};

// The cursor at scale s, filtered alike (with its transparency); its hotspot is the physical pixel
// under the centre of the hotspot pixel.
CursorImage ScaleCursor(const CursorImage& img, ScreenScale s);

}  // namespace plat
