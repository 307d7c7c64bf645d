// The parents' page, drawn by us over the game window in the game's colours and run modally.
#include "app/parents_page.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

#include "app/parents_texts.h"
#include "game/names.h"
#include "game/sets.h"
#include "media/answers_store.h"
#include "platform/audio/audio.h"
#include "platform/fs/fs.h"
#include "platform/gdi/canvas.h"
#include "platform/trace.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"

namespace ozzel {

namespace {

// The values the page steps through; a value set by hand in between steps to its neighbours.
constexpr std::array<uint32_t, 11> kSessionSteps = {0, 5, 10, 15, 20, 30, 45, 60, 90, 120, 180};
constexpr uint32_t kChoiceFineStep = 250, kChoiceCoarseFrom = 3000, kChoiceCoarseStep = 1000;
constexpr uint32_t kChoicePageMax = 10000;  // longer waits are for the settings file, not a big button
constexpr uint32_t kLevelStep = 10;

uint32_t StepChoiceMs(uint32_t ms, int dir) {
  if (dir > 0) {
    uint32_t step = ms >= kChoiceCoarseFrom ? kChoiceCoarseStep : kChoiceFineStep;
    return std::min(kChoicePageMax, std::max(ms, (ms / step + 1) * step));
  }
  uint32_t step = ms > kChoiceCoarseFrom ? kChoiceCoarseStep : kChoiceFineStep;
  uint32_t down = ms % step ? ms - ms % step : ms - step;
  return std::max(std::min(ms, kMinChoiceMs * 2), std::min(ms, down));
}

uint32_t StepSession(uint32_t minutes, int dir) {
  if (dir > 0) {
    for (uint32_t v : kSessionSteps)
      if (v > minutes) return v;
    return std::max(minutes, kSessionSteps.back());
  }
  for (auto it = kSessionSteps.rbegin(); it != kSessionSteps.rend(); ++it)
    if (*it < minutes) return *it;
  return 0;
}

uint32_t StepLevel(uint32_t level, int dir) {
  if (dir > 0) return std::min(kMaxVolume, (level / kLevelStep + 1) * kLevelStep);
  if (level == 0) return 0;
  return level % kLevelStep ? level - level % kLevelStep : level - kLevelStep;
}

std::string Seconds(uint32_t ms, char decimal) {
  std::string s = std::to_string(ms / 1000);
  uint32_t frac = ms % 1000;
  if (frac) {
    std::string f = std::to_string(1000 + frac).substr(1);  // three digits
    while (!f.empty() && f.back() == '0') f.pop_back();
    s += decimal + f;
  }
  return s + " s";
}

// Colours: the game's blue, the glyph buttons' yellow, and signal colours a parent reads at a glance.
constexpr plat::Rgb kBlue = plat::kWindowBlue;
constexpr plat::Rgb kDeepBlue{24, 84, 150};
constexpr plat::Rgb kYellow{255, 214, 64};
constexpr plat::Rgb kFound{46, 184, 76};
constexpr plat::Rgb kNotYet{245, 150, 30};
constexpr plat::Rgb kNotAsked{150, 180, 205};

plat::FontSpec Font(int px, plat::Rgb colour, bool bold = true) { return plat::FontSpec{"Arial", px, bold, colour}; }

// A filled rectangle with its corners cut round (radius 4).
void Rounded(plat::Canvas& c, const plat::Rect& r, plat::Rgb fill) {
  static constexpr int kCut[] = {3, 2, 1, 1};
  for (int i = 0; i < 4 && i < r.h / 2; ++i) {
    c.Fill({r.left + kCut[i], r.top + i, r.w - 2 * kCut[i], 1}, fill);
    c.Fill({r.left + kCut[i], r.bottom() - 1 - i, r.w - 2 * kCut[i], 1}, fill);
  }
  c.Fill({r.left, r.top + 4, r.w, r.h - 8}, fill);
}

// A downscaled copy that fits box × box, by averaging every source pixel that falls in a target pixel.
plat::Surface Thumbnail(const plat::Bitmap& b, int box) {
  if (b.empty()) return {};
  const double scale = std::min(1.0, std::min(double(box) / b.width(), double(box) / b.height()));
  const int w = std::max(1, int(b.width() * scale + 0.5)), h = std::max(1, int(b.height() * scale + 0.5));
  plat::Surface out(w, h);
  for (int y = 0; y < h; ++y) {
    const int y0 = y * b.height() / h, y1 = std::max(y0 + 1, (y + 1) * b.height() / h);
    for (int x = 0; x < w; ++x) {
      const int x0 = x * b.width() / w, x1 = std::max(x0 + 1, (x + 1) * b.width() / w);
      uint64_t r = 0, g = 0, bl = 0, n = 0;
      for (int sy = y0; sy < y1; ++sy)
        for (int sx = x0; sx < x1; ++sx) {
          const uint32_t p = b.row(sy)[sx];
          r += (p >> 16) & 0xff, g += (p >> 8) & 0xff, bl += p & 0xff, ++n;
        }
      out.row(y)[x] = uint32_t((r / n) << 16 | (g / n) << 8 | (bl / n));
    }
  }
  return out;
}

struct Cell {
  std::string letter;
  int animal;
  plat::Surface thumb;
};

class ParentsPage : public plat::Modal {
 public:
  ParentsPage(const std::string& language, const std::string& data_dir)
      : language_(language), t_(ParentsTextsFor(language)), working_(parents) {
    plat::Application& app = plat::App();
    const plat::Form* main = app.MainForm();
    rect_ = main ? main->Bounds() : plat::Rect{0, 0, 640, 480};
    rect_.w = 640, rect_.h = 480;
    for (int set = 1; set <= 4; ++set)
      for (int n : game::AnimalsPresent(set)) {
        Cell cell{game::SetLetters[set], n, {}};
        try {
          cell.thumb = Thumbnail(
              plat::Bitmap::LoadBmpFile(plat::fs::HostPath(data_dir + game::AnimalPicture(set, n))), kThumb);
        } catch (const plat::GdiError&) {
          // A picture the medium lacks leaves its frame empty; the frame's colour still tells.
        }
        cells_.push_back(std::move(cell));
      }
  }

