// The main window: creation, skip inputs, the short delay, the exit button and shutdown.
#include "app/ozz_main.h"

#include <ctime>

#include "app/pozadi.h"
#include "controls/avi_delp.h"
#include "game/names.h"
#include "game/random.h"
#include "media/technic2.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"
#include "resources/resources.h"

namespace ozzel {

bool QuitRequested = false;
uint8_t SkipKey = 0;
bool SkipRequested = false;
int32_t DelayTicks = 0;
int32_t PendingIconSound = 0;
int32_t LastIconSound = 0;
bool SwitchPending = false;
uint8_t RequestedSet = 0;
uint8_t CurrentSet = 0;
bool SwitchBusy = false, AskBusy = false, ClickBusy = false, IntroClickBusy = false;
bool AwaitingAnswer = false;
game::QuestionList Questions;
uint8_t QuestionCount = 0;
uint8_t CurrentQuestion = 0;
int32_t GoodCount = 0, BadCount = 0;
uint8_t PraiseIndex = 0, MissIndex = 0;
bool TrackerBusy = false;
bool SilentItem = false;
bool BackgroundReleased = false;
const std::array<std::string, 7> ModeNames = {"Not ready", "Stopped", "Playing", "Recording",
                                              "Seeking",   "Paused",  "Open"};

Tform_ozzel* form_ozzel = nullptr;
std::optional<uint32_t> g_seed_override;

void ResetSharedState() {
  QuitRequested = false;
  SkipKey = 0;
  SkipRequested = false;
  DelayTicks = 0;
  PendingIconSound = LastIconSound = 0;
  SwitchPending = false;
  RequestedSet = CurrentSet = 0;
  SwitchBusy = AskBusy = ClickBusy = IntroClickBusy = false;
  AwaitingAnswer = false;
  Questions = {};
  QuestionCount = CurrentQuestion = 0;
  GoodCount = BadCount = 0;
  PraiseIndex = MissIndex = 0;
  TrackerBusy = SilentItem = BackgroundReleased = false;
}

void ozz_main_Finalize() { Questions = {}; }

Tform_ozzel::Tform_ozzel(plat::Application& app) : plat::Form(app, "form_ozzel") {
  form_ozzel = this;
  SetLoading(true);
  BuildLayout();
  SetLoading(false);
  app.SetMainForm(this);
  if (OnCreate) OnCreate();
}

Tform_ozzel::~Tform_ozzel() {
  // OnDestroy runs in the base destructor, while the members below still exist.
  if (OnDestroy) {
    auto destroy = std::move(OnDestroy);
    OnDestroy = nullptr;
    destroy();
  }
  WavPlayer.reset();
  MIDIPlayer.reset();
  if (form_ozzel == this) form_ozzel = nullptr;
}

void Tform_ozzel::FormCreate() {
  // Double buffering is how every form paints here; nothing to switch on.
  game::Randomize(g_seed_override ? *g_seed_override : uint32_t(std::time(nullptr)));

  roh_LD->SetTransparentColor(plat::kNavy);
  roh_LD->SetTransparent(true);

  playlist->Items.clear();
  SilentItem = false;
  BackgroundReleased = false;

  if (app().screen().Width() < 641) {
    roh_LD->Hide();
    roh_PD->Hide();
  }

  QuitRequested = false;
  AwaitingAnswer = false;

  stit->SetBounds(0, 0, stit->Width(), stit->Height());

  try {
    zkouseni_tibora->SetFileName(DataDir + game::ExaminerClip());
  } catch (const std::exception&) {
    plat::MessageBox("Nenalezena animace mluviciho Tibory...");
  }

  RequestedSet = 0;
  SwitchPending = false;

  // One unit: the first cursor that cannot be loaded leaves this and the later slots as they are.
  static const std::pair<int, const char*> kCursors[] = {
      {plat::crArrow, "sipka1"}, {5, "sipka1"},       {6, "sipka2"},
      {plat::crHand, "ruka1"},   {plat::crHourGlass, "hodiny1"}, {9, "pastelka"},
  };
  for (auto [slot, name] : kCursors) {
    auto img = res::Cursor(name);
    if (!img) break;
    app().screen().SetCursorImage(slot, img);
  }

  // Every picture now lives in its control and every cursor in the screen's table: the loader's
  // copies would only double the memory the hit maps take.
  res::ClearCache();

  if (MusicOn) OpenMusic();

  app().screen().SetCursor(plat::crDefault);
}

void Tform_ozzel::FormKeyPress(char& key) {
  if (key == 27) {
    SkipKey = 27;
    SkipRequested = true;
  }
}

void Tform_ozzel::stitClick(plat::Control&) {
  SkipKey = 27;
  SkipRequested = true;
}

void Tform_ozzel::previewClick(plat::Control& sender) { stitClick(sender); }

void Tform_ozzel::delay_bmTimer(plat::Timer& t) {
  ++t.Tag;
  if (t.Tag > DelayTicks) {
    t.SetEnabled(false);
    t.Tag = 0;
  }
}

void Tform_ozzel::ShortDelay() {
  DelayTicks = 5;
  delay_bm->SetEnabled(true);
  app().PumpWhile([this] {
    return delay_bm->Enabled() && SkipKey != 27 && !QuitRequested && !SwitchPending;
  });
}

void Tform_ozzel::BTN_KonecMouseEnter(plat::Control&) { PendingIconSound = 8; }

void Tform_ozzel::BTN_KonecClick(plat::Control&) {
  Midi_spoustec->SetEnabled(false);
  QuitRequested = true;
}

void Tform_ozzel::FormCloseQuery(bool& can_close) {
  app().screen().SetCursor(plat::crHourGlass);
  Repaint();

  playlist_tracker->SetEnabled(false);
  pozadavek_na_prepnuti_sady->SetEnabled(false);
  pozadavek_na_zadani->SetEnabled(false);
  SwitchPending = false;
  wav_spoustec->SetEnabled(false);

  StopEffect();
  StopSpeech();
  try {
    zkouseni_tibora->SetActive(false);
  } catch (const std::exception&) {
  }
  try {
    if (WavPlayer->Mode() == plat::MciMode::Playing) WavPlayer->Stop();
  } catch (const std::exception&) {
  }
  try {
    WavPlayer->Close();
  } catch (const std::exception&) {
  }

  app().ProcessMessages();

  if (!BackgroundReleased) {
    BackgroundReleased = true;
    if (!ReleaseBackground()) plat::MessageBox("BM4-Ozzel: Nelze uvolnit pozadi aplikace...");
  }

  Midi_spoustec->SetEnabled(false);
  can_close = true;
}

void Tform_ozzel::FormDestroy() {
  if (MusicOn) CloseMusic();
}

}  // namespace ozzel
