// Scene switching: the intro-picture quarters and the switch timer that lays out the play screen.
#include "app/ozz_main.h"
#include "controls/avi_delp.h"
#include "controls/tb97ctls.h"
#include "game/names.h"
#include "game/random.h"
#include "game/rules.h"
#include "media/technic2.h"
#include "platform/ui/application.h"

namespace ozzel {

void Tform_ozzel::divadloMouseDown(plat::Control&, plat::MouseButton, plat::ShiftState, int x, int y) {
  if (pocitadlo_podklad->Visible() || shared.IntroClickBusy || SayingGoodbye()) return;
  BusyScope busy(shared.IntroClickBusy);

  if (WavPlayer->Mode() == plat::MciMode::Playing) WavPlayer->Stop();
  shared.SkipKey = 27;

  shared.RequestedSet = uint8_t(game::SetOfQuarter(x, y, podklad->Width(), podklad->Height()));
  shared.SwitchPending = true;
  pozadavek_na_prepnuti_sady->SetEnabled(true);
}

void Tform_ozzel::pozadavek_na_prepnuti_sadyTimer(plat::Timer& t) {
  if (shared.AskBusy || shared.ClickBusy || shared.SwitchBusy) return;
  BusyScope busy(shared.SwitchBusy);
  shared.SwitchPending = false;
  t.SetEnabled(false);

  StopSpeech();
  StopEffect();

  shared.AwaitingAnswer = false;
  shared.CurrentSet = shared.RequestedSet;

  divadlo->Hide();
  pocitadlo_podklad->Show();
  lbl_dobre->Show();
  lbl_spatne->Show();
  dvojtecka->Show();
  zkouseni_tibora->Hide();
  oddeleni3->Show();
  oddeleni2->Show();
  btn_obraz1->SetLeft(20);
  btn_obraz2->SetLeft(86);
  btn_obraz3->SetLeft(153);
  btn_obraz4->SetLeft(219);
  uvodni_blikajici_ikony->SetEnabled(false);
  for (TToolbarButton97* b : {btn_obraz1, btn_obraz2, btn_obraz3, btn_obraz4}) {
    b->SetDisplayMode(TButtonDisplayMode::dmGlyphOnly);
    b->SetNumGlyphs(5);
  }

  shared.QuestionCount = 0;
  shared.CurrentQuestion = 0;
  shared.GoodCount = 0;
  lbl_dobre->SetCaption("0");
  shared.BadCount = 0;
  lbl_spatne->SetCaption("0");

  shared.QuestionCount = game::BuildList(shared.Questions, shared.CurrentSet);
  game::Shuffle(shared.Questions, shared.QuestionCount, game::Random);
  game::SeparateNeighbours(shared.Questions, shared.QuestionCount);

  preview->Hide();
  if (shared.CurrentSet >= 1 && shared.CurrentSet <= 4) {
    try {
      podklad->LoadFromFile(technic2.DataDir + game::ScenePicture(shared.CurrentSet));
    } catch (const plat::GdiError&) {
      // The quiz starts anyway, over whatever the scene image held.
    }
  }

  podklad->Show();
  pozadavek_na_zadani->SetEnabled(true);
}

}  // namespace ozzel
