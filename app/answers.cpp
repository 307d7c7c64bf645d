// Judging a click on the scene through the set's hit map: praise, a wrong animal, or a miss.
#include "app/ozz_main.h"
#include "game/colour_codes.h"
#include "game/names.h"
#include "game/rules.h"
#include "media/answers_store.h"
#include "media/technic2.h"
#include "platform/ui/application.h"

namespace ozzel {

plat::Image* Tform_ozzel::HitMap(int set) const {
  switch (set) {
    case 1: return RGB_doma;
    case 2: return RGB_uzitecna;
    case 3: return RGB_lesni;
    case 4: return RGB_safari;
    default: return nullptr;
  }
}

static std::optional<plat::Rgb> MapPixel(const Tform_ozzel& f, int x, int y) {
  plat::Image* map = f.HitMap(shared.CurrentSet);
  if (!map) return std::nullopt;
  return map->Picture().PixelAt(x, y);
}

int Tform_ozzel::HitTest(int x, int y) const { return game::AnimalCode(MapPixel(*this, x, y)); }

void Tform_ozzel::podkladMouseMove(plat::Control&, plat::ShiftState, int x, int y) {
  podklad->SetCursor(game::IsBackground(MapPixel(*this, x, y)) ? plat::crArrow : plat::crHand);
}

// One answer, end to end:
// 1. The click. The layout binds the scene podklad's mouse-down (and the praise picture preview's, which
//    lies over it) to this handler; it counts only while a question awaits its answer (AwaitingAnswer).
// 2. The hit map. HitTest reads the pixel under the click in the scene's hidden twin, the hit map
//    (RGB_doma ... RGB_safari, chosen by HitMap), and game::AnimalCode turns its exact colour into the
//    animal drawn there, 0 for none.
// 3. The verdict. game::Judge compares that animal with the question's: a miss (a miss recording and
//    the question again), a wrong animal (oz_bad, the animal clicked, the question again, the wrong
//    count), or the right one (the praise, the right count, then the next question).
// 4. The speech queue. Nothing is played here: Speak appends file names to playlist, a hidden list box,
//    and switches on playlist_tracker, whose tick (speech_queue.cpp) opens the head item on the WAV
//    channel once it is free, plays it and removes it.
// 5. The sound. WavPlayer plays through the platform's audio: SDL_mixer in the real program, a fake
//    with the file's real duration in ozzel-sim, whose trace shows "wav open PATH" and "wav play".
// After the right answer this handler waits until the praise has been spoken, then switches
// pozadavek_na_zadani on, which asks the next question through the same queue.
void Tform_ozzel::podkladMouseDown(plat::Control&, plat::MouseButton, plat::ShiftState, int x, int y) {
  if (!shared.AwaitingAnswer || shared.AskBusy || shared.SwitchBusy || shared.SwitchPending || shared.ClickBusy) return;
  BusyScope busy(shared.ClickBusy);

  StopSpeech();
  int n = HitTest(x, y);
  const std::string& letter = game::SetLetters.at(shared.CurrentSet);

  game::Verdict verdict = game::Judge(n, shared.Questions[shared.CurrentQuestion].animal);

  if (verdict == game::Verdict::Miss) {
    shared.MissIndex = uint8_t(game::NextInTurn(shared.MissIndex, game::kMissRecordings));
    Speak(technic2.DataDir + game::MissSound(shared.MissIndex));
    QueueQuestion();
    app().ProcessMessages();
    return;
  }

  shared.SkipKey = 0;
  if (verdict == game::Verdict::Wrong) {
    Speak(technic2.DataDir + game::WrongSound());
    Speak(technic2.DataDir + game::WrongAnimalSound(letter, n));
    ++shared.BadCount;
    first_try_ = false;
    lbl_spatne->SetCaption(std::to_string(shared.BadCount));
    QueueQuestion();
    return;
  }

  shared.AwaitingAnswer = false;
  answers.Note(letter, n, first_try_);
  try {
    preview->LoadFromFile(technic2.DataDir + game::AnimalPicture(shared.CurrentSet, n));
  } catch (const plat::GdiError&) {
    // The praise runs with whatever the preview last held.
  }

  ShortDelay();
  if (shared.QuitRequested || shared.SwitchPending) return;

  preview->Show();
  shared.PraiseIndex = uint8_t(game::NextInTurn(shared.PraiseIndex, game::kPraiseRecordings));
  Speak(technic2.DataDir + game::PraiseIntro());
  Speak(technic2.DataDir + game::PraiseSound(shared.PraiseIndex));
  Speak(technic2.DataDir + game::AnimalName(letter, n));
  ++shared.GoodCount;
  lbl_dobre->SetCaption(std::to_string(shared.GoodCount));

  stit->SetHeight(400);
  stit->Show();
  shared.SkipKey = 0;

  app().PumpWhile([this] {
    playlist_tracker->SetEnabled(true);
    if (shared.QuitRequested || shared.SwitchPending) return false;
    bool speaking = WavPlayer->Mode() == plat::MciMode::Playing && shared.SkipKey != 27;
    return !playlist->Items.empty() || speaking;
  });
  if (shared.QuitRequested || shared.SwitchPending) return;

  ShortDelay();

  shared.SkipKey = 0;
  stit->Hide();
  StopSpeech();
  StopEffect();
  preview->Hide();
  pozadavek_na_zadani->SetEnabled(true);
}

}  // namespace ozzel
