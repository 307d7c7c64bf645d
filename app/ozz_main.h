// The main-window unit: the form class Tform_ozzel, its controls and timers, and the shared state.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "game/sets.h"
#include "media/technic2.h"
#include "platform/audio/media_player.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"

namespace ozzel {

class TToolbarButton97;
class TAVI_orvel1;

// The shared state of the main-window unit: what its handlers tell each other. Everything starts at
// zero, false or empty, and `shared = {}` brings it back there.
struct SharedState {
  bool QuitRequested = false;    // the exit button was clicked: every wait ends, wav_spoustec winds down
  uint8_t SkipKey = 0;           // 27: Esc or the shield asked to cut the current wait short
  bool SkipRequested = false;    // the same request, as the speech queue's own short waits see it
  int32_t DelayTicks = 0;        // how many delay_bm ticks the short delay lasts
  int32_t PendingIconSound = 0;  // the button under the pointer whose word is due (1..4 scenes, 8 exit, 0 none)
  int32_t LastIconSound = 0;     // the button word said last; the same word is not said twice running
  bool SwitchPending = false;    // a scene was chosen; pozadavek_na_prepnuti_sady will switch to it
  uint8_t RequestedSet = 0;      // the scene chosen (1..4)
  uint8_t CurrentSet = 0;        // the scene in play (1..4; 0 before the first)
  // Set while the handler of that name runs, so that a tick or click arriving inside it (while it
  // pumps, or through a handler it calls) does not start it again.
  bool SwitchBusy = false, AskBusy = false, ClickBusy = false, IntroClickBusy = false;
  bool AwaitingAnswer = false;   // a question has been asked; a click on the scene is an answer
  game::QuestionList Questions;  // the scene's questions, 1..QuestionCount, in the order asked
  uint8_t QuestionCount = 0;
  uint8_t CurrentQuestion = 0;   // the one being asked (1..QuestionCount; 0 before the first)
  int32_t GoodCount = 0, BadCount = 0;     // the counter: right and wrong animals clicked
  uint8_t PraiseIndex = 0, MissIndex = 0;  // the praise and miss recordings said last, taken in turn
  bool TrackerBusy = false;      // the speech queue's tick is running
  bool SilentItem = false;       // the playing queue item began with '&': the examiner keeps her lips still
  bool BackgroundReleased = false;  // the background window has been let go (once, at closing)

  // Every field but the question list (dumped on its own), by name, for the simulator's `dump`.
  template <class F>
  void ForEach(F&& f) const {
    f("QuitRequested", QuitRequested), f("SkipKey", SkipKey), f("SkipRequested", SkipRequested);
    f("DelayTicks", DelayTicks), f("PendingIconSound", PendingIconSound), f("LastIconSound", LastIconSound);
    f("SwitchPending", SwitchPending), f("RequestedSet", RequestedSet), f("CurrentSet", CurrentSet);
    f("SwitchBusy", SwitchBusy), f("AskBusy", AskBusy), f("ClickBusy", ClickBusy);
    f("IntroClickBusy", IntroClickBusy), f("AwaitingAnswer", AwaitingAnswer);
    f("QuestionCount", QuestionCount), f("CurrentQuestion", CurrentQuestion);
    f("GoodCount", GoodCount), f("BadCount", BadCount), f("PraiseIndex", PraiseIndex), f("MissIndex", MissIndex);
    f("TrackerBusy", TrackerBusy), f("SilentItem", SilentItem), f("BackgroundReleased", BackgroundReleased);
  }
};
extern SharedState shared;

// The channel's modes by number, as the hidden label4 shows them.
extern const std::array<std::string, 7> ModeNames;

// A handler's busy flag, set for the life of the handler and cleared on every way out of it, an
// exception's included, so that no flag is left set for good.
class BusyScope {
 public:
  explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~BusyScope() { flag_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& flag_;
};

// Runs f and passes over the media-channel error it may throw: for the calls whose failure the
// program means to ignore (stopping a channel that never opened). Any other error goes on to the
// barrier where the handler was dispatched. False when the error was passed over.
template <class F>
bool IgnoreChannelError(F&& f) {
  try {
    f();
    return true;
  } catch (const plat::EMCIDeviceError&) {
    return false;
  }
}

// Set by the simulator and tests: a fixed seed instead of the clock.
extern std::optional<uint32_t> g_seed_override;

// Resets the shared state of both units to its start values (a fresh program run in the same process:
// tests, the soak), so nothing of a previous run (volumes, counter, last sound) leaks into this one.
inline void ResetSharedState() {
  shared = {};
  technic2 = {};
}
// Frees the string tables and the questions' letters (the unit's finalisation).
void ozz_main_Finalize();

// The main window. Its Czech names are the names of the program's parts; the glosses below, and the
// glossary (docs/glossary.md), say what each one is.
//
// Its data (game/names.h) lies in the medium's folders obrazky (pictures), zvuky (sounds: speech and
// button words), hudba (music) and animace (animation: the examiner's clip). In a sound's name, after
// the scene's letter (D, U, L, S): _a and _b are the two recordings that ask for an animal (question
// kinds 1 and 2), _J is the animal's name (jméno), said in its praise, _E is said of an animal clicked
// by mistake. A scene's picture ends in _f, an animal's picture in its number.
//
// Re-entry, the program's hardest rule: there is one thread, but every handler that pumps messages
// (ProcessMessages, PumpWhile, ShortDelay, a message box) lets every due timer and every input handler
// run inside it, its own timer included. What keeps that sane:
// - The handlers that must not run twice at once mark themselves busy (SwitchBusy, AskBusy, ClickBusy,
//   IntroClickBusy, TrackerBusy, held by a BusyScope). The switch and question timers just tick again later while a switch, a
//   question or an answer is busy; a click on the scene counts only while an answer is awaited, none
//   of those is busy and no switch is pending.
// - Clicks and keys ask rather than act: a scene choice sets SwitchPending and the switch timer, Esc
//   and the shield set SkipKey and SkipRequested, the exit button sets QuitRequested. Each wait ends
//   on the requests that concern it: the intro's on skip, quit or a closed channel; the short delay's
//   on skip, quit or a switch; the praise's on quit or a switch; the speech queue's short waits on skip.
// - Inside the speech queue's tick any handler may empty and refill the queue (a score click, the
//   next question, a switch): the tick plays and removes its item only while SpeechHeadEpoch says
//   that item is still the head.
// - wav_spoustec ticks inside every wait: it moves the examiner's lips, says the button words and
//   carries out a quit, one step per tick.
class Tform_ozzel : public plat::Form {
 public:
  explicit Tform_ozzel(plat::Application& app);
  ~Tform_ozzel() override;

