// Stock controls: picture, label, panel and the hidden list box.
#include "platform/ui/controls.h"

#include "platform/fs/fs.h"
#include "platform/gdi/canvas.h"
#include "platform/trace.h"

namespace plat {

// ---- Image ----

void Image::SetPicture(Bitmap bmp) {
  picture_ = std::move(bmp);
  if (AutoSize && !picture_.empty()) SetBounds(Left(), Top(), picture_.width(), picture_.height());
  Invalidate();
}

void Image::LoadFromFile(const std::string& dos_path) {
  Bitmap bmp;
  try {
    bmp = Bitmap::LoadPictureFile(fs::HostPath(dos_path));
  } catch (const GdiError&) {
    trace::Emit("picture-fail", Name() + " " + dos_path);
    throw;
  }
  SetPicture(std::move(bmp));
  trace::Emit("picture", Name() + " " + dos_path);
}

void Image::SetTransparent(bool t) {
  if (t == transparent_) return;
  transparent_ = t;
  Invalidate();
}

void Image::SetTransparentColor(Rgb c) {
  explicit_key_ = true;
  key_ = c;
  Invalidate();
}

void Image::Paint(Canvas& c) {
  if (picture_.empty()) return;
  if (!transparent_) {
    c.Draw(picture_, 0, 0);
    return;
  }
  Rgb key = key_;
  if (!explicit_key_) key = picture_.PixelAt(0, picture_.height() - 1).value_or(Rgb{});
  c.DrawKeyed(picture_, 0, 0, key);
}

bool Image::Opaque() const {
  return !transparent_ && !picture_.empty() && picture_.width() >= Width() && picture_.height() >= Height();
}

// ---- Label ----

void Label::SetCaption(const std::string& text) {
  if (text == caption_) return;
  caption_ = text;
  Invalidate();
  if (!Loading()) trace::Emit("caption", Name() + " " + text);
}

void Label::Paint(Canvas& c) {
  Rect r = ClientRect();
  if (!Transparent) c.Fill(r, Color);
  if (!caption_.empty()) c.Text(caption_, r, Font, Alignment);
}

// ---- Panel ----

void Panel::Paint(Canvas& c) { c.Fill(ClientRect(), Color); }

// ---- ListBox ----

void ListBox::Paint(Canvas& c) {
  c.Fill(ClientRect(), kWhite);
  FontSpec f;
  f.face = "DejaVu Sans";
  f.height_px = 13;
  int y = 0;
  for (const auto& item : Items) {
    if (y >= Height()) break;
    c.Text(item, {2, y, Width() - 4, 16}, f, TextAlign::Left);
    y += 16;
  }
}

}  // namespace plat
