// The stock controls: image, label (graphic), panel and list box (windowed).
#pragma once
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/ui/control.h"

namespace plat {

// Picture control. Draws its picture from its top-left corner, clipped to its bounds; without a
// picture it draws nothing but still takes clicks.
class Image : public Control {
 public:
  using Control::Control;
  const Bitmap& Picture() const { return picture_; }
  void SetPicture(Bitmap bmp);  // auto-size applies; repaints
  // Loads a BMP named by a DOS-style path. Traces "picture NAME PATH" or "picture-fail NAME PATH";
  // on failure the previous picture stays and GdiError is thrown.
  void LoadFromFile(const std::string& dos_path);

  bool AutoSize = false;
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool t);
  // With Transparent, pixels of this colour are not drawn. Default: the picture's bottom-left pixel.
  void SetTransparentColor(Rgb c);

  void Paint(Canvas& c) override;
  bool Opaque() const override;

 private:
  Bitmap picture_;
  bool transparent_ = false;
  bool explicit_key_ = false;
  Rgb key_{};
};

class Label : public Control {
 public:
  using Control::Control;
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& text);  // traces "caption NAME TEXT"
  FontSpec Font;
  Rgb Color = kWindowBlue;
  bool Transparent = false;
  TextAlign Alignment = TextAlign::Left;
  void Paint(Canvas& c) override;

 private:
  std::string caption_;
};

class Panel : public Control {
 public:
  using Control::Control;
  bool Windowed() const override { return true; }
  Rgb Color = kWindowBlue;
  void Paint(Canvas& c) override;
  bool Opaque() const override { return true; }
};

// A list box used only as a hidden store of lines.
class ListBox : public Control {
 public:
  using Control::Control;
  bool Windowed() const override { return true; }
  std::vector<std::string> Items;
  void Paint(Canvas& c) override;
  bool Opaque() const override { return true; }
};

}  // namespace plat
