// The main window: creation, skip inputs, the short delay, the exit button and shutdown.
#include "app/ozz_main.h"

#include <ctime>

#include "app/pozadi.h"
#include "controls/avi_delp.h"
#include "game/names.h"
#include "game/words.h"
#include "game/random.h"
#include "media/parents.h"
#include "media/technic2.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"
#include "resources/resources.h"

namespace ozzel {

SharedState shared;
const std::array<std::string, 7> ModeNames = {"Not ready", "Stopped", "Playing", "Recording",
                                              "Seeking",   "Paused",  "Open"};

Tform_ozzel* form_ozzel = nullptr;
std::optional<uint32_t> g_seed_override;

void ozz_main_Finalize() { shared.Questions = {}; }

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
  if (gate_hook_) app().RemoveHook(gate_hook_);
  WavPlayer.reset();
  MIDIPlayer.reset();
  if (form_ozzel == this) form_ozzel = nullptr;
}

void Tform_ozzel::FormCreate() {
  game::Randomize(g_seed_override ? *g_seed_override : uint32_t(std::time(nullptr)));

  roh_LD->SetTransparentColor(plat::kNavy);
  roh_LD->SetTransparent(true);

  playlist->Items.clear();
  shared.SilentItem = false;
  shared.BackgroundReleased = false;

  if (app().screen().Width() < 641) {
    roh_LD->Hide();
    roh_PD->Hide();
  }

  shared.QuitRequested = false;
  shared.AwaitingAnswer = false;

  stit->SetBounds(0, 0, stit->Width(), stit->Height());

  try {
    zkouseni_tibora->SetFileName(technic2.DataDir + game::ExaminerClip());
  } catch (const EAnimateError&) {
    plat::MessageBox(game::CurrentWords().no_examiner_clip);
  }

  shared.RequestedSet = 0;
  shared.SwitchPending = false;

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

  // Untouched levels stay unset: the game sounds as it always did until a parent changes one. Before
  // the music opens: its failure box waits for a click while the intro already speaks.
  if (parents.MusicVolume != 100 || parents.SpeechVolume != 100)
    plat::SetLevels(int(parents.MusicVolume), int(parents.SpeechVolume));
  if (technic2.MusicOn) OpenMusic();
  StartSessionLimit();
  StartParentsGate();

  app().screen().SetCursor(plat::crDefault);
}

void Tform_ozzel::FormKeyPress(char& key) {
  if (key == 27) {
    shared.SkipKey = 27;
    shared.SkipRequested = true;
  }
}

void Tform_ozzel::stitClick(plat::Control&) {
  shared.SkipKey = 27;
  shared.SkipRequested = true;
}

void Tform_ozzel::previewClick(plat::Control& sender) { stitClick(sender); }

void Tform_ozzel::delay_bmTimer(plat::Timer& t) {
  ++t.Tag;
  if (t.Tag > shared.DelayTicks) {
    t.SetEnabled(false);
    t.Tag = 0;
  }
}

void Tform_ozzel::ShortDelay() {
  shared.DelayTicks = 5;
  delay_bm->SetEnabled(true);
  app().PumpWhile([this] {
    return delay_bm->Enabled() && shared.SkipKey != 27 && !shared.QuitRequested && !shared.SwitchPending;
  });
}

void Tform_ozzel::BTN_KonecMouseEnter(plat::Control&) { shared.PendingIconSound = 8; }

void Tform_ozzel::BTN_KonecClick(plat::Control&) {
  Midi_spoustec->SetEnabled(false);
  shared.QuitRequested = true;
}

void Tform_ozzel::FormCloseQuery(bool& can_close) {
  app().screen().SetCursor(plat::crHourGlass);
  Repaint();

  playlist_tracker->SetEnabled(false);
  pozadavek_na_prepnuti_sady->SetEnabled(false);
  pozadavek_na_zadani->SetEnabled(false);
  shared.SwitchPending = false;
  wav_spoustec->SetEnabled(false);

  StopEffect();
  StopSpeech();
  zkouseni_tibora->SetActive(false);
  if (WavPlayer->Mode() == plat::MciMode::Playing) WavPlayer->Stop();
  WavPlayer->Close();

  app().ProcessMessages();

  if (!shared.BackgroundReleased) {
    shared.BackgroundReleased = true;
    if (!ReleaseBackground()) plat::MessageBox(game::CurrentWords().background_not_released);
  }

  Midi_spoustec->SetEnabled(false);
  can_close = true;
}

void Tform_ozzel::FormDestroy() {
  if (technic2.MusicOn) CloseMusic();
}

}  // namespace ozzel
