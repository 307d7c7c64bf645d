// ozzel-icon: the desktop icon as an RGBA PNG, the program's own icon at 32 pixels, drawn afresh at other sizes.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/resources.h"
#include "tools/resgen/resgen.h"

namespace {

// The 32-pixel icon cuts three pixels off each corner; larger ones round them on this radius (icon units).
constexpr double kCornerRadius = 2.0;
constexpr int kSamples = 4;  // per pixel side

bool InsideRoundedSquare(double u, double v) {
  auto d = [](double t) { return t < kCornerRadius ? kCornerRadius - t : t > 32 - kCornerRadius ? t - (32 - kCornerRadius) : 0.0; };
  const double du = d(u), dv = d(v);
  return du * du + dv * dv <= kCornerRadius * kCornerRadius;
}

// The program's window icon, its mask as the alpha channel: the very pixels the program shows.
bool OwnIcon(std::vector<uint8_t>& rgba) {
  const auto icon = ozzel::res::Icon();
  if (!icon || icon->w != 32 || icon->h != 32) return false;
  for (size_t i = 0; i < icon->argb.size(); ++i) {
    const uint32_t p = icon->argb[i];
    rgba[i * 4 + 0] = uint8_t(p >> 16);
    rgba[i * 4 + 1] = uint8_t(p >> 8);
    rgba[i * 4 + 2] = uint8_t(p);
    rgba[i * 4 + 3] = uint8_t(p >> 24);
  }
  return true;
}

// Supersampled: each pixel's colour is the mean of its samples inside the rounded square, its alpha their share.
void Drawn(int size, std::vector<uint8_t>& rgba) {
  const double unit = 32.0 / size;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      int r = 0, g = 0, b = 0, n = 0;
      for (int j = 0; j < kSamples; ++j)
        for (int i = 0; i < kSamples; ++i) {
          const double u = (x + (i + 0.5) / kSamples) * unit, v = (y + (j + 0.5) / kSamples) * unit;
          if (!InsideRoundedSquare(u, v)) continue;
          const plat::Rgb c = ozzel::resgen::IconShade(u, v);
          r += c.r, g += c.g, b += c.b, ++n;
        }
      uint8_t* px = &rgba[(size_t(y) * size + x) * 4];
      if (n > 0) px[0] = uint8_t((r + n / 2) / n), px[1] = uint8_t((g + n / 2) / n), px[2] = uint8_t((b + n / 2) / n);
      px[3] = uint8_t((n * 255 + kSamples * kSamples / 2) / (kSamples * kSamples));
    }
}

}  // namespace

int main(int argc, char** argv) {
  const int size = argc == 3 ? std::atoi(argv[1]) : 0;
  if (size < 16 || size > 1024) {
    std::fprintf(stderr, "usage: ozzel-icon SIZE FILE.png   (SIZE 16..1024; 32 is the program's own icon)\n");
    return 2;
  }
  std::vector<uint8_t> rgba(size_t(size) * size * 4, 0);
  if (size == 32) {
    if (!OwnIcon(rgba)) {
      std::fprintf(stderr, "ozzel-icon: the program's icon is missing from %s\n", ozzel::res::ResourceDir().c_str());
      return 1;
    }
  } else {
    Drawn(size, rgba);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(size);
  image.height = png_uint_32(size);
  image.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&image, argv[2], 0, rgba.data(), 0, nullptr)) {
    std::fprintf(stderr, "ozzel-icon: %s: %s\n", argv[2], image.message);
    return 1;
  }
  return 0;
}
