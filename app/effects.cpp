// Orderly silence and the sound-launch timer: examiner animation, quit sequence, button sounds.
#include "app/ozz_main.h"
#include "controls/avi_delp.h"
#include "game/names.h"
#include "media/technic2.h"
#include "platform/ui/application.h"

namespace ozzel {

void Tform_ozzel::StopSpeech() {
  playlist->Items.clear();
  ++SpeechHeadEpoch;
  WavPlayer->Close();
}

static bool Playing(const plat::MediaPlayer& p) { return p.Mode() == plat::MciMode::Playing; }

// Each condition below is one the tick would act on; the pointer resting on a button counts its
// ticks only up to the sixth, so once past it more of them change nothing.
bool Tform_ozzel::wav_spoustecIdle(const plat::Timer& t) const {
  if (shared.QuitRequested) return false;
  const bool playing = WavPlayer->PeekMode() == plat::MciMode::Playing;
  if (zkouseni_tibora->Loading() || zkouseni_tibora->Active() != (playing && !shared.SilentItem)) return false;
  if (shared.AwaitingAnswer && uvodni_blikajici_ikony->Enabled()) return false;
  if (playing) return true;
  if (shared.PendingIconSound == 0) return t.Tag == 0;
  return shared.PendingIconSound == shared.LastIconSound && t.Tag > 5;
}

void Tform_ozzel::wav_spoustecTimer(plat::Timer& t) {
  try {
    zkouseni_tibora->SetActive(Playing(*WavPlayer) && !shared.SilentItem);
  } catch (const EAnimateError&) {
    // A clip that cannot be played leaves the examiner still.
  }

  app().ProcessMessages();

  if (shared.QuitRequested) {
    // One step per tick: speech, then music, then the music timer, then the window.
    if (Playing(*WavPlayer)) {
      WavPlayer->Stop();
      return;
    }
    if (Playing(*MIDIPlayer)) {
      MIDIPlayer->Stop();
      return;
    }
    if (Midi_spoustec->Enabled()) {
      Midi_spoustec->SetEnabled(false);
      return;
    }
    Close();
    return;
  }

  if (shared.AwaitingAnswer) uvodni_blikajici_ikony->SetEnabled(false);

  if (Playing(*WavPlayer)) return;

  // A button word is said once the pointer has rested on the button for more than five ticks.
  ++t.Tag;
  if (shared.PendingIconSound == 0) {
    t.Tag = 0;
    return;
  }
  if (shared.PendingIconSound == shared.LastIconSound) return;
  if (t.Tag <= 5) return;
  shared.LastIconSound = shared.PendingIconSound;
  t.Tag = 0;
  if (technic2.EffectsOn) {
    int saved = app().screen().Cursor();
    app().screen().SetCursor(plat::crHourGlass);
    std::string file = game::ButtonSound(shared.PendingIconSound);
    if (!file.empty()) PlayEffect(technic2.DataDir + file, plat::SND_ASYNC | plat::SND_NOSTOP);
    shared.PendingIconSound = 0;
    app().screen().SetCursor(saved);
  }
}

}  // namespace ozzel
