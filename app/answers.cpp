// Judging a click on the scene through the set's hit map: praise, a wrong animal, or a miss.
#include "app/ozz_main.h"
#include "game/colour_codes.h"
#include "game/names.h"
#include "game/rules.h"
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
  plat::Image* map = f.HitMap(CurrentSet);
  if (!map) return std::nullopt;
  return map->Picture().PixelAt(x, y);
}

int Tform_ozzel::HitTest(int x, int y) const { return game::AnimalCode(MapPixel(*this, x, y)); }

void Tform_ozzel::podkladMouseMove(plat::Control&, plat::ShiftState, int x, int y) {
  podklad->SetCursor(game::IsBackground(MapPixel(*this, x, y)) ? plat::crArrow : plat::crHand);
}

void Tform_ozzel::podkladMouseDown(plat::Control&, plat::MouseButton, plat::ShiftState, int x, int y) {
  if (!AwaitingAnswer || AskBusy || SwitchBusy || SwitchPending || ClickBusy) return;
  BusyScope busy(ClickBusy);

  StopSpeech();
  int n = HitTest(x, y);
  const std::string& letter = game::SetLetters.at(CurrentSet);

  game::Verdict verdict = game::Judge(n, Questions[CurrentQuestion].animal);

  if (verdict == game::Verdict::Miss) {
    MissIndex = uint8_t(game::NextInTurn(MissIndex, game::kMissRecordings));
    Speak(DataDir + game::MissSound(MissIndex));
    QueueQuestion();
    app().ProcessMessages();
    return;
  }

  SkipKey = 0;
  if (verdict == game::Verdict::Wrong) {
    Speak(DataDir + game::WrongSound());
    Speak(DataDir + game::WrongAnimalSound(letter, n));
    ++BadCount;
    lbl_spatne->SetCaption(std::to_string(BadCount));
    QueueQuestion();
    return;
  }

  AwaitingAnswer = false;
  try {
    preview->LoadFromFile(DataDir + game::AnimalPicture(CurrentSet, n));
  } catch (const std::exception&) {
    // The praise runs with whatever the preview last held.
  }

  ShortDelay();
  if (QuitRequested || SwitchPending) return;

  preview->Show();
  PraiseIndex = uint8_t(game::NextInTurn(PraiseIndex, game::kPraiseRecordings));
  Speak(DataDir + game::PraiseIntro());
  Speak(DataDir + game::PraiseSound(PraiseIndex));
  Speak(DataDir + game::AnimalName(letter, n));
  ++GoodCount;
  lbl_dobre->SetCaption(std::to_string(GoodCount));

  stit->SetHeight(400);
  stit->Show();
  SkipKey = 0;

  try {
    app().PumpWhile([this] {
      playlist_tracker->SetEnabled(true);
      if (QuitRequested || SwitchPending) return false;
      bool speaking = WavPlayer->Mode() == plat::MciMode::Playing && SkipKey != 27;
      return !playlist->Items.empty() || speaking;
    });
  } catch (const std::exception&) {
  }
  if (QuitRequested || SwitchPending) return;

  ShortDelay();

  SkipKey = 0;
  stit->Hide();
  StopSpeech();
  StopEffect();
  preview->Hide();
  pozadavek_na_zadani->SetEnabled(true);
}

}  // namespace ozzel
