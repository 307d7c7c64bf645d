// The waiting screen's picture: a smiling snail on a little hill, on the window blue.
#include <array>
#include <cmath>

#include "tools/art/raster.h"
#include "tools/resgen/resgen.h"

namespace ozzel::resgen {

using namespace ozzel::art;

plat::Bitmap WaitingPicture() {
  constexpr double kPi = 3.14159265358979323846;
  Canvas c(kWaitingW, kWaitingH, plat::kWindowBlue);
  const plat::Rgb dark{60, 40, 30}, body{214, 232, 120}, body_dark{150, 170, 70};
  // The hill and a few flowers.
  c.Ellipse(150, 226, 190, 50, plat::Rgb{70, 150, 60});
  c.Ellipse(150, 230, 184, 46, plat::Rgb{110, 196, 80});
  const plat::Rgb petals[] = {{255, 255, 255}, {255, 130, 170}, {255, 220, 60}};
  const double flowers[][2] = {{40, 196}, {78, 206}, {262, 200}, {226, 212}};
  for (int i = 0; i < 4; ++i) {
    for (int k = 0; k < 5; ++k) {
      const double a = k * 2 * kPi / 5;
      c.Ellipse(flowers[i][0] + 4 * std::cos(a), flowers[i][1] + 4 * std::sin(a), 3.2, 3.2, petals[i % 3]);
    }
    c.Ellipse(flowers[i][0], flowers[i][1], 2.4, 2.4, plat::Rgb{255, 180, 40});
  }
  // The foot, the neck and the head, each over a darker edge.
  c.Ellipse(150, 172, 108, 21, body_dark);
  c.Ellipse(150, 171, 105, 18, body);
  c.Line({226, 168}, {240, 122}, 40, body_dark);
  c.Line({226, 168}, {240, 122}, 35, body);
  c.Ellipse(244, 112, 27, 25, body_dark);
  c.Ellipse(244, 112, 24.5, 22.5, body);
  // Feelers with eyes.
  for (const auto& [x0, y0, x1, y1] : {std::array<double, 4>{236, 96, 222, 54}, std::array<double, 4>{252, 96, 266, 56}}) {
    c.Line({x0, y0}, {x1, y1}, 6, body_dark);
    c.Ellipse(x1, y1, 11, 11, dark);
    c.Ellipse(x1, y1, 9.5, 9.5, plat::kWhite);
    c.Ellipse(x1 + 2, y1 + 1, 5, 5, plat::Rgb{24, 20, 24});
    c.Ellipse(x1, y1 - 2, 1.8, 1.8, plat::kWhite);
  }
  // Cheeks and a smile.
  c.Ellipse(230, 120, 6, 4, plat::Rgb{255, 150, 150}, 0.8);
  c.Ellipse(262, 118, 6, 4, plat::Rgb{255, 150, 150}, 0.8);
  for (int i = 0; i < 12; ++i) {
    const double a0 = kPi * (0.15 + 0.7 * i / 12), a1 = kPi * (0.15 + 0.7 * (i + 1) / 12);
    c.Line({246 + 12 * std::cos(a0), 112 + 9 * std::sin(a0)}, {246 + 12 * std::cos(a1), 112 + 9 * std::sin(a1)}, 3, dark);
  }
  // The shell: a ring of dark edge, orange, a spiral and a gloss.
  c.Ellipse(128, 112, 70, 68, plat::Rgb{150, 70, 30});
  c.Ellipse(128, 112, 66, 64, plat::Rgb{246, 150, 58});
  Vec last{};
  for (int i = 0; i <= 120; ++i) {
    const double t = i / 120.0, a = -kPi / 2 + t * 5.2 * kPi, r = 54 * (1 - t) + 6 * t;
    const Vec p{128 + r * std::cos(a) * 1.02, 114 + r * std::sin(a)};
    if (i) c.Line(last, p, 6, plat::Rgb{196, 96, 36});
    last = p;
  }
  c.Ellipse(100, 76, 20, 11, plat::kWhite, 0.35);
  return Palettise(c.ToBitmap(), 256, {plat::kWindowBlue});
}

}  // namespace ozzel::resgen
