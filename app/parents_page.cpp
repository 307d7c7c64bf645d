// The parents' page, drawn by us over the game window in the game's colours and run modally.
#include "app/parents_page.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

#include "app/access_modes.h"
#include "app/parents_texts.h"
#include "app/voice_texts.h"
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
    // A longer wait set in the file stays as it is: "+" never shortens it.
    if (ms >= kChoicePageMax) return ms;
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
  plat::Surface large;  // shown while the pointer rests on the cell: its name readable
};

// The rows a parent sees: the timings only in the mode they belong to.
std::vector<ParentsRow> RowsFor(AccessMode mode) {
  std::vector<ParentsRow> rows{ParentsRow::Access};
  const AccessTiming timing = AccessModeOf(mode).timing;
  if (timing == AccessTiming::Dwell) rows.push_back(ParentsRow::Dwell);
  if (timing == AccessTiming::Scan) rows.push_back(ParentsRow::Scan);
  for (ParentsRow r : {ParentsRow::Kiosk, ParentsRow::Session, ParentsRow::Music, ParentsRow::Speech}) rows.push_back(r);
  return rows;
}

constexpr int kRowTop = 62, kRowH = 56, kButton = 36, kThumb = 38, kLarge = 232;
constexpr int kGridLeft = 400, kGridTop = 86, kCellW = 46, kCellH = 47, kColumns = 5;
constexpr int kLegendTop = kRowTop + 6 * kRowH + 2;
constexpr plat::Rect kDone{476, 12, 148, 44};
constexpr plat::Rect kStudio{296, 12, 172, 44};  // the studio of the family's own voice
constexpr plat::Rgb kHelp{214, 232, 250};

plat::Rect Minus(int k) { return {168, kRowTop + k * kRowH, kButton, kButton}; }
plat::Rect Value(int k) { return {206, kRowTop + k * kRowH, 144, kButton}; }
plat::Rect Plus(int k) { return {352, kRowTop + k * kRowH, kButton, kButton}; }
plat::Rect CellRect(int i) {
  return {kGridLeft + (i % kColumns) * kCellW, kGridTop + (i / kColumns) * kCellH, kCellW - 3, kCellH - 3};
}
plat::Rect LegendMark(int k) { return {16 + k * 128, kLegendTop + 4, 18, 18}; }

const char* Label(const ParentsTexts& t, ParentsRow row) {
  switch (row) {
    case ParentsRow::Access: return t.access;
    case ParentsRow::Dwell: return t.dwell;
    case ParentsRow::Scan: return t.scan;
    case ParentsRow::Kiosk: return t.kiosk;
    case ParentsRow::Session: return t.session;
    case ParentsRow::Music: return t.music;
    case ParentsRow::Speech: return t.speech;
  }
  return "";
}

const char* Help(const ParentsTexts& t, ParentsRow row, AccessMode mode) {
  switch (row) {
    case ParentsRow::Access: return AccessModeWordsIn(mode, t.code).help;
    case ParentsRow::Dwell: return t.dwell_help;
    case ParentsRow::Scan: return t.scan_help;
    case ParentsRow::Kiosk: return t.kiosk_help;
    case ParentsRow::Session: return t.session_help;
    case ParentsRow::Music: return t.music_help;
    case ParentsRow::Speech: return t.speech_help;
  }
  return "";
}

// How far the child has come with an animal, by a mark as well as a colour: a tick, a ring, nothing.
enum class Progress { Found, NotYet, NotAsked };
Progress ProgressOf(const game::AnimalTally& t) {
  if (t.first > 0) return Progress::Found;
  return t.asked > 0 ? Progress::NotYet : Progress::NotAsked;
}
plat::Rgb ProgressColour(Progress p) { return p == Progress::Found ? kFound : p == Progress::NotYet ? kNotYet : kNotAsked; }

