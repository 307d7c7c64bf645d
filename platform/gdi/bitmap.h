// Bitmaps loaded from BMP or PNG files or built in memory, with exact pixel reads.
#pragma once
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/gdi/color.h"

namespace plat {

// A picture file that is missing, truncated or neither a BMP nor a PNG.
class GdiError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Pixels are kept as packed 0x00RRGGBB, so an 8-bit palettised file reads back its palette entries exactly.
class Bitmap {
 public:
  Bitmap() = default;
  Bitmap(int w, int h, Rgb fill = {});

  // Host path. Throws GdiError on any failure; never reads out of bounds.
  static Bitmap LoadBmpFile(const std::string& host_path);
  // BMP file image in memory (also what the fuzz target feeds).
  static Bitmap LoadBmpMemory(const uint8_t* data, size_t size);
  // PNG (any colour type, not interlaced; alpha ignored) and its signature test.
  static Bitmap LoadPngMemory(const uint8_t* data, size_t size);
  static bool IsPng(const uint8_t* data, size_t size);
  // A BMP or a PNG by its first bytes, whatever its name: what a medium's picture is read with.
  static Bitmap LoadPictureFile(const std::string& host_path);

  int width() const { return w_; }
  int height() const { return h_; }
  bool empty() const { return w_ <= 0 || h_ <= 0; }
  // Bits per pixel of the file it was read from (1, 4, 8 palettised; 24, 32), 0 for one made in memory.
  int source_bits() const { return source_bits_; }
  int palette_size() const { return palette_size_; }  // entries the file's palette holds

  // Exact colour at (x, y); nullopt outside the bitmap ("no colour").
  std::optional<Rgb> PixelAt(int x, int y) const;
  void SetPixel(int x, int y, Rgb c);
  const uint32_t* row(int y) const { return pixels_.data() + size_t(y) * w_; }
  uint32_t* row(int y) { return pixels_.data() + size_t(y) * w_; }
  const std::vector<uint32_t>& pixels() const { return pixels_; }

  // Writes an uncompressed BMP: 8-bit with a palette when it has at most 256 colours, else 24-bit.
  std::vector<uint8_t> EncodeBmp() const;
  void SaveBmpFile(const std::string& host_path) const;  // throws GdiError

 private:
  int w_ = 0, h_ = 0;
  int source_bits_ = 0;
  int palette_size_ = 0;
  std::vector<uint32_t> pixels_;
};

}  // namespace plat
