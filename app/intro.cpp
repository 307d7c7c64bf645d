// The intro (picture, examiner, spoken introduction with a skippable wait) and the scene menu.
#include "app/ozz_main.h"

#include <cstdlib>

#include "controls/avi_delp.h"
#include "controls/tb97ctls.h"
#include "game/names.h"
#include "game/words.h"
#include "media/technic2.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"

namespace ozzel {

void Tform_ozzel::startertimerTimer(plat::Timer& t) {
  t.SetEnabled(false);
  app().screen().SetCursor(plat::crDefault);
  // The desktop's "Settings for parents": the page comes first, the game after it.
  if (const char* p = std::getenv("OZZEL_PARENTS"); p && std::string(p) == "1") {
    OpenParentsPage();
    // Closed while the page was open: no intro, the program ends.
    if (app().QuitPending()) return;
  }

  // The intro picture takes clicks from the first moment: a child who chose a scene before the intro
  // began is not sent back to it (the examiner over the scene, the first question cut off).
  if (shared.SwitchPending || shared.CurrentSet != 0) {
    for (plat::Control* c : std::initializer_list<plat::Control*>{oddeleni, BTN_Konec, btn_obraz1, btn_obraz2,
                                                                  btn_obraz3, btn_obraz4})
      c->Show();
    Midi_spoustec->SetEnabled(true);
    playlist_tracker->SetEnabled(true);
    return;
  }

  try {
    divadlo->LoadFromFile(technic2.DataDir + game::IntroPicture());
  } catch (const plat::GdiError&) {
    // No picture, no message: the intro goes on over an empty area.
  }

  oddeleni->Show();
  BTN_Konec->Show();
  btn_obraz1->Show();
  btn_obraz2->Show();
  btn_obraz3->Show();
  btn_obraz4->Show();
  zkouseni_tibora->Show();

  stit->SetHeight(420);
  shared.SkipKey = 0;
  StopEffect();
  stit->Show();
  shared.SkipKey = 0;

  try {
    WavPlayer->Close();
    app().ProcessMessages();
    WavPlayer->FileName = technic2.DataDir + game::IntroSpeech();
    WavPlayer->Open();
    WavPlayer->Play();
    // A scene switch during the introduction closes the channel (Not ready): that ends the wait
    // too, so the music and the queue start with the quiz instead of waiting for a skip.
    app().PumpWhile([this] {
      plat::MciMode m = WavPlayer->Mode();
      return m != plat::MciMode::Stopped && m != plat::MciMode::NotReady && shared.SkipKey != 27 &&
             !shared.QuitRequested && !app().QuitPending();
    });
  } catch (const plat::EMCIDeviceError&) {
    plat::MessageBox(game::CurrentWords().no_intro_speech);
  }

  if (shared.QuitRequested || app().QuitPending()) {
    IgnoreChannelError([this] { WavPlayer->Stop(); });
    return;
  }

  stit->Hide();
  stit->SetHeight(479);

  Midi_spoustec->SetEnabled(true);
  playlist_tracker->SetEnabled(true);
  uvodni_blikajici_ikony->SetEnabled(true);
}

void Tform_ozzel::uvodni_blikajici_ikonyTimer(plat::Timer& t) {
  t.Tag = t.Tag == 0 ? 1 : 0;
  auto mode = t.Tag == 1 ? TButtonDisplayMode::dmGlyphOnly : TButtonDisplayMode::dmTextOnly;
  for (TToolbarButton97* b : {btn_obraz1, btn_obraz2, btn_obraz3, btn_obraz4}) b->SetDisplayMode(mode);
}

static void EnterSceneButton(Tform_ozzel& f, int n) {
  shared.PendingIconSound = n;
  f.uvodni_blikajici_ikony->SetEnabled(false);
  for (TToolbarButton97* b : {f.btn_obraz1, f.btn_obraz2, f.btn_obraz3, f.btn_obraz4})
    b->SetDisplayMode(TButtonDisplayMode::dmGlyphOnly);
}

void Tform_ozzel::btn_obraz1MouseEnter(plat::Control&) { EnterSceneButton(*this, 1); }
void Tform_ozzel::btn_obraz2MouseEnter(plat::Control&) { EnterSceneButton(*this, 2); }
void Tform_ozzel::btn_obraz3MouseEnter(plat::Control&) { EnterSceneButton(*this, 3); }
void Tform_ozzel::btn_obraz4MouseEnter(plat::Control&) { EnterSceneButton(*this, 4); }

void Tform_ozzel::btn_obraz4MouseExit(plat::Control&) { shared.PendingIconSound = 0; }

void Tform_ozzel::btn_obraz1Click(plat::Control& sender) {
  if (SayingGoodbye()) return;
  shared.RequestedSet = uint8_t(sender.Tag);
  shared.SwitchPending = true;
  pozadavek_na_prepnuti_sady->SetEnabled(true);
}

}  // namespace ozzel