void Mark(plat::Canvas& c, const plat::Rect& r, Progress p) {
  Rounded(c, r, ProgressColour(p));
  const int x0 = r.left, y0 = r.top, n = r.w;
  if (p == Progress::Found) {
    // A tick: a short stroke down to the right, a long one up to the right, 3 px thick.
    for (int k = 0; k < n / 3; ++k) c.Fill({x0 + n / 5 + k, y0 + n / 2 + k - 1, 3, 3}, kDeepBlue);
    for (int k = 0; k < n / 2; ++k) c.Fill({x0 + n / 5 + n / 3 + k, y0 + n / 2 + n / 3 - k - 2, 3, 3}, kDeepBlue);
  } else if (p == Progress::NotYet) {
    // A ring: asked, not yet found.
    const int cx = x0 + n / 2, cy = y0 + n / 2, ro = n / 2 - 3, ri = ro - 3;
    for (int y = -ro; y <= ro; ++y)
      for (int x = -ro; x <= ro; ++x)
        if (x * x + y * y <= ro * ro && x * x + y * y >= ri * ri) c.Fill({cx + x, cy + y, 1, 1}, kDeepBlue);
  }
}

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
        Cell cell{game::SetLetters[set], n, {}, {}};
        try {
          const plat::Bitmap card =
              plat::Bitmap::LoadPictureFile(plat::fs::HostPath(data_dir + game::AnimalPicture(set, n)));
          cell.thumb = Thumbnail(card, kThumb);
          cell.large = Thumbnail(card, kLarge);
        } catch (const plat::GdiError&) {
          // A picture the medium lacks leaves its frame empty; the frame's colour still tells.
        }
        cells_.push_back(std::move(cell));
      }
  }

  plat::Rect ScreenRect() const override { return rect_; }
  bool Done() const override { return done_; }
  bool Saved() const { return saved_; }
  bool Studio() const { return studio_; }
  const std::vector<std::string>& NotSaved() const { return not_saved_; }

  void Paint(plat::Canvas& c) override {
    c.Fill({0, 0, rect_.w, rect_.h}, kBlue);
    Rounded(c, kDone, kYellow);
    Rounded(c, kStudio, kYellow);
    const std::vector<ParentsRow> rows = RowsFor(working_.Access);
    for (size_t k = 0; k < rows.size(); ++k) {
      const bool arrows = rows[k] == ParentsRow::Access;
      StepButton(c, Minus(int(k)), arrows, false);
      Rounded(c, Value(int(k)), plat::kWhite);
      StepButton(c, Plus(int(k)), arrows, true);
    }
    for (size_t i = 0; i < cells_.size(); ++i) {
      const plat::Rect r = CellRect(int(i));
      const Progress p = ProgressOf(answers.Of(cells_[i].letter, cells_[i].animal));
      c.Fill(r, ProgressColour(p));
      c.Fill({r.left + 3, r.top + 3, r.w - 6, r.h - 6}, plat::kWhite);
      const plat::Surface& th = cells_[i].thumb;
      if (th.width() > 0)
        c.DrawSurface(th, r.left + (r.w - th.width()) / 2, r.top + (r.h - th.height()) / 2);
      if (p != Progress::NotAsked) Mark(c, {r.right() - 15, r.top, 15, 15}, p);
    }
    for (int k = 0; k < 3; ++k) Mark(c, LegendMark(k), Progress(k));
    if (hovered_ >= 0 && cells_[size_t(hovered_)].large.width() > 0) {
      // The card at a size whose name a parent reads, over the half of the grid the pointer is not in.
      const plat::Surface& big = cells_[size_t(hovered_)].large;
      const bool low = CellRect(hovered_).top > kGridTop + 2 * kCellH;
      const plat::Rect r{kGridLeft, low ? kGridTop : 470 - big.height() - 6, big.width() + 6, big.height() + 6};
      c.Fill(r, kDeepBlue);
      c.DrawSurface(big, r.left + 3, r.top + 3);
    }
    for (const ParentsPageText& t : ParentsPageTexts(language_, working_)) c.Text(t.text, t.box, t.font, t.align);
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
        if (kStudio.contains(p)) {
          studio_ = true;
          Finish(true);
          break;
        }
        const std::vector<ParentsRow> rows = RowsFor(working_.Access);
        for (size_t k = 0; k < rows.size(); ++k) {
          if (Minus(int(k)).contains(p)) return Step(rows[k], -1);
          if (Plus(int(k)).contains(p)) return Step(rows[k], +1);
        }
        break;
      }
      case K::MouseMove: {
        const plat::Point p{e.pos.x - rect_.left, e.pos.y - rect_.top};
        int at = -1;
        for (size_t i = 0; i < cells_.size(); ++i)
          if (CellRect(int(i)).contains(p)) at = int(i);
        if (at != hovered_) {
          hovered_ = at;
          Changed();
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
  // − and + as thick bars (the access row: arrows), big enough for a parent's thumb on a touch screen.
  static void StepButton(plat::Canvas& c, const plat::Rect& r, bool arrow, bool up) {
    Rounded(c, r, kYellow);
    const int cx = r.left + r.w / 2, cy = r.top + r.h / 2;
    if (arrow) {
      for (int k = 0; k < 11; ++k) {
        const int x = up ? cx - 5 + k : cx + 5 - k;
        c.Fill({x, cy - (11 - k), 1, 2 * (11 - k) + 1}, kDeepBlue);
      }
      return;
    }
    c.Fill({cx - 10, cy - 3, 20, 6}, kDeepBlue);
    if (up) c.Fill({cx - 3, cy - 10, 6, 20}, kDeepBlue);
  }

  void Step(ParentsRow row, int dir) {
    StepParentsRow(working_, row, dir);
    // The levels are heard at once over the game below; the rest waits for Done.
    if (row == ParentsRow::Music || row == ParentsRow::Speech)
      plat::SetLevels(int(working_.MusicVolume), int(working_.SpeechVolume));
    Changed();
  }

  void Finish(bool save) {
    if (save) saved_ = Parents_Save(working_, &not_saved_);
    // What is heard is what is kept: levels not saved go back to the stored ones.
    if (working_.MusicVolume != parents.MusicVolume || working_.SpeechVolume != parents.SpeechVolume)
      plat::SetLevels(int(parents.MusicVolume), int(parents.SpeechVolume));
    done_ = true;
    Changed();
  }

  void Changed() { plat::App().InvalidateScreen(rect_); }

  std::string language_;
  const ParentsTexts& t_;
  ParentsSettings working_;
  std::vector<Cell> cells_;
  plat::Rect rect_;
  bool done_ = false, saved_ = false, studio_ = false;
  std::vector<std::string> not_saved_;
  int hovered_ = -1;  // the cell under the pointer
};

}  // namespace

