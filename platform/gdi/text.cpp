// Text drawing with SDL2_ttf (placeholder until fonts are wired).
#include "platform/gdi/canvas.h"

namespace plat {

void Canvas::Text(const std::string& utf8, const Rect& r, const FontSpec& font, TextAlign align) {}

int Canvas::TextWidth(const std::string& utf8, const FontSpec& font) { return 0; }

}  // namespace plat
