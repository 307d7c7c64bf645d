// The main-window unit: the form class Tform_ozzel, its controls and timers, and the shared state.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "game/sets.h"
#include "platform/audio/media_player.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"

namespace ozzel {

class TToolbarButton97;
class TAVI_orvel1;

// Shared state of the main-window unit; all start at zero or false.
extern bool QuitRequested;
extern uint8_t SkipKey;
extern bool SkipRequested;
extern int32_t DelayTicks;
extern int32_t PendingIconSound;
extern int32_t LastIconSound;
extern bool SwitchPending;
extern uint8_t RequestedSet;
extern uint8_t CurrentSet;
extern bool SwitchBusy, AskBusy, ClickBusy, IntroClickBusy;
extern bool AwaitingAnswer;
extern game::QuestionList Questions;
extern uint8_t QuestionCount;
extern uint8_t CurrentQuestion;
extern int32_t GoodCount, BadCount;
extern uint8_t PraiseIndex, MissIndex;
extern bool TrackerBusy;
extern bool SilentItem;
extern bool BackgroundReleased;
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

// Set by the simulator and tests: a fixed seed instead of the clock.
extern std::optional<uint32_t> g_seed_override;

// Resets the shared state to its start values (a fresh program run in the same process).
void ResetSharedState();
// Frees the string tables and the questions' letters (the unit's finalisation).
void ozz_main_Finalize();

class Tform_ozzel : public plat::Form {
 public:
  explicit Tform_ozzel(plat::Application& app);
  ~Tform_ozzel() override;

  // Graphic controls, bottom to top.
  plat::Image* pocitadlo_podklad = nullptr;
  plat::Image* roh_PH = nullptr;
  plat::Image* roh_LH = nullptr;
  TToolbarButton97* BTN_Konec = nullptr;
  plat::Image* roh_LD = nullptr;
  plat::Image* roh_PD = nullptr;
  plat::Label* label4 = nullptr;
  plat::Image* stit = nullptr;
  TToolbarButton97* btn_obraz1 = nullptr;
  TToolbarButton97* btn_obraz2 = nullptr;
  TToolbarButton97* btn_obraz3 = nullptr;
  TToolbarButton97* btn_obraz4 = nullptr;
  plat::Image* podklad = nullptr;
  plat::Image* RGB_lesni = nullptr;
  plat::Image* RGB_uzitecna = nullptr;
  plat::Image* RGB_safari = nullptr;
  plat::Image* RGB_doma = nullptr;
  plat::Label* lbl_dobre = nullptr;
  plat::Label* lbl_spatne = nullptr;
  plat::Image* preview = nullptr;
  plat::Label* dvojtecka = nullptr;
  plat::Image* divadlo = nullptr;
  // Windowed controls, bottom to top.
  plat::Panel* oddeleni = nullptr;
  plat::ListBox* playlist = nullptr;
  TAVI_orvel1* zkouseni_tibora = nullptr;
  plat::Panel* oddeleni2 = nullptr;
  plat::Panel* oddeleni3 = nullptr;
  // The two media channels.
  std::unique_ptr<plat::MediaPlayer> MIDIPlayer, WavPlayer;
  // Timers.
  plat::Timer* delay_bm = nullptr;
  plat::Timer* Midi_spoustec = nullptr;
  plat::Timer* wav_spoustec = nullptr;
  plat::Timer* starter = nullptr;
  plat::Timer* playlist_tracker = nullptr;
  plat::Timer* uvodni_blikajici_ikony = nullptr;
  plat::Timer* pozadavek_na_zadani = nullptr;
  plat::Timer* pozadavek_na_prepnuti_sady = nullptr;

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

  // Scene switching (game/switching.cpp).
  void divadloMouseDown(plat::Control& sender, plat::MouseButton button, plat::ShiftState shift, int x, int y);
  void pozadavek_na_prepnuti_sadyTimer(plat::Timer& sender);

  // Quiz and score (game/quiz.cpp).
  void pozadavek_na_zadaniTimer(plat::Timer& sender);
  void AskNextQuestion();
  void QueueQuestion();
  void pocitadlo_podkladClick(plat::Control& sender);
  void zkouseni_tiboraClick(plat::Control& sender);

  // Hit test and answers (game/answers.cpp).
  int HitTest(int x, int y) const;
  plat::Image* HitMap(int set) const;
  void podkladMouseMove(plat::Control& sender, plat::ShiftState shift, int x, int y);
  void podkladMouseDown(plat::Control& sender, plat::MouseButton button, plat::ShiftState shift, int x, int y);

  // Sound (media/effects.cpp, media/speech_queue.cpp).
  void StopSpeech();
  void wav_spoustecTimer(plat::Timer& sender);
  void playlist_trackerTimer(plat::Timer& sender);
  void Midi_spoustecTimer(plat::Timer& sender);
  void OpenMusic();
  void CloseMusic();
  // Appends an item to the speech queue and switches the queue timer on.
  void Speak(const std::string& item);
  // Counts removals from the head of the speech queue: a queue tick that pumped messages plays
  // the item it took only while this is unchanged, i.e. while that item is still the one at the head.
  uint64_t SpeechHeadEpoch = 0;

  // The short delay: DelayTicks, delay_bm, and a wait that also ends on skip, quit or a switch.
  void ShortDelay();

 private:
  void BuildLayout();  // layout_main.cpp
};

// The one main window.
extern Tform_ozzel* form_ozzel;

}  // namespace ozzel
