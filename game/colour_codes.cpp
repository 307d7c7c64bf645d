// Colour code lookup, compared in the order 1 to 10.
#include "game/colour_codes.h"

namespace ozzel::game {

const std::array<plat::Rgb, 11> CodeColours = {{
    {0, 0, 0},
    {255, 255, 255},
    {255, 255, 0},
    {255, 0, 0},
    {0, 255, 255},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 0},
    {255, 255, 128},
    {255, 128, 128},
    {128, 128, 128},
}};

int AnimalCode(const std::optional<plat::Rgb>& pixel) {
  if (!pixel) return 0;
  for (int n = 1; n <= 10; ++n)
    if (*pixel == CodeColours[n]) return n;
  return 0;
}

bool IsBackground(const std::optional<plat::Rgb>& pixel) { return pixel && *pixel == plat::kBlack; }

}  // namespace ozzel::game
