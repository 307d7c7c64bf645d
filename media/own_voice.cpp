// Reads where the family's takes are and whether they play; the audio layer does the standing in.
#include "media/own_voice.h"

#include <cstdlib>

#include "game/voice_lines.h"
#include "game/words.h"
#include "media/voice_pack.h"
#include "platform/audio/media_info.h"
#include "platform/fs/fs.h"
#include "media/registry_keys.h"
#include "platform/audio/own_voice.h"
#include "platform/registry/registry.h"

namespace ozzel {

std::string OwnVoiceFolder(const std::string& language) {
  const std::string settings = plat::Registry::DefaultPath();
  plat::Registry reg(settings);
  if (auto v = reg.Read(kKeyOzzel, kValueOwnVoice);
      v && (v->type == plat::RegType::String || v->type == plat::RegType::ExpandString) && !v->text.empty())
    return v->text;
  std::string beside;
  if (!settings.empty()) {
    const size_t sep = settings.find_last_of("/\\");
    beside = sep == std::string::npos ? "." : settings.substr(0, sep);
  } else if (const char* app_data = std::getenv("APPDATA"); app_data && *app_data) {
    beside = std::string(app_data) + "\\Ozzel";
  } else {
    return {};
  }
  return beside + "/voice/" + language;
}

void OwnVoice_Initialize() {
  plat::Registry reg(plat::Registry::DefaultPath());
  const auto off = reg.Read(kKeyOzzel, kValueOwnVoiceOff);
  if (off && off->type == plat::RegType::Dword && off->dword == 1) {
    plat::SetTakeFolder({});
    return;
  }
  plat::SetTakeFolder(OwnVoiceFolder(game::CurrentWords().code));
}

}  // namespace ozzel

namespace ozzel {

namespace {

std::optional<std::vector<uint8_t>> ReadBytes(const std::string& path, size_t max, std::string* error) {
  std::string bytes, why;
  const plat::fs::ReadState s = plat::fs::ReadRegularFile(path, max, bytes, nullptr, &why);
  if (s == plat::fs::ReadState::Ok) return std::vector<uint8_t>(bytes.begin(), bytes.end());
  if (error) *error = s == plat::fs::ReadState::TooBig ? "too large" : s == plat::fs::ReadState::Missing ? "not found" : "cannot be read" + (why.empty() ? "" : ": " + why);
  return std::nullopt;
}

bool GoodWav(const std::vector<uint8_t>& wav) { return plat::ParseWav(wav.data(), wav.size()).has_value(); }

std::optional<VoicePack> LoadPack(const std::string& pack_path, std::string* error) {
  const auto bytes = ReadBytes(pack_path, kPackMaxBytes, error);
  if (!bytes) return std::nullopt;
  return ReadPack(bytes->data(), bytes->size(), error);
}

}  // namespace

std::string RegisteredLanguage() {
  plat::Registry reg(plat::Registry::DefaultPath());
  if (auto root = reg.Read(kKeyOdklon, kValueDataRoot); root && !root->text.empty()) {
    std::string dir = root->text;
    if (dir.size() > 2 && dir.back() == '\\') dir.pop_back();
    for (const char* stamp : {"\\bm4\\_ozzel\\.datagen-stamp", "\\bm4\\_ozzel\\DATAGEN.STP"})
      if (auto text = plat::fs::ReadFile(plat::fs::HostPath(dir + stamp), 64 * 1024)) {
        const std::string code = game::StampLanguage(*text);
        return code.empty() ? "cs" : code;
      }
  }
  if (const char* env = std::getenv("OZZEL_LANGUAGE"); env && game::WordsFor(env)) return env;
  return "cs";
}

TakesMoved ExportTakes(const std::string& language, const std::string& pack_path) {
  TakesMoved r;
  const std::string folder = OwnVoiceFolder(language);
  VoicePack pack{language, {}};
  for (const game::VoiceLine& line : game::VoiceLines()) {
    if (folder.empty()) break;
    const std::string path = plat::fs::HostPath(folder + "/" + line.name());
    std::string why;
    auto wav = ReadBytes(path, kPackMaxTakeBytes, &why);
    if (!wav) continue;
    if (!GoodWav(*wav)) {
      ++r.refused;  // a damaged take is not carried to another computer
      continue;
    }
    pack.takes.push_back({line.name(), std::move(*wav)});
  }
  const std::vector<uint8_t> bytes = WritePack(pack);
  if (!plat::fs::WriteFileAtomic(pack_path, bytes.data(), bytes.size(), true)) {
    r.error = "cannot be written";
    return r;
  }
  r.written = int(pack.takes.size());
  return r;
}

std::optional<std::vector<std::string>> TakesAPackReplaces(const std::string& pack_path, const std::string& language,
                                                           std::string* error) {
  const auto pack = LoadPack(pack_path, error);
  if (!pack) return std::nullopt;
  std::vector<std::string> names;
  const std::string folder = OwnVoiceFolder(language);
  for (const PackedTake& t : pack->takes)
    if (game::IsVoiceLineName(t.name) && plat::fs::StampOf(plat::fs::HostPath(folder + "/" + t.name)))
      names.push_back(t.name);
  return names;
}

TakesMoved ImportTakes(const std::string& pack_path, const std::string& language, bool replace) {
  TakesMoved r;
  const auto pack = LoadPack(pack_path, &r.error);
  if (!pack) return r;
  if (pack->language != language) {
    r.error = "its takes are in another language (" + pack->language + ")";
    return r;
  }
  const std::string folder = OwnVoiceFolder(language);
  if (folder.empty()) {
    r.error = "no folder for the takes";
    return r;
  }
  for (const PackedTake& t : pack->takes) {
    if (!game::IsVoiceLineName(t.name) || !GoodWav(t.wav)) {
      ++r.refused;
      continue;
    }
    const std::string path = plat::fs::HostPath(folder + "/" + t.name);
    if (plat::fs::StampOf(path) && !replace) {
      ++r.kept;
      continue;
    }
    plat::fs::FileLock lock(folder + "/takes");  // makes the folder; one writer at a time
    if (!plat::fs::WriteFileAtomic(path, t.wav.data(), t.wav.size(), true)) {
      r.error = path + " cannot be written";
      return r;
    }
    ++r.written;
  }
  return r;
}

}  // namespace ozzel
