// TB97Ctls: TToolbarButton97, a windowless glyph button with five-state frames and pointer tracking.
#pragma once
#include <array>
#include <memory>
#include <string>

#include "platform/gdi/bitmap.h"
#include "platform/ui/control.h"

namespace plat {
class Timer;
}

namespace ozzel {

enum TButtonDisplayMode { dmBoth, dmGlyphOnly, dmTextOnly };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// Ordinal = frame number of the glyph strip.
enum TButtonState97 { bsUp, bsDisabled, bsDown, bsExclusive, bsMouseIn };
using TNumGlyphs97 = int;

// The system colours the button falls back to.
constexpr plat::Rgb kBtnFace{192, 192, 192};
constexpr plat::Rgb kBtnHighlight{255, 255, 255};
constexpr plat::Rgb kBtnShadow{128, 128, 128};

// The glyph strip of one button and the indices of its prepared frames in the shared store.
class TButtonGlyph {
 public:
  TButtonGlyph() { index_.fill(-1); }
  ~TButtonGlyph() { Invalidate(); }
  TButtonGlyph(const TButtonGlyph&) = delete;
  TButtonGlyph& operator=(const TButtonGlyph&) = delete;

  const plat::Bitmap& Glyph() const { return glyph_; }
  void SetGlyph(plat::Bitmap b);  // takes the bottom-left pixel as transparent colour
  TNumGlyphs97 NumGlyphs() const { return num_glyphs_; }
  void SetNumGlyphs(TNumGlyphs97 n) { num_glyphs_ = n; }
  plat::Rgb TransparentColor() const { return transparent_; }

  int FrameWidth() const { return num_glyphs_ > 0 ? glyph_.width() / num_glyphs_ : 0; }
  int FrameHeight() const { return glyph_.height(); }
  // Which frame of the strip a state shows.
  int FrameFor(TButtonState97 s) const;
  // Prepares (once) and draws the state's frame with its mask at (x, y) onto dst.
  void Draw(plat::Surface& dst, int x, int y, TButtonState97 s);
  // Makes sure the state's frame is prepared; false when there is nothing to draw.
  bool Prepare(TButtonState97 s);
  // Releases every prepared frame (glyph or frame count changed).
  void Invalidate();
  int PreparedIndex(TButtonState97 s) const { return index_[s]; }

 private:
  plat::Bitmap glyph_;
  TNumGlyphs97 num_glyphs_ = 1;
  plat::Rgb transparent_{};
  std::array<int, 5> index_;
  int prepared_w_ = 0, prepared_h_ = 0;  // frame size the indices refer to
};

class TToolbarButton97 : public plat::Control {
 public:
  TToolbarButton97(plat::Form& form, std::string name);
  ~TToolbarButton97() override;

  // Properties.
  const plat::Bitmap& Glyph() const { return glyph_.Glyph(); }
  void SetGlyph(plat::Bitmap b);
  TNumGlyphs97 NumGlyphs() const { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(TNumGlyphs97 n);
  TButtonDisplayMode DisplayMode() const { return display_mode_; }
  void SetDisplayMode(TButtonDisplayMode m);  // traces "display NAME glyph|text"
  bool NoBorder() const { return no_border_; }
  void SetNoBorder(bool v);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout l);
  int Margin() const { return margin_; }
  void SetMargin(int m);
  int Spacing() const { return spacing_; }
  void SetSpacing(int s);
  plat::Rgb Color() const { return color_; }
  void SetColor(plat::Rgb c);
  void SetEnabled(bool v) override;

  plat::NotifyEvent OnMouseEnter, OnMouseExit;

  // State, for the owner and tests.
  TButtonState97 State() const { return state_; }
  bool MouseInControl() const { return mouse_in_control_; }
  bool MouseIsDown() const { return mouse_is_down_; }
  // Where the current frame's top-left corner lands in the button.
  plat::Point GlyphPos() const;

  // After the layout has set the properties.
  void Loaded();

  // Process-wide shared state.
  static TToolbarButton97* HoverButton();
  static plat::Timer* HoverTimer();
  static constexpr bool ButtonsStayDown = true;
  static int PreparedImageCount();  // prepared frames held by the shared stores

  // Control.
  void Paint(plat::Canvas& c) override;
  bool Opaque() const override { return true; }
  void MouseDown(plat::MouseButton b, plat::ShiftState s, int x, int y) override;
  void MouseUp(plat::MouseButton b, plat::ShiftState s, int x, int y) override;
  void MouseMove(plat::ShiftState s, int x, int y) override;
  void Click() override;
  void CaptureLost() override;

 private:
  void MouseEntered();
  void MouseLeft();
  void Redraw();
  bool PointerOnMe() const;
  void BecomeHover();
  static void HoverTick();
  static void CheckHoverLeft();

  TButtonGlyph glyph_;
  TButtonDisplayMode display_mode_ = dmBoth;
  bool no_border_ = false;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  plat::Rgb color_ = kBtnFace;

  TButtonState97 state_ = bsUp;
  bool mouse_in_control_ = false;
  bool mouse_is_down_ = false;
  bool in_click_ = false;
  bool destroying_ = false;
  int move_hook_ = 0, deactivate_hook_ = 0;
};

}  // namespace ozzel
