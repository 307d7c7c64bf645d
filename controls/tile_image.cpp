// TTileImage: paints its picture at the top-left corner, or tiles it from there over the whole control.
#include "controls/tile_image.h"

namespace ozzel {

using namespace plat;

TTileImage::TTileImage(Form& form, std::string name) : Control(form, std::move(name)) {
  SetBounds(Left(), Top(), 105, 105);
}

void TTileImage::SetPicture(Bitmap b) {
  picture_ = std::move(b);
  PictureChanged();
}

void TTileImage::SetTileImage(bool v) {
  if (v == tile_) return;
  tile_ = v;
  ++repaints_;
  Invalidate();
}

void TTileImage::PictureChanged() {
  // Drawing the picture must not ask for another repaint.
  if (drawing_) return;
  ++repaints_;
  Invalidate();
}

void TTileImage::Paint(Canvas& c) {
  struct Guard {
    bool& flag;
    bool saved;
    ~Guard() { flag = saved; }
  } guard{drawing_, drawing_};
  drawing_ = true;
  // A zero-sized picture draws nothing: tiling it would never advance.
  if (picture_.empty()) return;
  if (tile_)
    c.Tile(picture_, ClientRect());
  else
    c.Draw(picture_, 0, 0);
}

bool TTileImage::Opaque() const {
  if (picture_.empty()) return false;
  return tile_ || (picture_.width() >= Width() && picture_.height() >= Height());
}

}  // namespace ozzel
