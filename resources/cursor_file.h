// A small text format for cursor pictures: size, hotspot, a palette of one-character keys, pixel rows.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/screen.h"

namespace ozzel::res {

// Layout:
//   OZZCUR 1
//   <w> <h>
//   hotspot <x> <y>
//   colors <n>
//   <key> <AARRGGBB>      (n lines; key is one printable character other than space)
//   <h rows of w keys>
// Lines may end with "\r\n". Returns nullopt for anything malformed; never reads out of bounds.
std::optional<plat::CursorImage> ParseCursorText(std::string_view text);

// Writes the format above; keys are assigned in order of first appearance. Fails (empty string) when the
// picture has more colours than keys or its size is out of range.
std::string FormatCursorText(const plat::CursorImage& img);

constexpr int kMaxCursorSide = 256;

}  // namespace ozzel::res
