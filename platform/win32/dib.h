// The one picture format both the window and the text engine draw into: a top-down 32-bit DIB section.
#pragma once
#include <windows.h>

namespace plat::win32 {

// w × h pixels, 0x00RRGGBB as our surfaces keep them; *bits points at the first (top) row.
inline HBITMAP MakeDib(HDC dc, int w, int h, void** bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  return CreateDIBSection(dc, &bi, DIB_RGB_COLORS, bits, nullptr, 0);
}

}  // namespace plat::win32
