// Settings unit: start-up reads the registry and finds the data, the end writes the counters back.
#include "media/technic2.h"

#include <climits>
#include <cstdlib>
#include <optional>

#include "game/words.h"

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

Technic2State technic2;

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

// The words follow the language the medium was made in (its stamp; an original disc has none and is
// Czech). With no medium found, the language the launcher made one in (OZZEL_LANGUAGE) is the best guess.
void UseMediumLanguage(bool medium_found) {
  std::string code;
  for (const char* stamp : {"\\.datagen-stamp", "\\DATAGEN.STP"}) {
    if (auto text = plat::fs::ReadFile(plat::fs::HostPath(technic2.DataDir + stamp), 64 * 1024)) {
      code = game::StampLanguage(*text);
      break;
    }
  }
  if (code.empty() && !medium_found)
    if (const char* env = std::getenv("OZZEL_LANGUAGE"); env && game::WordsFor(env)) code = env;
  game::SetLanguage(code);
  const game::Words& w = game::CurrentWords();
  plat::SetBoxWords({w.error_caption, w.ok, w.cancel});
  if (std::string(w.code) != "cs") plat::trace::Emit("language", w.code);
}

void StripTrailingBackslash(std::string& s) {
  if (s.size() > 2 && s.back() == '\\') s.pop_back();
}

void DefaultCursor() {
  if (plat::HasApp()) plat::App().screen().SetCursor(plat::crDefault);
}

}  // namespace

void Technic2_Initialize() {
  technic2.SoundOn = true;

  plat::Registry reg(plat::Registry::DefaultPath());
  technic2.DataDir.clear();
  reg.CreateKey(kKeyBM4);
  if (OpenKey(reg, kKeyOdklon)) {
    auto v = reg.Read(kKeyOdklon, kValueDataRoot);
    // Taken literally: an expandable string is not expanded; any other type is a failed read.
    if (v && (v->type == plat::RegType::String || v->type == plat::RegType::ExpandString)) technic2.DataDir = v->text;
  }

  StripTrailingBackslash(technic2.DataDir);
  // A bare drive ("D:") or an empty root needs the backslash to name a root directory.
  plat::fs::SetCurrentDir(technic2.DataDir.size() > 2 ? technic2.DataDir : technic2.DataDir + "\\");
  technic2.DataDir += "\\bm4\\_ozzel";

  const bool found = plat::fs::DirectoryExists(technic2.DataDir + "\\OBRAZKY");
  UseMediumLanguage(found);
  if (!found) {
    DefaultCursor();
    const game::Words& w = game::CurrentWords();
    plat::MessageBox(w.no_pictures_dir, plat::BoxKind::Error);
    std::string proposed = technic2.DataDir;
    technic2.DataDir = plat::InputBox(w.data_path_caption, w.data_path_prompt, proposed);
    // A typed relative path means one from where the program was started, not from the data root.
    if (technic2.DataDir != proposed) technic2.DataDir = plat::FromStartDir(technic2.DataDir);
    StripTrailingBackslash(technic2.DataDir);
    const bool found_now = plat::fs::DirectoryExists(technic2.DataDir + "\\OBRAZKY");
    if (found_now) UseMediumLanguage(true);
    if (!found_now) plat::MessageBox(w.still_not_found, plat::BoxKind::Error);
  }

  technic2.MusicOn = true;
  technic2.EffectsOn = true;
  technic2.KordoSerie = 1;

  reg.CreateKey(kKeyBM4);
  if (OpenKey(reg, kKeySettings)) {
    auto wav = ReadDword(reg, kKeySettings, kValueWavVolume);
    auto midi = wav ? ReadDword(reg, kKeySettings, kValueMidiVolume) : std::nullopt;
    auto kordo = midi ? ReadDword(reg, kKeySettings, kValueKordoSerie) : std::nullopt;
    if (kordo) {
      technic2.WavVolume = *wav;
      technic2.MidiVolume = *midi;
      technic2.KordoSerie = *kordo;
    } else {
      technic2.WavVolume = 255;
      technic2.MidiVolume = 60;
      technic2.KordoSerie = 1;
    }
    technic2.StartCount = ReadDword(reg, kKeySettings, kValueStartCount).value_or(0);
  }

  // The counter stops at the largest value rather than wrapping to a negative count.
  if (technic2.StartCount < INT32_MAX) ++technic2.StartCount;

  if (plat::Audio().WaveOutDevices() == 0) {
    technic2.EffectsOn = false;
    technic2.MusicOn = false;
    technic2.SoundOn = false;
    DefaultCursor();
  }
}

void Technic2_Finalize() {
  plat::Registry reg(plat::Registry::DefaultPath());
  if (!OpenKey(reg, kKeySettings)) return;
  if (!WriteDword(reg, kKeySettings, kValueStartCount, technic2.StartCount)) return;
  WriteDword(reg, kKeySettings, kValueKordoSerie, technic2.KordoSerie);
}

void PlayEffect(const std::string& path, uint32_t flags) {
  if (!(technic2.SoundOn && technic2.EffectsOn)) return;
  technic2.LastSoundPath = path;
  // The whole path is handed on, however long.
  if (plat::fs::FileExists(technic2.LastSoundPath))
    plat::PlaySoundDos(technic2.LastSoundPath.c_str(), flags);
  else
    plat::MessageBox(game::CurrentWords().no_sound + technic2.LastSoundPath, plat::BoxKind::Error);
}

void StopEffect() {
  if (technic2.SoundOn) plat::PlaySoundDos(nullptr, 0);
}

}  // namespace ozzel
