// Settings unit: start-up reads the registry and finds the data, the end writes the counters back.
#include "media/technic2.h"

#include <climits>
#include <optional>

#include "platform/audio/audio.h"
#include "platform/audio/media_player.h"
#include "platform/fs/fs.h"
#include "platform/registry/registry.h"
#include "platform/start_dir.h"
#include "platform/trace.h"
#include "platform/ui/application.h"
#include "platform/ui/control.h"
#include "platform/ui/dialogs.h"

namespace ozzel {

std::string DataDir;
bool SoundOn = false, MusicOn = false, EffectsOn = false;
int32_t WavVolume = 0, MidiVolume = 0, KordoSerie = 0, StartCount = 0;
std::string LastSoundPath;

namespace {

// Opening a key with creation allowed: it opens when it exists or can be made.
bool OpenKey(plat::Registry& reg, const char* key) { return reg.KeyExists(key) || reg.CreateKey(key); }

std::optional<int32_t> ReadDword(plat::Registry& reg, const char* key, const char* name) {
  auto v = reg.Read(key, name);
  if (!v || v->type != plat::RegType::Dword) return std::nullopt;
  return int32_t(v->dword);
}

bool WriteDword(plat::Registry& reg, const char* key, const char* name, int32_t value) {
  if (!reg.Write(key, name, plat::RegValue{plat::RegType::Dword, "", uint32_t(value)})) return false;
  plat::trace::Emit("registry write", std::string(key) + "|" + name + "|" + std::to_string(value));
  return true;
}

void StripTrailingBackslash(std::string& s) {
  if (s.size() > 2 && s.back() == '\\') s.pop_back();
}

void DefaultCursor() {
  if (plat::HasApp()) plat::App().screen().SetCursor(plat::crDefault);
}

}  // namespace

void Technic2_Initialize() {
  SoundOn = true;

  plat::Registry reg(plat::Registry::DefaultPath());
  DataDir.clear();
  reg.CreateKey(kKeyBM4);
  if (OpenKey(reg, kKeyOdklon)) {
    auto v = reg.Read(kKeyOdklon, "kde_je_BM4");
    // Taken literally: an expandable string is not expanded; any other type is a failed read.
    if (v && (v->type == plat::RegType::String || v->type == plat::RegType::ExpandString)) DataDir = v->text;
  }

  StripTrailingBackslash(DataDir);
  // A bare drive ("D:") or an empty root needs the backslash to name a root directory.
  plat::fs::SetCurrentDir(DataDir.size() > 2 ? DataDir : DataDir + "\\");
  DataDir += "\\bm4\\_ozzel";

  if (!plat::fs::DirectoryExists(DataDir + "\\OBRAZKY")) {
    DefaultCursor();
    plat::MessageBox("Chyba umístění programu (nenalezen adresář OBRAZKY) v místě programu ozzel.EXE.",
                     plat::BoxKind::Error);
    std::string proposed = DataDir;
    DataDir = plat::InputBox("Umístění dat programu", "Prosím zadej plnou cestu k teto casti (CD-ROM):", proposed);
    // A typed relative path means one from where the program was started, not from the data root.
    if (DataDir != proposed) DataDir = plat::FromStartDir(DataDir);
    StripTrailingBackslash(DataDir);
    if (!plat::fs::DirectoryExists(DataDir + "\\OBRAZKY"))
      plat::MessageBox(
          "Znovu nenalezeno. Program se nyní pokusí pokračovat, ale pravděpodobně nebude fungovat správně...",
          plat::BoxKind::Error);
  }

  MusicOn = true;
  EffectsOn = true;
  KordoSerie = 1;

  reg.CreateKey(kKeyBM4);
  if (OpenKey(reg, kKeySettings)) {
    auto wav = ReadDword(reg, kKeySettings, "WAV HLASITOST");
    auto midi = wav ? ReadDword(reg, kKeySettings, "MIDI HLASITOST") : std::nullopt;
    auto kordo = midi ? ReadDword(reg, kKeySettings, "KORDO SERIE") : std::nullopt;
    if (kordo) {
      WavVolume = *wav;
      MidiVolume = *midi;
      KordoSerie = *kordo;
    } else {
      WavVolume = 255;
      MidiVolume = 60;
      KordoSerie = 1;
    }
    StartCount = ReadDword(reg, kKeySettings, "Ozzel_starty").value_or(0);
  }

  // The counter stops at the largest value rather than wrapping to a negative count.
  if (StartCount < INT32_MAX) ++StartCount;

  if (plat::Audio().WaveOutDevices() == 0) {
    EffectsOn = false;
    MusicOn = false;
    SoundOn = false;
    DefaultCursor();
  }
}

void Technic2_Finalize() {
  plat::Registry reg(plat::Registry::DefaultPath());
  if (!OpenKey(reg, kKeySettings)) return;
  if (!WriteDword(reg, kKeySettings, "Ozzel_starty", StartCount)) return;
  WriteDword(reg, kKeySettings, "KORDO SERIE", KordoSerie);
}

void PlayEffect(const std::string& path, uint32_t flags) {
  if (!(SoundOn && EffectsOn)) return;
  LastSoundPath = path;
  // The whole path is handed on, however long: no fixed-size copy.
  if (plat::fs::FileExists(LastSoundPath))
    plat::PlaySoundDos(LastSoundPath.c_str(), flags);
  else
    plat::MessageBox("Nenalezen zvuk: " + LastSoundPath, plat::BoxKind::Error);
}

void StopEffect() {
  if (SoundOn) plat::PlaySoundDos(nullptr, 0);
}

}  // namespace ozzel