  // Graphic controls, bottom to top.
  plat::Image* pocitadlo_podklad = nullptr;  // "counter background": the score bar; a click says the score
  plat::Image* roh_PH = nullptr;  // corners (roh) of the window: right/left (P/L), upper/lower (H/D)
  plat::Image* roh_LH = nullptr;
  TToolbarButton97* BTN_Konec = nullptr;  // the exit button (konec: the end)
  plat::Image* roh_LD = nullptr;
  plat::Image* roh_PD = nullptr;
  plat::Label* label4 = nullptr;  // hidden: the WAV channel's mode, by name (ModeNames)
  plat::Image* stit = nullptr;    // the skip shield (štít), no picture: a click cuts the current wait short
  // The scene buttons (obraz: picture), tags 1..4: home, farm, forest and safari animals.
  TToolbarButton97* btn_obraz1 = nullptr;
  TToolbarButton97* btn_obraz2 = nullptr;
  TToolbarButton97* btn_obraz3 = nullptr;
  TToolbarButton97* btn_obraz4 = nullptr;
  plat::Image* podklad = nullptr;  // "the backdrop": the scene the child clicks
  // The hidden hit maps, one per scene (lesní: forest, užitečná: useful, i.e. farm, doma: at home):
  // each pixel's exact colour names the animal drawn there (game/colour_codes.h).
  plat::Image* RGB_lesni = nullptr;
  plat::Image* RGB_uzitecna = nullptr;
  plat::Image* RGB_safari = nullptr;
  plat::Image* RGB_doma = nullptr;
  plat::Label* lbl_dobre = nullptr;   // the count of right answers (dobře: well)
  plat::Label* lbl_spatne = nullptr;  // the count of wrong animals clicked (špatně: badly)
  plat::Image* preview = nullptr;     // the animal found, shown over the scene during its praise
  plat::Label* dvojtecka = nullptr;   // the colon (dvojtečka) between the two counts
  plat::Image* divadlo = nullptr;     // "the theatre": the intro picture, whose quarters choose a scene
  // Windowed controls, bottom to top.
  plat::Panel* oddeleni = nullptr;    // separator lines (oddělení) of the bottom bar
  plat::ListBox* playlist = nullptr;  // hidden: the speech queue, full DOS-style paths, spoken in order
  TAVI_orvel1* zkouseni_tibora = nullptr;  // "Tibor's examining": the examiner, talking while speech plays
  plat::Panel* oddeleni2 = nullptr;
  plat::Panel* oddeleni3 = nullptr;
  // The two media channels: the background music and the speech.
  std::unique_ptr<plat::MediaPlayer> MIDIPlayer, WavPlayer;
  // Timers (spouštěč: trigger, požadavek: request).
  plat::Timer* delay_bm = nullptr;       // 100 ms: counts out the short delay (ShortDelay)
  plat::Timer* Midi_spoustec = nullptr;  // 2 s: starts the music again when it has stopped
  plat::Timer* wav_spoustec = nullptr;   // 100 ms, always on: the examiner's lips, button words, the quit steps
  plat::Timer* starter = nullptr;        // 500 ms, once: the intro
  plat::Timer* playlist_tracker = nullptr;  // 200 ms: the speech queue's tick, one item at a time
  plat::Timer* uvodni_blikajici_ikony = nullptr;  // 500 ms: "the intro's blinking icons", the scene buttons
  plat::Timer* pozadavek_na_zadani = nullptr;     // 100 ms: "request to ask", the next question
  plat::Timer* pozadavek_na_prepnuti_sady = nullptr;  // 100 ms: "request to switch the set", a scene switch
  // "Time limit": off unless a parent limited the session; fires when the time is up, then watches
  // the question in play and the goodbye.
  plat::Timer* casovy_limit = nullptr;

