// TileImage: TTileImage, a windowless picture drawn once at its corner or repeated like wallpaper.
#pragma once
#include <string>

#include "platform/gdi/bitmap.h"
#include "platform/ui/control.h"

namespace ozzel {

class TTileImage : public plat::Control {
 public:
  TTileImage(plat::Form& form, std::string name);

  const plat::Bitmap& Picture() const { return picture_; }
  void SetPicture(plat::Bitmap b);  // copies the picture and repaints
  bool TileImage() const { return tile_; }
  void SetTileImage(bool v);        // repaints only when the value changes
  bool Drawing() const { return drawing_; }
  // Repaint requests made so far (a picture change while painting makes none).
  int RepaintRequests() const { return repaints_; }

  void Paint(plat::Canvas& c) override;
  bool Opaque() const override;

 private:
  void PictureChanged();

  plat::Bitmap picture_;
  bool tile_ = false;
  bool drawing_ = false;
  int repaints_ = 0;
};

}  // namespace ozzel
