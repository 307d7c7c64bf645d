// The artwork generator: every picture and cursor the program carries, drawn in code into resources/data.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/ui/screen.h"

namespace ozzel::resgen {

// Glyph strips: five 72 × 54 frames (normal, disabled, pressed, down, hot).
constexpr int kFrameW = 72, kFrameH = 54, kFrames = 5;

enum class Ball { kRed, kYellow, kGreen, kCyan };
plat::Bitmap BallStrip(Ball b);
plat::Bitmap DoorStrip(const std::string& word);  // the door over its word (capitals of raster.h)
plat::Bitmap CounterBackground();
// "LH", "PH", "LD", "PD".
plat::Bitmap Corner(const std::string& which);
plat::Bitmap Texture();
plat::Bitmap IconPicture();
plat::Bitmap IconMask();
// The waiting screen's picture (first start, while the data medium is made).
constexpr int kWaitingW = 300, kWaitingH = 230;
plat::Bitmap WaitingPicture();
// The icon's design as a colour at every point of its 32 × 32 square: the desktop icons draw it afresh at
// their own sizes instead of enlarging the 32-pixel picture.
plat::Rgb IconShade(double x, double y);

// "SIPKA1", "SIPKA2", "RUKA1", "HODINY1", "PASTELKA".
plat::CursorImage MakeCursor(const std::string& name);

// File name inside the resource directory → its bytes (the hit maps come from ozzel::art).
std::map<std::string, std::vector<uint8_t>> GenerateAll();
// Writes GenerateAll() into dir (created if needed). Throws std::runtime_error.
void WriteAll(const std::string& dir);
// PNG previews of the pictures (scaled up where small) for a human to look at.
void WritePreviews(const std::string& dir);

}  // namespace ozzel::resgen
