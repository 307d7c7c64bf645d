// The whole-number scale between the program's logical screen and the display's physical pixels.
#pragma once
#include <cstdint>
#include <string>

#include "platform/geometry.h"

namespace plat {

struct CursorImage;

// The largest k with 640 k <= W and 480 k <= H; 1 on displays smaller than 640 × 480.
int FittingScale(Size physical);

// The text of OZZEL_SCALE as a scale; 0 when it is unset or empty. Throws std::runtime_error with a
// message for the user when it is not a whole number >= 1.
int ParseScale(const char* text);

// The scale to use: `requested` (0: none) when it fits, else the largest that fits, with a line for
// stderr in *note.
int ChooseScale(Size physical, int requested, std::string* note);

// ceil(W / k) × ceil(H / k): the last logical pixel may be cut by the display's edge.
Size LogicalSize(Size physical, int k);

// A physical pixel position to the logical pixel that covers it (floor, also left of or above 0).
Point ToLogical(Point physical, int k);

// Copies the logical rectangle r of src (32-bit pixels, rows of src_stride) as k × k blocks of the
// same pixels into the physical rectangle `clip`, whose top-left pixel is at dst (rows dst_pitch
// bytes apart). Only the part of r's blocks inside clip is written.
void ScaleBlocks(const uint32_t* src, int src_stride, Rect r, int k, Rect clip, uint8_t* dst, int dst_pitch);

// The cursor with each pixel a k × k block; its hotspot is the centre of the scaled hotspot pixel.
CursorImage ScaleCursor(const CursorImage& img, int k);

}  // namespace plat
