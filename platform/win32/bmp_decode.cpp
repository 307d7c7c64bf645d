// BMP decoding through SetDIBits into a 32-bit DIB section (palettes, RLE4/RLE8, bit fields alike).
#include "platform/win32/bmp_decode.h"

#include <windows.h>

#include <cstring>

namespace plat::win32 {

bool DecodeBmp(const uint8_t* file, size_t size, int w, int h, std::vector<uint32_t>& out, std::string* why) {
  if (size < 14 + 12 || w <= 0 || h <= 0) {
    if (why) *why = "too short";
    return false;
  }
  uint32_t off_bits;
  std::memcpy(&off_bits, file + 10, 4);
  if (off_bits > size) {
    if (why) *why = "pixel data offset out of range";
    return false;
  }
  // The info header and palette as the file has them; copied so that they are suitably aligned.
  std::vector<uint8_t> info(file + 14, file + off_bits);
  info.resize(info.size() + 16 * 4 + 16);  // room GDI may read past a short colour table
  std::vector<uint8_t> pixels(file + off_bits, file + size);
  pixels.resize(pixels.size() + 8);  // RLE decoders may peek one pair past the end

  BITMAPINFO dst{};
  dst.bmiHeader.biSize = sizeof dst.bmiHeader;
  dst.bmiHeader.biWidth = w;
  dst.bmiHeader.biHeight = -h;
  dst.bmiHeader.biPlanes = 1;
  dst.bmiHeader.biBitCount = 32;
  dst.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP dib = CreateDIBSection(dc, &dst, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (dib) {
    std::memset(bits, 0, size_t(w) * h * 4);
    ok = SetDIBits(dc, dib, 0, UINT(h), pixels.data(), reinterpret_cast<const BITMAPINFO*>(info.data()),
                   DIB_RGB_COLORS) > 0;
    GdiFlush();
    if (ok) {
      out.resize(size_t(w) * h);
      const uint32_t* p = static_cast<const uint32_t*>(bits);
      for (size_t i = 0; i < out.size(); ++i) out[i] = p[i] & 0xFFFFFFu;
    }
    DeleteObject(dib);
  }
  DeleteDC(dc);
  if (!ok && why) *why = "GDI cannot decode it";
  return ok;
}

}  // namespace plat::win32
