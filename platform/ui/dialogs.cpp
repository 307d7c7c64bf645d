// Message boxes and the input box, drawn into the screen and run modally by the application.
#include "platform/ui/dialogs.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/trace.h"
#include "platform/ui/application.h"

namespace plat {

namespace {

BoxWords& TheBoxWords() {
  static BoxWords words;
  return words;
}

constexpr Rgb kFace{212, 208, 200};
constexpr Rgb kShadow{128, 128, 128};
constexpr Rgb kDarkShadow{64, 64, 64};
constexpr Rgb kTitle{0, 0, 128};
constexpr Rgb kRed{220, 30, 30};
constexpr int kTitleH = 24;
constexpr int kMargin = 14;
constexpr int kLineH = 20;
constexpr int kButtonW = 84;
constexpr int kButtonH = 26;
constexpr int kIcon = 32;

FontSpec DialogFont(bool bold = false, Rgb color = kBlack) {
  FontSpec f;
  f.face = "DejaVu Sans";
  f.height_px = 15;
  f.bold = bold;
  f.color = color;
  return f;
}

size_t Utf8CharLen(const std::string& s, size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
  return std::min(n, s.size() - i);
}

// A box shows a few screens of text at most, whatever it is given (a settings value may be megabytes
// long): the layout works on this much of its start, the edit field on this much of its end.
constexpr size_t kMaxShownBytes = 4096;
constexpr size_t kMaxEditTailBytes = 512;  // ≥ 512 glyphs of ≥ 4 px: wider than any field

// The first `max` bytes of s, cut at a character boundary, with "…" when something was cut.
std::string ShownStart(const std::string& s, size_t max) {
  if (s.size() <= max) return s;
  size_t end = max;
  while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
  return s.substr(0, end) + "\u2026";
}

// The last `max` bytes of s, cut at a character boundary.
std::string ShownEnd(const std::string& s, size_t max) {
  if (s.size() <= max) return s;
  size_t start = s.size() - max;
  while (start < s.size() && (static_cast<unsigned char>(s[start]) & 0xC0) == 0x80) ++start;
  return s.substr(start);
}

void PopLastChar(std::string& s) {
  if (s.empty()) return;
  size_t i = s.size() - 1;
  while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) --i;
  s.erase(i);
}

// Greedy word wrap; a word wider than the line is broken between characters.
std::vector<std::string> Wrap(const std::string& text, int max_w, const FontSpec& f) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    size_t nl = text.find('\n', start);
    std::string para = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    if (!para.empty() && para.back() == '\r') para.pop_back();
    std::string line;
    size_t i = 0;
    while (i <= para.size()) {
      size_t sp = para.find(' ', i);
      std::string word = para.substr(i, sp == std::string::npos ? std::string::npos : sp - i);
      std::string candidate = line.empty() ? word : line + " " + word;
      if (Canvas::TextWidth(candidate, f) <= max_w) {
        line = candidate;
      } else {
        if (!line.empty()) out.push_back(line);
        line.clear();
        for (size_t k = 0; k < word.size();) {
          size_t n = Utf8CharLen(word, k);
          std::string next = line + word.substr(k, n);
          if (!line.empty() && Canvas::TextWidth(next, f) > max_w) {
            out.push_back(line);
            line = word.substr(k, n);
          } else {
            line = next;
          }
          k += n;
        }
      }
      if (sp == std::string::npos) break;
      i = sp + 1;
    }
    out.push_back(line);
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  return out;
}

void Frame(Canvas& c, const Rect& r, Rgb light, Rgb dark) {
  c.Fill({r.left, r.top, r.w, 1}, light);
  c.Fill({r.left, r.top, 1, r.h}, light);
  c.Fill({r.left, r.bottom() - 1, r.w, 1}, dark);
  c.Fill({r.right() - 1, r.top, 1, r.h}, dark);
}

// A red disc with a white diagonal cross.
void ErrorIcon(Canvas& c, int x0, int y0) {
  const int r = kIcon / 2;
  for (int y = 0; y < kIcon; ++y) {
    double dy = y - r + 0.5;
    int half = 0;
    while (half < r && (half + 0.5) * (half + 0.5) + dy * dy <= double(r * r)) ++half;
    if (half > 0) c.Fill({x0 + r - half, y0 + y, 2 * half, 1}, kRed);
  }
  for (int i = 9; i < kIcon - 9; ++i) {
    c.Fill({x0 + i - 1, y0 + i, 3, 1}, kWhite);
    c.Fill({x0 + kIcon - 1 - i - 1, y0 + i, 3, 1}, kWhite);
  }
}

