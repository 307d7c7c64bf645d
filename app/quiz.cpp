// Asking questions through the speech queue, the score click and the examiner click.
#include "app/ozz_main.h"
#include "game/names.h"
#include "game/random.h"
#include "media/technic2.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"

namespace ozzel {

void Tform_ozzel::pozadavek_na_zadaniTimer(plat::Timer& t) {
  if (SwitchBusy || AskBusy || ClickBusy) return;
  t.SetEnabled(false);
  AskNextQuestion();
}

void Tform_ozzel::AskNextQuestion() {
  if (SwitchPending || AskBusy) return;
  BusyScope busy(AskBusy);
  StopEffect();
  StopSpeech();
  ++CurrentQuestion;
  if (CurrentQuestion > QuestionCount) CurrentQuestion = 1;
  QueueQuestion();
  AwaitingAnswer = true;
}

void Tform_ozzel::QueueQuestion() {
  if (SwitchBusy) return;
  if (CurrentQuestion < 1 || CurrentQuestion > 100) return;
  const game::totazka& e = Questions[CurrentQuestion];
  if (e.kind < 1 || e.kind > 3) return;
  bool lead_in_a = e.kind == 3 && game::Random(1000) < 500;
  for (const std::string& f : game::QuestionFiles(e, lead_in_a)) playlist->Items.push_back(DataDir + f);
  playlist_tracker->SetEnabled(true);
}

void Tform_ozzel::pocitadlo_podkladClick(plat::Control&) {
  StopSpeech();
  Speak(DataDir + game::ScoreSound());
  if (AwaitingAnswer) QueueQuestion();
}

void Tform_ozzel::zkouseni_tiboraClick(plat::Control&) {
  try {
    if (WavPlayer->Mode() == plat::MciMode::Playing) return;
  } catch (const std::exception&) {
  }
  try {
    WavPlayer->Close();
  } catch (const std::exception&) {
  }
  app().ProcessMessages();
  try {
    WavPlayer->FileName = DataDir + game::IntroSpeech();
    WavPlayer->Open();
    WavPlayer->Play();
  } catch (const std::exception&) {
    plat::MessageBox("Nelze prehrat zvuk s uvodnim proslovem.");
  }
  app().ProcessMessages();
  if (QuitRequested) {
    try {
      WavPlayer->Stop();
    } catch (const std::exception&) {
    }
  }
}

}  // namespace ozzel