  plat::Rect ScreenRect() const override { return rect_; }
  bool Done() const override { return done_; }
  bool Saved() const { return saved_; }

  void Paint(plat::Canvas& c) override {
    c.Fill({0, 0, rect_.w, rect_.h}, kBlue);
    c.Text(t_.title, {20, 10, 440, 44}, Font(28, plat::kWhite), plat::TextAlign::Left);
    Rounded(c, kDone, kYellow);
    c.Text(t_.done, kDone, Font(22, kDeepBlue), plat::TextAlign::Center);

    static const char* ParentsTexts::*const kLabels[] = {&ParentsTexts::access, &ParentsTexts::dwell,
                                                         &ParentsTexts::scan,   &ParentsTexts::kiosk,
                                                         &ParentsTexts::session, &ParentsTexts::music,
                                                         &ParentsTexts::speech};
    for (int i = 0; i < kParentsRowCount; ++i) {
      const int y = kRowTop + i * kRowH;
      c.Text(t_.*kLabels[i], {16, y, 150, kButton}, Font(17, plat::kWhite), plat::TextAlign::Left);
      const bool arrows = i == int(ParentsRow::Access);
      StepButton(c, Minus(i), arrows, false);
      Rounded(c, Value(i), plat::kWhite);
      c.Text(ParentsRowValue(working_, ParentsRow(i), language_), Value(i), Font(16, kDeepBlue),
             plat::TextAlign::Center);
      StepButton(c, Plus(i), arrows, true);
    }

    c.Text(t_.animals, {kGridLeft, 60, 640 - kGridLeft - 6, 26}, Font(13, plat::kWhite), plat::TextAlign::Left);
    for (size_t i = 0; i < cells_.size(); ++i) {
      const plat::Rect r = CellRect(int(i));
      c.Fill(r, FrameColour(answers.Of(cells_[i].letter, cells_[i].animal)));
      c.Fill({r.left + 3, r.top + 3, r.w - 6, r.h - 6}, plat::kWhite);
      const plat::Surface& th = cells_[i].thumb;
      if (th.width() > 0)
        c.DrawSurface(th, r.left + (r.w - th.width()) / 2, r.top + (r.h - th.height()) / 2);
    }

    const int ly = kRowTop + kParentsRowCount * kRowH + 4;
    const std::pair<plat::Rgb, const char*> legend[] = {
        {kFound, t_.found_first}, {kNotYet, t_.not_yet}, {kNotAsked, t_.not_asked}};
    for (int k = 0; k < 3; ++k) {
      const int x = 16 + k * 128;
      c.Fill({x, ly + 5, 16, 16}, legend[k].first);
      c.Text(legend[k].second, {x + 22, ly, 104, 26}, Font(13, plat::kWhite, false), plat::TextAlign::Left);
    }
    c.Text(t_.record_note, {16, ly + 28, 608, 24}, Font(13, plat::kWhite, false), plat::TextAlign::Left);
  }

  void HandleInput(const plat::InputEvent& e) override {
    using K = plat::InputEvent::Kind;
    switch (e.kind) {
      case K::MouseDown: {
        if (e.button != 0) break;
        const plat::Point p{e.pos.x - rect_.left, e.pos.y - rect_.top};
        if (kDone.contains(p)) {
          Finish(true);
          break;
        }
        for (int i = 0; i < kParentsRowCount; ++i) {
          if (Minus(i).contains(p)) Step(ParentsRow(i), -1);
          if (Plus(i).contains(p)) Step(ParentsRow(i), +1);
        }
        break;
      }
      case K::KeyChar:
        if (e.ch == 13) Finish(true);
        if (e.ch == 27) Finish(false);
        break;
      case K::DialogOk: Finish(true); break;
      case K::DialogCancel: Finish(false); break;
      default: break;
    }
  }