class Box : public Modal {
 public:
  Box(std::string caption, std::string text, bool error, bool input, std::string proposed)
      : caption_(std::move(caption)), error_(error), input_(input), edit_(std::move(proposed)) {
    Application& app = App();
    int sw = app.screen().Width(), sh = app.screen().Height();
    FontSpec f = DialogFont();
    int icon_w = error_ ? kIcon + kMargin : 0;
    int max_text = std::max(120, std::min(460, sw - 2 * kMargin - 20 - icon_w));
    lines_ = Wrap(ShownStart(text, kMaxShownBytes), max_text, f);
    // As many lines as the screen holds; the last one shown says that more was cut.
    const int chrome = kTitleH + 3 * kMargin + kButtonH + (input_ ? 8 + kButtonH : 0);
    const size_t max_lines = size_t(std::max(1, (sh - chrome) / kLineH));
    if (lines_.size() > max_lines) {
      lines_.resize(max_lines);
      std::string& last = lines_.back();
      while (!last.empty() && Canvas::TextWidth(last + "\u2026", f) > max_text) PopLastChar(last);
      last += "\u2026";
    }
    int text_w = 0;
    for (auto& l : lines_) text_w = std::max(text_w, Canvas::TextWidth(l, f));
    int buttons_w = input_ ? 2 * kButtonW + 10 : kButtonW;
    int w = std::max({text_w + icon_w, buttons_w, Canvas::TextWidth(caption_, DialogFont(true)) + 20,
                      input_ ? 300 : 200}) + 2 * kMargin;
    int text_h = std::max(int(lines_.size()) * kLineH, error_ ? kIcon : 0);
    int h = kTitleH + kMargin + text_h + (input_ ? 8 + kButtonH : 0) + kMargin + kButtonH + kMargin;
    w = std::min(w, std::max(160, sw));
    rect_ = {(sw - w) / 2, (sh - h) / 2, w, h};
    text_top_ = kTitleH + kMargin;
    text_left_ = kMargin + icon_w;
    if (input_) edit_rect_ = {kMargin, text_top_ + text_h + 8, w - 2 * kMargin, kButtonH};
    int by = h - kMargin - kButtonH;
    if (input_) {
      ok_rect_ = {w / 2 - kButtonW - 5, by, kButtonW, kButtonH};
      cancel_rect_ = {w / 2 + 5, by, kButtonW, kButtonH};
    } else {
      ok_rect_ = {(w - kButtonW) / 2, by, kButtonW, kButtonH};
    }
    proposed_ = edit_;
  }

  Rect ScreenRect() const override { return rect_; }
  bool Done() const override { return done_; }
  std::vector<Button> Buttons() const override {
    std::vector<Button> out{{"box ok", ok_rect_.offset(rect_.left, rect_.top)}};
    if (input_) out.push_back({"box cancel", cancel_rect_.offset(rect_.left, rect_.top)});
    return out;
  }
  bool Confirmed() const { return confirmed_; }
  const std::string& Edit() const { return edit_; }

  void Paint(Canvas& c) override {
    int w = rect_.w, h = rect_.h;
    c.Fill({0, 0, w, h}, kFace);
    Frame(c, {0, 0, w, h}, kFace, kDarkShadow);
    Frame(c, {1, 1, w - 2, h - 2}, kWhite, kShadow);
    c.Fill({3, 3, w - 6, kTitleH - 4}, kTitle);
    c.Text(caption_, {8, 3, w - 16, kTitleH - 4}, DialogFont(true, kWhite), TextAlign::Left);
    if (error_) ErrorIcon(c, kMargin, text_top_);
    for (size_t i = 0; i < lines_.size(); ++i)
      c.Text(lines_[i], {text_left_, text_top_ + int(i) * kLineH, w - text_left_ - kMargin, kLineH}, DialogFont(),
             TextAlign::Left);
    if (input_) PaintEdit(c);
    PaintButton(c, ok_rect_, TheBoxWords().ok, pressed_ == 1 && inside_);
    if (input_) PaintButton(c, cancel_rect_, TheBoxWords().cancel, pressed_ == 2 && inside_);
  }