void StepParentsRow(ParentsSettings& s, ParentsRow row, int dir) {
  switch (row) {
    case ParentsRow::Access: {
      const int n = int(AccessModes().size());
      s.Access = AccessMode((int(s.Access) + n + (dir > 0 ? 1 : -1)) % n);
      break;
    }
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
    case ParentsRow::Access: return AccessModeWordsIn(s.Access, t.code).name;
    case ParentsRow::Dwell: return Seconds(s.DwellMs, t.decimal);
    case ParentsRow::Scan: return Seconds(s.ScanMs, t.decimal);
    case ParentsRow::Kiosk: return s.Kiosk ? t.on : t.off;
    case ParentsRow::Session: return s.SessionMinutes ? std::to_string(s.SessionMinutes) + " min" : t.no_limit;
    case ParentsRow::Music: return std::to_string(s.MusicVolume) + " %";
    case ParentsRow::Speech: return std::to_string(s.SpeechVolume) + " %";
  }
  return {};
}

std::vector<ParentsPageText> ParentsPageTexts(const std::string& language, const ParentsSettings& s) {
  const ParentsTexts& t = ParentsTextsFor(language);
  std::vector<ParentsPageText> out{
      {t.title, {20, 10, 272, 44}, Font(28, plat::kWhite), plat::TextAlign::Left},
      {t.done, kDone, Font(22, kDeepBlue), plat::TextAlign::Center},
      {VoiceTextsFor(language).studio, kStudio, Font(14, kDeepBlue), plat::TextAlign::Center},
  };
  const std::vector<ParentsRow> rows = RowsFor(s.Access);
  for (size_t k = 0; k < rows.size(); ++k) {
    const int y = kRowTop + int(k) * kRowH;
    out.push_back({Label(t, rows[k]), {16, y, 150, kButton}, Font(15, plat::kWhite), plat::TextAlign::Left});
    out.push_back({ParentsRowValue(s, rows[k], language), Value(int(k)), Font(15, kDeepBlue), plat::TextAlign::Center});
    out.push_back({Help(t, rows[k], s.Access), {16, y + kButton + 1, 376, 17}, Font(12, kHelp, false),
                   plat::TextAlign::Left});
  }
  out.push_back({t.animals, {kGridLeft, kRowTop, 640 - kGridLeft - 4, 22}, Font(12, plat::kWhite), plat::TextAlign::Left});
  const char* legend[] = {t.found_first, t.not_yet, t.not_asked};
  for (int k = 0; k < 3; ++k) {
    const plat::Rect m = LegendMark(k);
    out.push_back({legend[k], {m.right() + 4, kLegendTop, 104, 26}, Font(13, plat::kWhite, false), plat::TextAlign::Left});
  }
  out.push_back({t.record_note, {16, kLegendTop + 28, 608, 24}, Font(13, plat::kWhite, false), plat::TextAlign::Left});
  return out;
}

bool RunParentsPage(const std::string& language, const std::string& data_dir, std::vector<std::string>* not_saved,
                    bool* open_studio) {
  plat::trace::Emit("parents", "open");
  ParentsPage page(language, data_dir);
  plat::App().RunModal(page);
  plat::trace::Emit("parents", std::string("close ") + (page.Saved() ? "saved" : "cancelled"));
  if (not_saved) *not_saved = page.NotSaved();
  if (open_studio) *open_studio = page.Studio();
  return page.Saved();
}

std::string ParentsSettingLabel(const std::string& language, const std::string& value_name) {
  const ParentsTexts& t = ParentsTextsFor(language);
  const std::pair<const char*, ParentsRow> names[] = {
      {kValueAccess, ParentsRow::Access}, {kValueDwellMs, ParentsRow::Dwell},
      {kValueScanMs, ParentsRow::Scan},   {kValueKiosk, ParentsRow::Kiosk},
      {kValueSessionMinutes, ParentsRow::Session}, {kValueMusicVolume, ParentsRow::Music},
      {kValueSpeechVolume, ParentsRow::Speech}};
  for (const auto& [name, row] : names)
    if (value_name == name) return Label(t, row);
  return value_name;
}

}  // namespace ozzel
