// The program's own pictures and cursors: glyph strips, counter, corners, texture, icon, hit maps.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/ui/screen.h"

namespace ozzel::res {

// Where the files are: $OZZEL_RESOURCES, else <exe dir>/../share/ozzel/resources when it exists, else the
// source tree's resources/data.
std::string ResourceDir();

// A picture by name: "glyph_obraz1".."glyph_obraz4", "glyph_konec", "pocitadlo", "roh_LH", "roh_PH",
// "roh_LD", "roh_PD", "pozadi", "icon", "RGB_doma", "RGB_uzitecna", "RGB_lesni", "RGB_safari", and
// the door with its word in other languages, "glyph_konec_sk" .. "glyph_konec_es".
// Decoded once and cached. Throws plat::GdiError when missing or undecodable.
plat::Bitmap Picture(const std::string& name);

// A cursor by resource name, without regard to case ("sipka1" finds SIPKA1); nullptr when it cannot be
// found or decoded. Cached.
std::shared_ptr<const plat::CursorImage> Cursor(const std::string& name);

// The 32 × 32 window icon with its transparency (hotspot unused); nullptr when it cannot be loaded.
std::shared_ptr<const plat::CursorImage> Icon();

// Names the program carries.
const std::vector<std::string>& PictureNames();
const std::vector<std::string>& CursorNames();

// File names inside the resource directory.
std::string PictureFile(const std::string& name);       // name + ".bmp"
std::string CursorFile(const std::string& name);        // lower-case name + ".cur"
constexpr const char* kIconMaskFile = "icon_mask.bmp";  // white = opaque, black = transparent

// Forgets cached pictures and cursors (tests that point $OZZEL_RESOURCES elsewhere).
void ClearCache();

}  // namespace ozzel::res
