// TToolbarButton97: frame preparation into shared stores, off-screen painting, hover tracking and clicks.
#include "controls/tb97ctls.h"

#include <map>
#include <optional>
#include <vector>

#include "platform/trace.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"
#include "platform/ui/timer.h"

namespace ozzel {

using namespace plat;

namespace {

// A prepared frame: its pixels and which of them are drawn.
struct Masked {
  Bitmap image;
  std::vector<uint8_t> opaque;
};

// Buttons whose frames have the same size share one store; disabled frames (one pixel larger) have
// their own stores.
struct Store {
  std::vector<std::optional<Masked>> slots;
  int Add(Masked m) {
    for (size_t i = 0; i < slots.size(); ++i)
      if (!slots[i]) {
        slots[i] = std::move(m);
        return int(i);
      }
    slots.push_back(std::move(m));
    return int(slots.size() - 1);
  }
  void Release(int i) {
    if (i >= 0 && size_t(i) < slots.size()) slots[size_t(i)].reset();
  }
};

using StoreKey = std::pair<int, int>;
std::map<StoreKey, Store>& Stores(bool disabled) {
  static std::map<StoreKey, Store> normal, grey;
  return disabled ? grey : normal;
}

TToolbarButton97* g_hover = nullptr;
Timer* g_hover_timer = nullptr;
int g_buttons = 0;

bool IsDisabledFrame(TButtonState97 s, int num_glyphs) { return s == bsDisabled && num_glyphs >= 2; }

}  // namespace

// ---- TButtonGlyph ----

void TButtonGlyph::SetGlyph(Bitmap b) {
  Invalidate();
  glyph_ = std::move(b);
  transparent_ = glyph_.PixelAt(0, glyph_.height() - 1).value_or(Rgb{});
}

int TButtonGlyph::FrameFor(TButtonState97 s) const {
  if (s == bsDisabled) return num_glyphs_ >= 2 ? 1 : 0;
  return int(s) < num_glyphs_ ? int(s) : 0;
}

void TButtonGlyph::Invalidate() {
  for (int s = 0; s < 5; ++s) {
    if (index_[s] < 0) continue;
    bool grey = IsDisabledFrame(TButtonState97(s), num_glyphs_);
    auto& stores = Stores(grey);
    StoreKey key = grey ? StoreKey{prepared_w_ + 1, prepared_h_ + 1} : StoreKey{prepared_w_, prepared_h_};
    auto it = stores.find(key);
    if (it != stores.end()) it->second.Release(index_[s]);
    index_[s] = -1;
  }
}

bool TButtonGlyph::Prepare(TButtonState97 s) {
  int fw = FrameWidth(), fh = FrameHeight();
  if (glyph_.empty() || fw <= 0 || fh <= 0) return false;
  if (index_[s] >= 0) return true;
  if (fw != prepared_w_ || fh != prepared_h_) {
    Invalidate();
    prepared_w_ = fw;
    prepared_h_ = fh;
  }
  int frame = FrameFor(s);
  bool grey = IsDisabledFrame(s, num_glyphs_);
  int w = grey ? fw + 1 : fw, h = grey ? fh + 1 : fh;
  Masked m{Bitmap(w, h), std::vector<uint8_t>(size_t(w) * h, 0)};
  const uint32_t key = glyph_.row(fh - 1)[frame * fw] & 0xFFFFFFu;  // the frame's bottom-left pixel
  for (int y = 0; y < fh; ++y) {
    const uint32_t* src = glyph_.row(y) + frame * fw;
    for (int x = 0; x < fw; ++x) {
      uint32_t p = src[x] & 0xFFFFFFu;
      if (p == key) continue;
      if (grey) {
        if (p == 0xFFFFFFu) p = kBtnHighlight.packed();
        else if (p == 0x808080u) p = kBtnShadow.packed();
      }
      m.image.row(y)[x] = p;
      m.opaque[size_t(y) * w + x] = 1;
    }
  }
  StoreKey k{w, h};
  index_[s] = Stores(grey)[k].Add(std::move(m));
  return true;
}

void TButtonGlyph::Draw(Surface& dst, int x, int y, TButtonState97 s) {
  if (!Prepare(s)) return;
  bool grey = IsDisabledFrame(s, num_glyphs_);
  StoreKey k = grey ? StoreKey{prepared_w_ + 1, prepared_h_ + 1} : StoreKey{prepared_w_, prepared_h_};
  const Masked& m = *Stores(grey)[k].slots[size_t(index_[s])];
  int w = m.image.width(), h = m.image.height();
  for (int sy = 0; sy < h; ++sy) {
    int dy = y + sy;
    if (dy < 0 || dy >= dst.height()) continue;
    const uint32_t* in = m.image.row(sy);
    const uint8_t* mask = m.opaque.data() + size_t(sy) * w;
    uint32_t* out = dst.row(dy);
    for (int sx = 0; sx < w; ++sx) {
      int dx = x + sx;
      if (dx >= 0 && dx < dst.width() && mask[sx]) out[dx] = in[sx];
    }
  }
}

// ---- TToolbarButton97 ----

TToolbarButton97::TToolbarButton97(Form& form, std::string name) : Control(form, std::move(name)) {
  SetBounds(0, 0, 22, 23);
  Application& app = form.app();
  if (!g_hover_timer) {
    // Not a form's timer: it belongs to the button class and is left out of the trace (no name).
    g_hover_timer = new Timer(app, "", 125, false, [](Timer&) { HoverTick(); });
    // The pointer moves only with input, which wakes the loop anyway.
    g_hover_timer->Idle = [](const Timer&) { return !g_hover || g_hover->PointerOnMe(); };
  }
  ++g_buttons;
  move_hook_ = app.AddMouseMoveHook([](Point) { CheckHoverLeft(); });
  deactivate_hook_ = app.AddDeactivateHook([this] {
    if (g_hover == this) MouseLeft();
  });
}

TToolbarButton97::~TToolbarButton97() {
  destroying_ = true;
  Application& app = form().app();
  if (HasApp() && &App() == &app) {
    app.RemoveHook(move_hook_);
    app.RemoveHook(deactivate_hook_);
    if (app.Capture() == this) app.ReleaseCapture();
  }
  if (g_hover == this) {
    if (g_hover_timer) g_hover_timer->SetEnabled(false);
    g_hover = nullptr;
  }
  glyph_.Invalidate();
  if (--g_buttons == 0) {
    delete g_hover_timer;
    g_hover_timer = nullptr;
    Stores(false).clear();
    Stores(true).clear();
  }
}

TToolbarButton97* TToolbarButton97::HoverButton() { return g_hover; }
Timer* TToolbarButton97::HoverTimer() { return g_hover_timer; }

int TToolbarButton97::PreparedImageCount() {
  int n = 0;
  for (bool grey : {false, true})
    for (auto& [k, st] : Stores(grey))
      for (auto& s : st.slots) n += s.has_value();
  return n;
}

void TToolbarButton97::SetGlyph(Bitmap b) {
  glyph_.SetGlyph(std::move(b));
  const Bitmap& g = glyph_.Glyph();
  int n = 1;
  if (g.height() > 0 && g.width() > 0 && g.width() % g.height() == 0 && g.width() / g.height() <= 5)
    n = g.width() / g.height();
  glyph_.SetNumGlyphs(n);
  Redraw();
}

void TToolbarButton97::SetNumGlyphs(TNumGlyphs97 n) {
  n = n < 1 ? 1 : n > 5 ? 5 : n;
  if (n == glyph_.NumGlyphs()) return;
  glyph_.Invalidate();
  glyph_.SetNumGlyphs(n);
  Redraw();
}

void TToolbarButton97::SetDisplayMode(TButtonDisplayMode m) {
  if (m == display_mode_) return;
  display_mode_ = m;
  if (!Loading() && (m == dmGlyphOnly || m == dmTextOnly))
    trace::Emit("display", Name() + (m == dmGlyphOnly ? " glyph" : " text"));
  Redraw();
}

void TToolbarButton97::SetNoBorder(bool v) {
  if (v == no_border_) return;
  no_border_ = v;
  Redraw();
}

void TToolbarButton97::SetLayout(TButtonLayout l) {
  if (l == layout_) return;
  layout_ = l;
  Redraw();
}

void TToolbarButton97::SetMargin(int m) {
  if (m == margin_) return;
  margin_ = m;
  Redraw();
}

void TToolbarButton97::SetSpacing(int s) {
  if (s == spacing_) return;
  spacing_ = s;
  Redraw();
}

void TToolbarButton97::SetColor(Rgb c) {
  if (c == color_) return;
  color_ = c;
  Redraw();
}

void TToolbarButton97::SetEnabled(bool v) {
  if (v == Enabled()) return;
  Control::SetEnabled(v);
  if (!v) {
    state_ = bsDisabled;
    mouse_in_control_ = false;
    mouse_is_down_ = false;
    pressed_left_ = false;
    if (g_hover == this) {
      g_hover_timer->SetEnabled(false);
      g_hover = nullptr;
    }
    if (form().app().Capture() == this) form().app().ReleaseCapture();
  } else if (state_ == bsDisabled) {
    state_ = bsUp;
  }
  Redraw();
}

void TToolbarButton97::Loaded() { glyph_.Prepare(Enabled() ? bsUp : bsDisabled); }

void TToolbarButton97::Redraw() { Invalidate(); }

Point TToolbarButton97::GlyphPos() const {
  int inset = no_border_ ? 0 : 1;  // a flat button's border: one pixel
  int w = Width() - 2 * inset, h = Height() - 2 * inset;
  // Without a caption every layout centres the glyph; a margin puts it that far from its side.
  int x = inset + (w - glyph_.FrameWidth() + 1) / 2;
  int y = inset + (h - glyph_.FrameHeight() + 1) / 2;
  if (margin_ >= 0) {
    switch (layout_) {
      case blGlyphLeft: x = inset + margin_; break;
      case blGlyphRight: x = inset + w - margin_ - glyph_.FrameWidth(); break;
      case blGlyphTop: y = inset + margin_; break;
      case blGlyphBottom: y = inset + h - margin_ - glyph_.FrameHeight(); break;
    }
  }
  if (state_ == bsDown || state_ == bsExclusive) {
    ++x;
    ++y;
  }
  return {x, y};
}

void TToolbarButton97::Paint(Canvas& c) {
  // Composed off-screen and copied in one piece, so the parent never shows through.
  Surface off(Width(), Height(), color_);
  if (display_mode_ != dmTextOnly) {
    Point p = GlyphPos();
    glyph_.Draw(off, p.x, p.y, state_);
  }
  c.DrawSurface(off, 0, 0);
}

bool TToolbarButton97::PointerOnMe() const {
  Application& app = form().app();
  return app.ControlAtScreen(app.CursorPos()) == this;
}

void TToolbarButton97::BecomeHover() {
  if (g_hover == this) return;
  if (g_hover) g_hover->MouseLeft();
  g_hover = this;
  g_hover_timer->SetEnabled(true);
}

void TToolbarButton97::CheckHoverLeft() {
  if (!g_hover) return;
  if (!g_hover->PointerOnMe()) g_hover->MouseLeft();
}

void TToolbarButton97::HoverTick() { CheckHoverLeft(); }

void TToolbarButton97::MouseEntered() {
  if (!Enabled() || mouse_in_control_) return;
  mouse_in_control_ = true;
  if (state_ == bsUp) state_ = bsMouseIn;
  Redraw();
  if (OnMouseEnter) OnMouseEnter(*this);
}

void TToolbarButton97::MouseLeft() {
  if (!Enabled() || !mouse_in_control_ || mouse_is_down_) return;
  mouse_in_control_ = false;
  if (g_hover == this) {
    g_hover_timer->SetEnabled(false);
    g_hover = nullptr;
  }
  if (state_ == bsMouseIn || (state_ == bsDown && !in_click_)) state_ = bsUp;
  Redraw();
  if (OnMouseExit) OnMouseExit(*this);
}

void TToolbarButton97::MouseMove(ShiftState s, int x, int y) {
  Control::MouseMove(s, x, y);
  Application& app = form().app();
  if (g_hover != this && app.ControlAtScreen(ClientToScreen({x, y})) == this) {
    if (g_hover) g_hover->MouseLeft();
    if (app.Active()) {
      BecomeHover();
      MouseEntered();
    }
  }
  if (mouse_is_down_) {
    bool inside = x >= 0 && x < Width() && y >= 0 && y < Height();
    TButtonState97 ns = inside ? bsDown : bsUp;
    if (ns != state_) {
      state_ = ns;
      Redraw();
    }
  }
}

void TToolbarButton97::MouseDown(MouseButton b, ShiftState s, int x, int y) {
  if (b == MouseButton::Left && Enabled()) {
    // Only one button holds the pointer, even when the press came without a move onto this one.
    if (g_hover && g_hover != this) g_hover->MouseLeft();
    MouseEntered();
    state_ = bsDown;
    Redraw();
    mouse_is_down_ = true;
  }
  Control::MouseDown(b, s, x, y);
}

void TToolbarButton97::MouseUp(MouseButton b, ShiftState s, int x, int y) {
  if (b == MouseButton::Right && Enabled()) {
    mouse_is_down_ = false;
    MouseLeft();
  }
  // The base class would click on its own; the click sequence below decides here.
  if (b == MouseButton::Left) pressed_left_ = false;
  if (OnMouseUp) OnMouseUp(*this, b, s, x, y);
  if (b == MouseButton::Left && mouse_is_down_) {
    mouse_is_down_ = false;
    if (x >= 0 && x < Width() && y >= 0 && y < Height())
      Click();
    else
      MouseLeft();
  }
}

void TToolbarButton97::Click() {
  in_click_ = true;
  if (ButtonsStayDown && (state_ == bsUp || state_ == bsMouseIn)) {
    state_ = bsDown;
    Redraw();
  }
  auto finish = [this] {
    in_click_ = false;
    if (state_ == bsDown) state_ = bsUp;
    Redraw();
    if (destroying_) return;
    if (PointerOnMe()) {
      mouse_in_control_ = false;
      // Hovering again, so that leaving is noticed even if the next move lands elsewhere.
      if (form().app().Active()) BecomeHover();
      MouseEntered();
    } else {
      mouse_in_control_ = true;
      MouseLeft();
    }
  };
  try {
    MouseLeft();
    Control::Click();
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TToolbarButton97::CaptureLost() {
  Control::CaptureLost();
  if (mouse_is_down_) {
    mouse_is_down_ = false;
    MouseLeft();
  }
}

}  // namespace ozzel
