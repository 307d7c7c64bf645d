// The hit maps' colour code table: an exact colour names an animal; anything else names none.
#pragma once
#include <array>
#include <optional>

#include "platform/gdi/color.h"

namespace ozzel::game {

// Code n's colour at index n (1..10); index 0 is black, the background.
extern const std::array<plat::Rgb, 11> CodeColours;

// 1..10 for an exact code colour, 0 for black, any other colour or a failed read (nullopt).
int AnimalCode(const std::optional<plat::Rgb>& pixel);
// True only for an exactly black pixel; a failed read is not black.
bool IsBackground(const std::optional<plat::Rgb>& pixel);

}  // namespace ozzel::game
