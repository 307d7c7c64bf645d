// The studio page: one line at a time, its group and progress, the medium's own recording, record / again / next.
#include "app/voice_studio.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include "app/parents_texts.h"
#include "app/voice_texts.h"
#include "game/voice_lines.h"
#include "media/line_texts.h"
#include "media/own_voice.h"
#include "media/parents.h"
#include "platform/audio/audio.h"
#include "platform/audio/own_voice.h"
#include "platform/audio/take.h"
#include "platform/fs/fs.h"
#include "platform/gdi/canvas.h"
#include "platform/trace.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"
#include "platform/ui/timer.h"

namespace ozzel {

namespace {

constexpr plat::Rgb kBlue = plat::kWindowBlue;
constexpr plat::Rgb kDeepBlue{24, 84, 150};
constexpr plat::Rgb kYellow{255, 214, 64};
constexpr plat::Rgb kRed{220, 60, 50};
constexpr plat::Rect kDone{476, 12, 148, 44};
constexpr plat::Rect kPrev{20, 250, 60, 60}, kNextLine{560, 250, 60, 60};
constexpr plat::Rect kLikeThis{100, 250, 210, 60}, kRecord{330, 250, 210, 60};
constexpr plat::Rect kAgain{100, 330, 210, 60}, kKeep{330, 330, 210, 60};
constexpr plat::Rect kTextBox{20, 108, 600, 130};
constexpr uint32_t kPollMs = 50;

plat::FontSpec Font(int px, plat::Rgb colour, bool bold = true) { return plat::FontSpec{"Arial", px, bold, colour}; }

// TEXT broken into lines at spaces, none wider than WIDTH where a word allows.
std::vector<std::string> Wrapped(const std::string& text, int width, const plat::FontSpec& font) {
  std::vector<std::string> lines;
  std::string line;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find(' ', at);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(at, end - at);
    at = end + 1;
    if (word.empty()) continue;
    const std::string longer = line.empty() ? word : line + " " + word;
    if (!line.empty() && plat::Canvas::TextWidth(longer, font) > width) {
      lines.push_back(line);
      line = word;
    } else {
      line = longer;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

class Studio : public plat::Modal {
 public:
  Studio(const std::string& language, const std::string& data_dir)
      : t_(VoiceTextsFor(language)), done_word_(ParentsTextsFor(language).done), data_dir_(data_dir), folder_(OwnVoiceFolder(language)),
        texts_(ReadLineTexts(data_dir)) {
    plat::Application& app = plat::App();
    const plat::Form* main = app.MainForm();
    rect_ = main ? main->Bounds() : plat::Rect{0, 0, 640, 480};
    rect_.w = 640, rect_.h = 480;
    // Only the lines this medium speaks.
    for (const game::VoiceLine& l : game::VoiceLines())
      if (plat::fs::FileExists(data_dir_ + l.file)) lines_.push_back(l);
    poll_ = std::make_unique<plat::Timer>(app, "", kPollMs, false, [this](plat::Timer&) { Poll(); });
    ShowLine();
  }
  ~Studio() override { Commit(); }

  plat::Rect ScreenRect() const override { return rect_; }
  bool Done() const override { return done_; }
  int TakesThere() const {
    int n = 0;
    for (const game::VoiceLine& l : lines_) n += Has(l) ? 1 : 0;
    return n;
  }

  void Paint(plat::Canvas& c) override {
    c.Fill({0, 0, rect_.w, rect_.h}, kBlue);
    c.Fill(kDone, kYellow);
    c.Text(t_.studio, {20, 10, 440, 44}, Font(28, plat::kWhite), plat::TextAlign::Left);
    c.Text(done_word_, kDone, Font(22, kDeepBlue), plat::TextAlign::Center);
    if (lines_.empty()) return;
    const game::VoiceLine& l = lines_[idx_];
    c.Text(GroupName(l.group) + "   " + std::to_string(TakesThere()) + " " + t_.of + " " + std::to_string(lines_.size()),
           {20, 70, 600, 30}, Font(20, plat::kWhite), plat::TextAlign::Left);
    // The line's words where the medium has them; a medium without texts is played, not read: the line
    // is named by its file.
    c.Fill(kTextBox, plat::kWhite);
    const std::string label = std::to_string(idx_ + 1) + ".  " + l.name() + (Has(l) ? "  \xE2\x9C\x93" : "");
    const auto text = texts_.find(Lower(l.name()));
    if (text == texts_.end()) {
      c.Text(label, kTextBox, Font(30, kDeepBlue), plat::TextAlign::Center);
    } else {
      PaintText(c, text->second);
      c.Text(label, {kTextBox.left, kTextBox.top + kTextBox.h - 22, kTextBox.w, 20}, Font(13, kDeepBlue, false),
             plat::TextAlign::Center);
    }
    c.Fill(kPrev, kYellow);
    c.Text("<", kPrev, Font(30, kDeepBlue), plat::TextAlign::Center);
    c.Fill(kNextLine, kYellow);
    c.Text(">", kNextLine, Font(30, kDeepBlue), plat::TextAlign::Center);
    c.Fill(kLikeThis, kYellow);
    c.Text(t_.like_this, kLikeThis, Font(18, kDeepBlue), plat::TextAlign::Center);
    c.Fill(kRecord, state_ == State::Listening ? kRed : kYellow);
    c.Text(state_ == State::Listening ? t_.listening : t_.record, kRecord,
           Font(18, state_ == State::Listening ? plat::kWhite : kDeepBlue), plat::TextAlign::Center);
    if (state_ == State::Review) {
      c.Fill(kAgain, kYellow);
      c.Text(t_.again, kAgain, Font(18, kDeepBlue), plat::TextAlign::Center);
      c.Fill(kKeep, kYellow);
      c.Text(t_.next, kKeep, Font(18, kDeepBlue), plat::TextAlign::Center);
    }
    if (!message_.empty()) c.Text(message_, {20, 410, 600, 50}, Font(18, kYellow), plat::TextAlign::Center);
  }

  // The biggest size at which the whole text fits above the file's name.
  void PaintText(plat::Canvas& c, const std::string& text) const {
    const plat::Rect room{kTextBox.left + 10, kTextBox.top + 4, kTextBox.w - 20, kTextBox.h - 28};
    for (int px : {30, 24, 20, 17, 14}) {
      const plat::FontSpec font = Font(px, kDeepBlue);
      const std::vector<std::string> lines = Wrapped(text, room.w, font);
      const int step = px * 5 / 4;
      if (int(lines.size()) * step > room.h && px > 14) continue;
      int y = room.top + std::max(0, (room.h - int(lines.size()) * step) / 2);
      for (const std::string& line : lines) {
        if (y + step > room.top + room.h + 2) break;
        c.Text(line, {room.left, y, room.w, step}, font, plat::TextAlign::Center);
        y += step;
      }
      return;
    }
  }

  void HandleInput(const plat::InputEvent& e) override {
    using K = plat::InputEvent::Kind;
    switch (e.kind) {
      case K::MouseDown: {
        if (e.button != 0) break;
        const plat::Point p{e.pos.x - rect_.left, e.pos.y - rect_.top};
        // While a take is recorded, a tap anywhere ends it.
        if (state_ == State::Listening) return Finish();
        if (kDone.contains(p)) return Close();
        if (kRecord.contains(p)) return Record();
        if (kLikeThis.contains(p)) return LikeThis();
        if (kPrev.contains(p)) return Move(-1);
        if (kNextLine.contains(p)) return Move(+1);
        if (state_ == State::Review && kAgain.contains(p)) return Again();
        if (state_ == State::Review && kKeep.contains(p)) return Move(+1);
        break;
      }
      case K::KeyChar:
        if (e.ch == 27) return Close();
        if (e.ch == 13) {
          if (state_ == State::Listening) return Finish();
          if (state_ == State::Review) return Move(+1);
          return Record();
        }
        break;
      case K::DialogOk: return Close();
      case K::DialogCancel: return Close();
      default: break;
    }
  }

 private:
  enum class State { Idle, Listening, Review };

  std::string GroupName(game::VoiceGroup g) const {
    switch (g) {
      case game::VoiceGroup::Start: return t_.intro;
      case game::VoiceGroup::Praise: return t_.praise;
      case game::VoiceGroup::End: return t_.end;
      default: return std::string(t_.scene) + " " + std::to_string(int(g));
    }
  }
  static std::string Lower(std::string s) {
    for (char& ch : s)
      if (ch >= 'A' && ch <= 'Z') ch = char(ch - 'A' + 'a');
    return s;
  }
  std::string TakePath(const game::VoiceLine& l) const { return plat::fs::HostPath(folder_ + "/" + l.name()); }
  bool Has(const game::VoiceLine& l) const { return !folder_.empty() && plat::fs::StampOf(TakePath(l)).has_value(); }

  void ShowLine() {
    if (!lines_.empty()) plat::trace::Emit("studio line", lines_[idx_].name());
    Changed();
  }

  void Record() {
    if (lines_.empty()) return;
    Commit();
    std::string why;
    mic_ = plat::Audio().OpenMicrophone(&why);
    if (!mic_) {
      std::fprintf(stderr, "ozzel: %s\n", why.c_str());
      Say(t_.no_microphone);
      return;
    }
    // The game below goes quiet while the parent speaks, or the microphone hears it too.
    plat::SetLevels(0, 0);
    listener_ = std::make_unique<plat::TakeListener>(mic_->Rate());
    opened_ms_ = plat::App().Now();
    state_ = State::Listening;
    message_.clear();
    poll_->SetEnabled(true);
    plat::trace::Emit("studio listening");
    Changed();
  }

  void Poll() {
    if (state_ != State::Listening || !mic_) return;
    std::vector<float> got;
    if (!mic_->Read(got)) {
      // Unplugged mid-take: nothing is kept, the take before stays.
      Stop();
      Say(t_.no_microphone);
      return;
    }
    if (listener_->Add(got.data(), got.size()) == plat::TakeListener::State::Over) Finish();
  }

  void Stop() {
    poll_->SetEnabled(false);
    if (mic_) plat::SetLevels(int(parents.MusicVolume), int(parents.SpeechVolume));
    mic_.reset();
    state_ = State::Idle;
  }

  void Finish() {
    if (mic_) {
      std::vector<float> got;
      mic_->Read(got);
      listener_->Add(got.data(), got.size());
    }
    Stop();
    const game::VoiceLine& l = lines_[idx_];
    const std::string medium = plat::fs::HostPath(data_dir_ + l.file);
    plat::WavFormat like;
    if (auto bytes = plat::fs::ReadFile(medium, plat::kMaxTakeBytes))
      if (auto f = plat::PcmFormatOf(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size())) like = *f;
    const plat::Take take = plat::ShapeTake(listener_->samples(), listener_->rate(), like);
    static const char* kWords[] = {"kept", "unreadable", "silent", "quiet", "clipped"};
    plat::trace::Emit("studio take", l.name() + " " + kWords[int(take.verdict)]);
    switch (take.verdict) {
      case plat::TakeVerdict::Kept: break;
      case plat::TakeVerdict::Silent: return Say(t_.heard_nothing);
      case plat::TakeVerdict::TooQuiet: return Say(t_.closer);
      case plat::TakeVerdict::Clipped: return Say(t_.further);
      case plat::TakeVerdict::Unreadable: return Say(t_.heard_nothing);
    }
    // Heard at once, from a file of its own until it is kept. Each take has a new name: a player that
    // keeps what it decoded by name (the browser's) would play the take before.
    plat::fs::FileLock lock(folder_ + "/takes");  // makes the folder
    DropPending();
    pending_path_ = folder_ + "/.pending" + std::to_string(++takes_heard_) + ".wav";
    if (!plat::fs::WriteFileAtomic(pending_path_, take.wav.data(), take.wav.size(), false)) return Say(t_.not_saved);
    pending_ = take.wav;
    state_ = State::Review;
    plat::Audio().PlaySound(pending_path_.c_str(), plat::SND_ASYNC);
    const uint64_t speech_end = opened_ms_ + listener_->SpeechEndMs();
    plat::trace::Emit("studio play", l.name() + " " + std::to_string(plat::App().Now() - speech_end));
    message_.clear();
    Changed();
  }

  void Again() {
    pending_.clear();
    plat::trace::Emit("studio again");
    Record();
  }

  // The take heard is kept unless the parent asked for it again.
  void Commit() {
    if (pending_.empty() || lines_.empty()) return DropPending();  // thrown away by "again"
    plat::Audio().PlaySound(nullptr, 0);
    if (!plat::fs::WriteFileAtomic(TakePath(lines_[idx_]), pending_.data(), pending_.size(), true)) Say(t_.not_saved);
    pending_.clear();
    DropPending();
    if (state_ == State::Review) state_ = State::Idle;
  }

  void DropPending() {
    if (!pending_path_.empty()) std::remove(plat::fs::HostPath(pending_path_).c_str());
    pending_path_.clear();
  }

  void LikeThis() {
    if (lines_.empty() || state_ == State::Listening) return;
    // The medium's own recording, never the take that stands in for it.
    const std::string medium = plat::fs::HostPath(data_dir_ + lines_[idx_].file);
    plat::Audio().PlaySound(medium.c_str(), plat::SND_ASYNC);
    plat::trace::Emit("studio like-this", lines_[idx_].name());
  }

  void Move(int dir) {
    Commit();
    state_ = State::Idle;
    message_.clear();
    const int n = int(lines_.size());
    if (n == 0) return;
    idx_ = size_t((int(idx_) + dir + n) % n);
    ShowLine();
  }

  void Close() {
    if (state_ == State::Listening) Stop();
    Commit();
    done_ = true;
    Changed();
  }

  void Say(const char* text) {
    message_ = text;
    state_ = State::Idle;
    Changed();
  }

  void Changed() { plat::App().InvalidateScreen(rect_); }

  const VoiceTexts& t_;
  const char* done_word_;
  std::string data_dir_, folder_;
  std::map<std::string, std::string> texts_;  // the medium's words of its lines, by file name in lower case
  std::vector<game::VoiceLine> lines_;
  size_t idx_ = 0;
  State state_ = State::Idle;
  std::unique_ptr<plat::CaptureDevice> mic_;
  std::unique_ptr<plat::TakeListener> listener_;
  std::unique_ptr<plat::Timer> poll_;
  std::vector<uint8_t> pending_;
  std::string pending_path_;
  int takes_heard_ = 0;
  uint64_t opened_ms_ = 0;
  std::string message_;
  plat::Rect rect_;
  bool done_ = false;
};

}  // namespace

void RunVoiceStudio(const std::string& language, const std::string& data_dir) {
  plat::trace::Emit("studio", "open");
  Studio studio(language, data_dir);
  plat::App().RunModal(studio);
  plat::trace::Emit("studio close", std::to_string(studio.TakesThere()));
}

}  // namespace ozzel
