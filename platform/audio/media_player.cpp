// TMediaPlayer-like channel over a MediaDevice: the open/close/play/stop rules and the trace lines.
#include "platform/audio/media_player.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/audio/own_voice.h"
#include "platform/fs/fs.h"
#include "platform/trace.h"

namespace plat {

namespace {

constexpr const char* kNoDevice = "No MCI device open";
constexpr const char* kUnknownType =
    "Cannot determine the device type from the given filename extension. Make sure the extension is valid.";

// Live channels in creation order; everything runs on the UI thread.
std::vector<MediaPlayer*>& Players() {
  static std::vector<MediaPlayer*> players;
  return players;
}

std::string LowerExtension(const std::string& path) {
  const size_t sep = path.find_last_of("\\/:");
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return {};
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

// The extensions MCI maps to a device of its own (waveaudio or sequencer).
bool KnownExtension(const std::string& ext) { return ext == "wav" || ext == "mid" || ext == "midi" || ext == "rmi"; }

}  // namespace

MediaPlayer::MediaPlayer(std::string name, std::string trace_name, std::unique_ptr<MediaDevice> device)
    : name_(std::move(name)), trace_(std::move(trace_name)), device_(std::move(device)) {
  Players().push_back(this);
}

MediaPlayer::~MediaPlayer() {
  Close();
  auto& p = Players();
  p.erase(std::remove(p.begin(), p.end(), this), p.end());
}

void MediaPlayer::Open() {
  Close();
  std::string error, take;
  bool ok = false;
  if (!KnownExtension(LowerExtension(FileName))) {
    error = kUnknownType;
  } else {
    const std::string host = fs::HostPath(FileName);
    // A spoken line the family has recorded plays in the family's voice.
    if (trace_ == "wav") take = TakeFor(host);
    if (!take.empty() && !device_->Open(take, &error)) {
      ReportUnplayableTake(take);
      device_->Close();
      take.clear();
    }
    ok = !take.empty() || device_->Open(host, &error);
  }
  if (!ok) {
    device_->Close();
    trace::Emit(trace_ + " open-fail", FileName);
    throw EMCIDeviceError(error.empty() ? std::string("The specified device cannot be opened.") : error);
  }
  end_reported_ = true;
  trace::Emit(trace_ + " open", FileName);
  if (!take.empty()) trace::Emit("take", take.substr(take.find_last_of("/\\") + 1));
}

void MediaPlayer::Close() {
  if (!device_->IsOpen()) return;
  ReportEnd();
  device_->Close();
  end_reported_ = true;
  trace::Emit(trace_ + " close");
}

void MediaPlayer::Play() {
  if (!device_->IsOpen()) throw EMCIDeviceError(kNoDevice);
  ReportEnd();
  // AutoRewind: a channel played to its end starts again from the beginning.
  if (device_->Mode() != MciMode::Playing && device_->PositionMs() >= device_->LengthMs()) device_->Seek(0);
  if (!device_->Play()) return;  // refused: the mode just does not become Playing
  trace::Emit(trace_ + " play");
  end_reported_ = false;
  ReportEnd();  // an empty file ends the moment it starts
}

void MediaPlayer::Stop() {
  if (!device_->IsOpen()) throw EMCIDeviceError(kNoDevice);
  ReportEnd();
  const bool was_playing = device_->Mode() == MciMode::Playing;
  device_->Stop();
  end_reported_ = true;
  if (was_playing) trace::Emit(trace_ + " stop");
}

// A closed channel reads NotReady: neither Playing, Open nor Seeking, so every wait on the
// channel ends once it is closed.
MciMode MediaPlayer::Mode() const {
  if (!device_->IsOpen()) return MciMode::NotReady;
  ReportEnd();
  return device_->Mode();
}

MciMode MediaPlayer::PeekMode() const { return device_->IsOpen() ? device_->Mode() : MciMode::NotReady; }

bool MediaPlayer::IsOpen() const { return device_->IsOpen(); }

void MediaPlayer::ReportEnd() const {
  if (end_reported_ || !device_->IsOpen() || device_->Mode() == MciMode::Playing) return;
  end_reported_ = true;
  trace::Emit(trace_ + " end");
}

uint64_t MediaPlayer::NextChangeAll() {
  uint64_t next = kNever;
  for (const MediaPlayer* p : Players()) {
    if (!p->device_->IsOpen()) continue;
    // An end not yet reported is due now.
    if (!p->end_reported_ && p->device_->Mode() != MciMode::Playing) return 0;
    next = std::min(next, p->device_->NextChangeMs());
  }
  return next;
}

void MediaPlayer::PollAll() {
  // Copied: tracing runs no program code, but stay safe if a channel goes away meanwhile.
  const std::vector<MediaPlayer*> players = Players();
  for (const MediaPlayer* p : players) p->ReportEnd();
}

bool PlaySoundDos(const char* dos_path, uint32_t flags) {
  AudioSystem& audio = Audio();
  if (!dos_path) {
    audio.PlaySound(nullptr, flags);
    trace::Emit("effect stop");
    return true;
  }
  const std::string path(dos_path);  // any length: no fixed buffer
  if ((flags & SND_NOSTOP) && audio.EffectPlaying()) {
    trace::Emit("effect-drop", path);
    return false;
  }
  const std::string host = fs::HostPath(path);
  std::string take = TakeFor(host);
  if (!take.empty() && !audio.PlaySound(take.c_str(), flags)) {
    ReportUnplayableTake(take);
    take.clear();
  }
  if (take.empty() && !audio.PlaySound(host.c_str(), flags)) {
    if ((flags & SND_NOSTOP) && audio.EffectPlaying()) trace::Emit("effect-drop", path);
    return false;
  }
  trace::Emit("effect", path);
  if (!take.empty()) trace::Emit("take", take.substr(take.find_last_of("/\\") + 1));
  return true;
}

}  // namespace plat