  void HandleInput(const InputEvent& e) override {
    using K = InputEvent::Kind;
    Point p{e.pos.x - rect_.left, e.pos.y - rect_.top};
    switch (e.kind) {
      case K::MouseDown:
        if (e.button != 0) break;
        pressed_ = ButtonAt(p);
        inside_ = pressed_ != 0;
        if (input_ && edit_rect_.contains(p)) selected_ = false;
        Changed();
        break;
      case K::MouseMove:
        if (pressed_) {
          bool in = ButtonAt(p) == pressed_;
          if (in != inside_) {
            inside_ = in;
            Changed();
          }
        }
        break;
      case K::MouseUp:
        if (e.button != 0 || !pressed_) break;
        if (ButtonAt(p) == pressed_) Finish(pressed_ == 1);
        pressed_ = 0;
        Changed();
        break;
      case K::KeyChar:
        if (e.ch == 13) Finish(true);
        else if (e.ch == 27) Finish(!input_);
        else if (e.ch == 8 && input_) Backspace();
        break;
      case K::Text:
        if (input_) Type(e.text);
        break;
      case K::DialogOk: Finish(true); break;
      case K::DialogCancel: Finish(!input_); break;
      default: break;
    }
  }

 private:
  int ButtonAt(Point p) const {
    if (ok_rect_.contains(p)) return 1;
    if (input_ && cancel_rect_.contains(p)) return 2;
    return 0;
  }

  void Changed() { App().InvalidateScreen(rect_); }

  void Finish(bool ok) {
    done_ = true;
    confirmed_ = ok;
    Changed();
  }

  void Type(const std::string& text) {
    // Control characters never go into the field.
    std::string clean;
    for (char ch : text)
      if (static_cast<unsigned char>(ch) >= 0x20 && ch != 0x7f) clean += ch;
    if (clean.empty()) return;
    if (selected_) edit_.clear();
    selected_ = false;
    edit_ += clean;
    Changed();
  }

  void Backspace() {
    if (selected_) edit_.clear();
    else PopLastChar(edit_);
    selected_ = false;
    Changed();
  }

  void PaintEdit(Canvas& c) {
    Rect r = edit_rect_;
    c.Fill(r, kWhite);
    Frame(c, r, kShadow, kFace);
    Frame(c, {r.left + 1, r.top + 1, r.w - 2, r.h - 2}, kDarkShadow, kFace);
    Point o = c.origin();
    Rect clip = c.clip();
    c.Enter({r.left + 3, r.top + 2, r.w - 6, r.h - 4});
    int inner_w = r.w - 6, inner_h = r.h - 4;
    FontSpec f = DialogFont(false, selected_ ? kWhite : kBlack);
    const std::string shown = ShownEnd(edit_, kMaxEditTailBytes);
    int tw = Canvas::TextWidth(shown, f);
    int x = std::min(1, inner_w - 2 - tw);  // keep the end of a long text in view
    if (selected_ && !edit_.empty()) c.Fill({x, 2, tw, inner_h - 4}, kTitle);
    c.Text(shown, {x, 0, tw + 2, inner_h}, f, TextAlign::Left);
    if (!selected_) c.Fill({x + tw + 1, 3, 1, inner_h - 6}, kBlack);
    c.SetOriginClip(o, clip);
  }

  void PaintButton(Canvas& c, const Rect& r, const std::string& label, bool down) {
    c.Fill(r, kFace);
    if (down) {
      Frame(c, r, kDarkShadow, kDarkShadow);
      Frame(c, {r.left + 1, r.top + 1, r.w - 2, r.h - 2}, kShadow, kFace);
    } else {
      Frame(c, r, kWhite, kDarkShadow);
      Frame(c, {r.left + 1, r.top + 1, r.w - 2, r.h - 2}, kFace, kShadow);
    }
    int d = down ? 1 : 0;
    c.Text(label, {r.left + d, r.top + d, r.w, r.h}, DialogFont(), TextAlign::Center);
  }

  std::string caption_;
  bool error_, input_;
  std::string edit_, proposed_;
  std::vector<std::string> lines_;
  Rect rect_, edit_rect_, ok_rect_, cancel_rect_;
  int text_top_ = 0, text_left_ = 0;
  int pressed_ = 0;  // 1 OK, 2 Cancel
  bool inside_ = false;
  bool selected_ = true;
  bool done_ = false, confirmed_ = false;
};

}  // namespace

void SetBoxWords(const BoxWords& words) { TheBoxWords() = words; }

void MessageBox(const std::string& text, BoxKind kind) {
  Application& app = App();
  bool error = kind != BoxKind::Plain;
  std::string caption = kind == BoxKind::Error ? TheBoxWords().error : app.Title();
  trace::Emit("msgbox", std::string(error ? "error " : "plain ") + caption + "|" + text);
  Box box(caption, text, error, false, "");
  app.RunModal(box);
}

std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& proposed) {
  Application& app = App();
  trace::Emit("input", caption + "|" + prompt + "|" + proposed);
  Box box(caption, prompt, false, true, proposed);
  app.RunModal(box);
  return box.Confirmed() ? box.Edit() : proposed;
}

}  // namespace plat
