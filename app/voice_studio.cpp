// The studio page: one line at a time, its group and progress, the medium's own recording, record / again / next.
#include "app/voice_studio.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "app/parents_texts.h"
#include "app/voice_texts.h"
#include "game/voice_lines.h"
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
constexpr uint32_t kPollMs = 50;

plat::FontSpec Font(int px, plat::Rgb colour, bool bold = true) { return plat::FontSpec{"Arial", px, bold, colour}; }

class Studio : public plat::Modal {
 public:
  Studio(const std::string& language, const std::string& data_dir)
      : t_(VoiceTextsFor(language)), done_word_(ParentsTextsFor(language).done), data_dir_(data_dir), folder_(OwnVoiceFolder(language)) {
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
    // A medium without texts is played, not read: the line is named by its file.
    c.Fill({20, 120, 600, 90}, plat::kWhite);
    c.Text(std::to_string(idx_ + 1) + ".  " + l.name() + (Has(l) ? "  \xE2\x9C\x93" : ""), {30, 120, 580, 90},
           Font(30, kDeepBlue), plat::TextAlign::Center);
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
    // Heard at once, from a file of its own until it is kept.
    const std::string pending = folder_ + "/.pending.wav";
    plat::fs::FileLock lock(folder_ + "/takes");  // makes the folder
    if (!plat::fs::WriteFileAtomic(pending, take.wav.data(), take.wav.size(), false)) return Say(t_.not_saved);
    pending_ = take.wav;
    state_ = State::Review;
    plat::Audio().PlaySound(pending.c_str(), plat::SND_ASYNC);
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
    if (pending_.empty() || lines_.empty()) return;
    plat::Audio().PlaySound(nullptr, 0);
    if (!plat::fs::WriteFileAtomic(TakePath(lines_[idx_]), pending_.data(), pending_.size(), true)) Say(t_.not_saved);
    pending_.clear();
    std::remove((folder_ + "/.pending.wav").c_str());
    if (state_ == State::Review) state_ = State::Idle;
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
  std::vector<game::VoiceLine> lines_;
  size_t idx_ = 0;
  State state_ = State::Idle;
  std::unique_ptr<plat::CaptureDevice> mic_;
  std::unique_ptr<plat::TakeListener> listener_;
  std::unique_ptr<plat::Timer> poll_;
  std::vector<uint8_t> pending_;
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