  // Start-up, skip inputs, delay, exit and shutdown (ozz_main.cpp).
  void FormCreate();
  void FormKeyPress(char& key);
  void stitClick(plat::Control& sender);
  void previewClick(plat::Control& sender);
  void delay_bmTimer(plat::Timer& sender);
  void BTN_KonecMouseEnter(plat::Control& sender);
  void BTN_KonecClick(plat::Control& sender);
  void FormCloseQuery(bool& can_close);
  void FormDestroy();

  // Intro and menu (intro.cpp).
  void startertimerTimer(plat::Timer& sender);
  void uvodni_blikajici_ikonyTimer(plat::Timer& sender);
  void btn_obraz1MouseEnter(plat::Control& sender);
  void btn_obraz2MouseEnter(plat::Control& sender);
  void btn_obraz3MouseEnter(plat::Control& sender);
  void btn_obraz4MouseEnter(plat::Control& sender);
  void btn_obraz4MouseExit(plat::Control& sender);
  void btn_obraz1Click(plat::Control& sender);

  // Scene switching (switching.cpp).
  void divadloMouseDown(plat::Control& sender, plat::MouseButton button, plat::ShiftState shift, int x, int y);
  void pozadavek_na_prepnuti_sadyTimer(plat::Timer& sender);

  // Quiz and score (quiz.cpp).
  void pozadavek_na_zadaniTimer(plat::Timer& sender);
  void AskNextQuestion();
  void QueueQuestion();
  void pocitadlo_podkladClick(plat::Control& sender);
  void zkouseni_tiboraClick(plat::Control& sender);

  // Hit test and answers (answers.cpp).
  int HitTest(int x, int y) const;
  plat::Image* HitMap(int set) const;
  void podkladMouseMove(plat::Control& sender, plat::ShiftState shift, int x, int y);
  void podkladMouseDown(plat::Control& sender, plat::MouseButton button, plat::ShiftState shift, int x, int y);

  // Sound (effects.cpp, speech_queue.cpp).
  void StopSpeech();
  void wav_spoustecTimer(plat::Timer& sender);
  void playlist_trackerTimer(plat::Timer& sender);
  void Midi_spoustecTimer(plat::Timer& sender);
  // Whether a tick of each now would change nothing (plat::Timer::Idle): the program then sleeps.
  bool wav_spoustecIdle(const plat::Timer& t) const;
  bool playlist_trackerIdle() const;
  bool Midi_spoustecIdle() const;
  void OpenMusic();
  void CloseMusic();
  // Appends an item to the speech queue and switches the queue timer on.
  void Speak(const std::string& item);
  // Counts removals from the head of the speech queue: a queue tick that pumped messages plays
  // the item it took only while this is unchanged, i.e. while that item is still the one at the head.
  uint64_t SpeechHeadEpoch = 0;

  // The short delay: DelayTicks, delay_bm, and a wait that also ends on skip, quit or a switch.
  void ShortDelay();

  // A parent's session limit (session.cpp). Once it is over, the next question is a goodbye instead;
  // while the goodbye is said the scene buttons, the intro picture and the score do nothing.
  void StartSessionLimit();
  void casovy_limitTimer(plat::Timer& sender);
  bool SessionOver() const;
  bool SayingGoodbye() const;
  void SayGoodbye();
  // A changed limit counts from now.
  void RestartSessionLimit();

  // The parents' page (parents.cpp): opened by the gate (the parents' key combination held for
  // brana_rodicu's 3 s: "the parents' gate") or the desktop's parents' entry; what it saves takes
  // effect at once.
  void StartParentsGate();
  void brana_rodicuTimer(plat::Timer& sender);
  void OpenParentsPage();
  plat::Timer* brana_rodicu = nullptr;
  // Told when the page changed what a parent has set (the access layer takes it in).
  std::function<void()> ParentsChanged;

 private:
  void BuildLayout();  // layout_main.cpp
  enum class SessionPhase { Running, Over, Goodbye };
  SessionPhase session_ = SessionPhase::Running;
  bool parents_page_open_ = false;
  int gate_hook_ = 0;
  bool first_try_ = true;  // no wrong animal clicked yet for the question in play (the answers record)
};

// The one main window.
extern Tform_ozzel* form_ozzel;

}  // namespace ozzel
