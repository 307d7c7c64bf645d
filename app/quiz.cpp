// Asking questions through the speech queue, the score click and the examiner click.
#include "app/ozz_main.h"
#include "game/names.h"
#include "game/words.h"
#include "game/random.h"
#include "media/technic2.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"

namespace ozzel {

void Tform_ozzel::pozadavek_na_zadaniTimer(plat::Timer& t) {
  if (shared.SwitchBusy || shared.AskBusy || shared.ClickBusy) return;
  t.SetEnabled(false);
  AskNextQuestion();
}

void Tform_ozzel::AskNextQuestion() {
  if (shared.SwitchPending || shared.AskBusy) return;
  if (SessionOver()) {
    SayGoodbye();
    return;
  }
  BusyScope busy(shared.AskBusy);
  StopEffect();
  StopSpeech();
  ++shared.CurrentQuestion;
  if (shared.CurrentQuestion > shared.QuestionCount) shared.CurrentQuestion = 1;
  QueueQuestion();
  shared.AwaitingAnswer = true;
  first_try_ = true;
}

void Tform_ozzel::QueueQuestion() {
  if (shared.SwitchBusy) return;
  if (shared.CurrentQuestion < 1 || shared.CurrentQuestion > 100) return;
  const game::totazka& e = shared.Questions[shared.CurrentQuestion];
  if (e.kind < 1 || e.kind > 3) return;
  bool lead_in_a = e.kind == 3 && game::Random(1000) < 500;
  for (const std::string& f : game::QuestionFiles(e, lead_in_a)) playlist->Items.push_back(technic2.DataDir + f);
  playlist_tracker->SetEnabled(true);
}

void Tform_ozzel::pocitadlo_podkladClick(plat::Control&) {
  if (SayingGoodbye()) return;
  StopSpeech();
  Speak(technic2.DataDir + game::ScoreSound());
  if (shared.AwaitingAnswer) QueueQuestion();
}

void Tform_ozzel::zkouseni_tiboraClick(plat::Control&) {
  if (WavPlayer->Mode() == plat::MciMode::Playing) return;
  WavPlayer->Close();
  app().ProcessMessages();
  try {
    WavPlayer->FileName = technic2.DataDir + game::IntroSpeech();
    WavPlayer->Open();
    WavPlayer->Play();
  } catch (const plat::EMCIDeviceError&) {
    plat::MessageBox(game::CurrentWords().no_intro_speech);
  }
  app().ProcessMessages();
  if (shared.QuitRequested) IgnoreChannelError([this] { WavPlayer->Stop(); });
}

}  // namespace ozzel
