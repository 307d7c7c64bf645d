// The speech queue (WAV files spoken one after another) and the looping background music.
#include "app/ozz_main.h"
#include "game/names.h"
#include "game/words.h"
#include "media/technic2.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"

namespace ozzel {

void Tform_ozzel::Speak(const std::string& item) {
  playlist->Items.push_back(item);
  playlist_tracker->SetEnabled(true);
}

// Removes the head of the queue; the head's identity changes with it.
static void DropFirst(plat::ListBox& queue, uint64_t& epoch) {
  // The queue may have been emptied by a handler that ran while we pumped.
  if (!queue.Items.empty()) queue.Items.erase(queue.Items.begin());
  ++epoch;
}

static bool PlayedOut(plat::MediaPlayer& p) {
  return p.IsOpen() && p.Mode() == plat::MciMode::Stopped && p.device().PositionMs() >= p.device().LengthMs();
}

bool Tform_ozzel::playlist_trackerIdle() const {
  if (shared.QuitRequested) return true;
  if (playlist->Items.empty()) return !shared.TrackerBusy;
  const plat::MciMode mode = WavPlayer->PeekMode();
  if (label4->Caption() != ModeNames.at(size_t(mode))) return false;
  return shared.TrackerBusy || mode == plat::MciMode::Playing;
}

void Tform_ozzel::playlist_trackerTimer(plat::Timer&) {
  if (shared.QuitRequested) return;
  if (playlist->Items.empty()) {
    shared.TrackerBusy = false;
    return;
  }
  label4->SetCaption(ModeNames.at(size_t(WavPlayer->Mode())));
  if (shared.TrackerBusy) return;
  BusyScope busy(shared.TrackerBusy);

  if (WavPlayer->Mode() == plat::MciMode::Playing) return;

  std::string item = playlist->Items.front();
  shared.SilentItem = !item.empty() && item[0] == '&';
  if (shared.SilentItem) item.erase(0, 1);

  // Handlers run in every pump below: a click, a switch or a new question may empty and refill the
  // queue. The item taken is opened, played and removed only while it is still the head; once it is
  // gone, the tick ends and leaves the channel to whoever dropped it (StopSpeech closed it).
  const uint64_t taken = SpeechHeadEpoch;
  auto still_head = [&] { return SpeechHeadEpoch == taken && !playlist->Items.empty(); };

  WavPlayer->FileName = item;
  try {
    WavPlayer->Close();
    app().ProcessMessages();
    if (!still_head()) return;
    WavPlayer->FileName = item;  // the pump may have let another handler use the channel
    WavPlayer->Open();
  } catch (const plat::EMCIDeviceError&) {
    try {
      app().ProcessMessages();
      if (!still_head()) return;
      WavPlayer->Close();
      app().ProcessMessages();
      if (!still_head()) return;
      WavPlayer->FileName = item;
      WavPlayer->Open();
    } catch (const plat::EMCIDeviceError&) {
      if (still_head()) DropFirst(*playlist, SpeechHeadEpoch);
      return;
    }
  }

  for (int i = 0; i < 3; ++i) app().ProcessMessages();

  auto short_waits = [this] {
    shared.SkipRequested = false;
    app().PumpWhile([this] { return WavPlayer->Mode() == plat::MciMode::Open && !shared.SkipRequested; });
    shared.SkipRequested = false;
    app().PumpWhile([this] { return WavPlayer->Mode() == plat::MciMode::Seeking && !shared.SkipRequested; });
  };
  short_waits();
  if (!still_head()) return;

  try {
    shared.SkipRequested = false;
    WavPlayer->Play();
    StopEffect();
    short_waits();
    // An item leaves the queue once its playback has started; a refused play is tried again later.
    // A recording with no samples has played out before it can be seen playing: it is done too,
    // or it would be played again on every tick and the queue would never drain.
    if (still_head() && (WavPlayer->Mode() == plat::MciMode::Playing || PlayedOut(*WavPlayer)))
      DropFirst(*playlist, SpeechHeadEpoch);
  } catch (const plat::EMCIDeviceError&) {
    if (still_head()) DropFirst(*playlist, SpeechHeadEpoch);
  }
}

void Tform_ozzel::OpenMusic() {
  if (!technic2.MusicOn) return;
  MIDIPlayer->FileName = technic2.DataDir + game::MusicFile();
  try {
    MIDIPlayer->Close();
    MIDIPlayer->Open();
  } catch (const plat::EMCIDeviceError&) {
    plat::MessageBox(game::CurrentWords().no_music + technic2.DataDir + game::MusicFile());
  }
}

bool Tform_ozzel::Midi_spoustecIdle() const {
  return !technic2.MusicOn || MIDIPlayer->PeekMode() != plat::MciMode::Stopped;
}

void Tform_ozzel::Midi_spoustecTimer(plat::Timer&) {
  // Stopped means open: playing it again cannot fail.
  if (technic2.MusicOn && MIDIPlayer->Mode() == plat::MciMode::Stopped) MIDIPlayer->Play();
}

void Tform_ozzel::CloseMusic() {
  if (!technic2.MusicOn) return;
  Midi_spoustec->SetEnabled(false);
  // The music may never have opened; there is nothing to stop then.
  IgnoreChannelError([this] { MIDIPlayer->Stop(); });
  MIDIPlayer->Close();
}

}  // namespace ozzel
