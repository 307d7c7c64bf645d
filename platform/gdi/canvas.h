// A drawing surface over packed 0x00RRGGBB pixels with an origin and a clip rectangle.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/geometry.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/color.h"
#include "platform/gdi/text.h"

namespace plat {

// Owned pixel buffer: the screen framebuffer, a form's back buffer, an off-screen button image.
class Surface {
 public:
  Surface() = default;
  Surface(int w, int h, Rgb fill = {});
  int width() const { return w_; }
  int height() const { return h_; }
  uint32_t* row(int y) { return px_.data() + size_t(y) * w_; }
  const uint32_t* row(int y) const { return px_.data() + size_t(y) * w_; }
  Rgb At(int x, int y) const { return Rgb::FromPacked(row(y)[x]); }
  void Resize(int w, int h, Rgb fill = {});

 private:
  int w_ = 0, h_ = 0;
  std::vector<uint32_t> px_;
};

enum class TextAlign { Left, Center, Right };

// Draws onto a Surface. Coordinates are relative to the origin; everything is clipped to the clip rect
// (in surface coordinates) and to the surface.
class Canvas {
 public:
  explicit Canvas(Surface& s);
  Surface& surface() { return s_; }
  Point origin() const { return origin_; }
  Rect clip() const { return clip_; }
  // Narrows the clip to r (in current coordinates) and moves the origin to r's top-left corner.
  void Enter(const Rect& r);
  void SetOriginClip(Point origin, Rect clip) { origin_ = origin; clip_ = clip; }

  void Fill(const Rect& r, Rgb c);
  // Copies src_rect of bmp to (x, y).
  void Draw(const Bitmap& bmp, int x, int y);
  void Draw(const Bitmap& bmp, int x, int y, const Rect& src_rect);
  // Like Draw, but pixels equal to key are left out (colour-key mask).
  void DrawKeyed(const Bitmap& bmp, int x, int y, Rgb key);
  void DrawKeyed(const Bitmap& bmp, int x, int y, const Rect& src_rect, Rgb key);
  void DrawSurface(const Surface& src, int x, int y);
  // Repeats bmp over r, anchored at r's top-left corner; the last row and column are cut off.
  void Tile(const Bitmap& bmp, const Rect& r);
  // Text in r, vertically centred, alpha-blended (UTF-8).
  void Text(const std::string& utf8, const Rect& r, const FontSpec& font, TextAlign align);
  // Width in pixels of the text in that font.
  static int TextWidth(const std::string& utf8, const FontSpec& font);

 private:
  Surface& s_;
  Point origin_{0, 0};
  Rect clip_;
};

// Lossless PNG of a surface (for screenshots). Throws GdiError when the file cannot be written.
void SavePng(const Surface& s, const std::string& host_path);

}  // namespace plat