 private:
  static constexpr int kRowTop = 66, kRowH = 50, kButton = 42, kThumb = 38;
  static constexpr int kGridLeft = 400, kGridTop = 88, kCellW = 46, kCellH = 47, kColumns = 5;
  static constexpr plat::Rect kDone{476, 12, 148, 44};

  static plat::Rect Minus(int row) { return {168, kRowTop + row * kRowH, kButton, kButton}; }
  static plat::Rect Value(int row) { return {214, kRowTop + row * kRowH, 126, kButton}; }
  static plat::Rect Plus(int row) { return {342, kRowTop + row * kRowH, kButton, kButton}; }
  static plat::Rect CellRect(int i) {
    return {kGridLeft + (i % kColumns) * kCellW, kGridTop + (i / kColumns) * kCellH, kCellW - 3, kCellH - 3};
  }

  static plat::Rgb FrameColour(const game::AnimalTally& t) {
    if (t.first > 0) return kFound;
    return t.asked > 0 ? kNotYet : kNotAsked;
  }

  // − and + as thick bars (the access row: arrows), big enough for a parent's thumb on a touch screen.
  static void StepButton(plat::Canvas& c, const plat::Rect& r, bool arrow, bool up) {
    Rounded(c, r, kYellow);
    const int cx = r.left + r.w / 2, cy = r.top + r.h / 2;
    if (arrow) {
      for (int k = 0; k < 12; ++k) {
        const int x = up ? cx - 6 + k : cx + 6 - k;
        c.Fill({x, cy - (12 - k), 1, 2 * (12 - k) + 1}, kDeepBlue);
      }
      return;
    }
    c.Fill({cx - 11, cy - 3, 22, 6}, kDeepBlue);
    if (up) c.Fill({cx - 3, cy - 11, 6, 22}, kDeepBlue);
  }

  void Step(ParentsRow row, int dir) {
    StepParentsRow(working_, row, dir);
    // The levels are heard at once over the game below; the rest waits for Done.
    if (row == ParentsRow::Music || row == ParentsRow::Speech)
      plat::SetLevels(int(working_.MusicVolume), int(working_.SpeechVolume));
    Changed();
  }

  void Finish(bool save) {
    if (save) {
      saved_ = Parents_Save(working_);
    } else if (working_.MusicVolume != parents.MusicVolume || working_.SpeechVolume != parents.SpeechVolume) {
      plat::SetLevels(int(parents.MusicVolume), int(parents.SpeechVolume));
    }
    done_ = true;
    Changed();
  }

  void Changed() { plat::App().InvalidateScreen(rect_); }

  std::string language_;
  const ParentsTexts& t_;
  ParentsSettings working_;
  std::vector<Cell> cells_;
  plat::Rect rect_;
  bool done_ = false, saved_ = false;
};

}  // namespace

void StepParentsRow(ParentsSettings& s, ParentsRow row, int dir) {
  switch (row) {
    case ParentsRow::Access: s.Access = AccessMode((int(s.Access) + 5 + (dir > 0 ? 1 : -1)) % 5); break;
    case ParentsRow::Dwell: s.DwellMs = StepChoiceMs(s.DwellMs, dir); break;
    case ParentsRow::Scan: s.ScanMs = StepChoiceMs(s.ScanMs, dir); break;
    case ParentsRow::Kiosk: s.Kiosk = dir > 0; break;
    case ParentsRow::Session: s.SessionMinutes = StepSession(s.SessionMinutes, dir); break;
    case ParentsRow::Music: s.MusicVolume = StepLevel(s.MusicVolume, dir); break;
    case ParentsRow::Speech: s.SpeechVolume = StepLevel(s.SpeechVolume, dir); break;
  }
}

std::string ParentsRowValue(const ParentsSettings& s, ParentsRow row, const std::string& language) {
  const ParentsTexts& t = ParentsTextsFor(language);
  switch (row) {
    case ParentsRow::Access: return t.access_modes[std::min(4, int(s.Access))];
    case ParentsRow::Dwell: return Seconds(s.DwellMs, t.decimal);
    case ParentsRow::Scan: return Seconds(s.ScanMs, t.decimal);
    case ParentsRow::Kiosk: return s.Kiosk ? t.on : t.off;
    case ParentsRow::Session: return s.SessionMinutes ? std::to_string(s.SessionMinutes) + " min" : t.no_limit;
    case ParentsRow::Music: return std::to_string(s.MusicVolume) + " %";
    case ParentsRow::Speech: return std::to_string(s.SpeechVolume) + " %";
  }
  return {};
}

bool RunParentsPage(const std::string& language, const std::string& data_dir) {
  plat::trace::Emit("parents", "open");
  ParentsPage page(language, data_dir);
  plat::App().RunModal(page);
  plat::trace::Emit("parents", std::string("close ") + (page.Saved() ? "saved" : "cancelled"));
  return page.Saved();
}

}  // namespace ozzel
