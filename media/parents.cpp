// The parents' settings: read leniently at start (a bad value is its default), written one value at a time.
#include "media/parents.h"

#include <cctype>
#include <string>

#include "media/registry_keys.h"
#include "platform/registry/registry.h"
#include "platform/trace.h"

namespace ozzel {

ParentsSettings parents;

namespace {

constexpr const char* kAccessNames[] = {"mouse", "keys", "scan1", "scan2", "dwell"};

std::optional<uint32_t> ReadDword(plat::Registry& reg, const char* name, uint32_t lo, uint32_t hi) {
  auto v = reg.Read(kKeyOzzel, name);
  if (!v || v->type != plat::RegType::Dword || v->dword < lo || v->dword > hi) return std::nullopt;
  return v->dword;
}

bool Valid(const ParentsSettings& s) {
  auto in = [](uint32_t v, uint32_t lo, uint32_t hi) { return v >= lo && v <= hi; };
  return in(s.DwellMs, kMinChoiceMs, kMaxChoiceMs) && in(s.ScanMs, kMinChoiceMs, kMaxChoiceMs) &&
         s.SessionMinutes <= kMaxSessionMinutes && s.MusicVolume <= kMaxVolume && s.SpeechVolume <= kMaxVolume &&
         unsigned(s.Access) < std::size(kAccessNames);
}

bool Write(plat::Registry& reg, const char* name, const plat::RegValue& v) {
  if (!reg.Write(kKeyOzzel, name, v)) return false;
  std::string data = v.type == plat::RegType::Dword ? std::to_string(v.dword) : v.text;
  plat::trace::Emit("registry write", std::string(kKeyOzzel) + "|" + name + "|" + data);
  return true;
}

plat::RegValue Dword(uint32_t v) { return plat::RegValue{plat::RegType::Dword, "", v}; }

}  // namespace

const char* AccessName(AccessMode m) {
  unsigned i = unsigned(m);
  return i < std::size(kAccessNames) ? kAccessNames[i] : kAccessNames[0];
}

std::optional<AccessMode> AccessFromName(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
  for (unsigned i = 0; i < std::size(kAccessNames); ++i)
    if (lower == kAccessNames[i]) return AccessMode(i);
  return std::nullopt;
}

void Parents_Initialize() {
  parents = {};
  plat::Registry reg(plat::Registry::DefaultPath());
  // Nothing is created here: a computer where no parent has acted keeps its settings file as it was.
  if (!reg.KeyExists(kKeyOzzel)) return;
  if (auto v = reg.Read(kKeyOzzel, kValueAccess); v && v->type == plat::RegType::String)
    parents.Access = AccessFromName(v->text).value_or(AccessMode::Mouse);
  parents.DwellMs = ReadDword(reg, kValueDwellMs, kMinChoiceMs, kMaxChoiceMs).value_or(parents.DwellMs);
  parents.ScanMs = ReadDword(reg, kValueScanMs, kMinChoiceMs, kMaxChoiceMs).value_or(parents.ScanMs);
  parents.Kiosk = ReadDword(reg, kValueKiosk, 0, 1).value_or(0) == 1;
  parents.SessionMinutes = ReadDword(reg, kValueSessionMinutes, 0, kMaxSessionMinutes).value_or(0);
  parents.MusicVolume = ReadDword(reg, kValueMusicVolume, 0, kMaxVolume).value_or(parents.MusicVolume);
  parents.SpeechVolume = ReadDword(reg, kValueSpeechVolume, 0, kMaxVolume).value_or(parents.SpeechVolume);
}

bool Parents_Save(const ParentsSettings& next) {
  if (!Valid(next)) return false;
  plat::Registry reg(plat::Registry::DefaultPath());
  // One value at a time, each taken in only once it is stored: a failure leaves `parents` saying
  // exactly what the file holds.
  auto put = [&](auto& have, const auto& want, const char* name, const plat::RegValue& v) {
    if (have == want) return true;
    if (!Write(reg, name, v)) return false;
    have = want;
    return true;
  };
  return put(parents.Access, next.Access, kValueAccess,
             plat::RegValue{plat::RegType::String, AccessName(next.Access), 0}) &&
         put(parents.DwellMs, next.DwellMs, kValueDwellMs, Dword(next.DwellMs)) &&
         put(parents.ScanMs, next.ScanMs, kValueScanMs, Dword(next.ScanMs)) &&
         put(parents.Kiosk, next.Kiosk, kValueKiosk, Dword(next.Kiosk ? 1 : 0)) &&
         put(parents.SessionMinutes, next.SessionMinutes, kValueSessionMinutes, Dword(next.SessionMinutes)) &&
         put(parents.MusicVolume, next.MusicVolume, kValueMusicVolume, Dword(next.MusicVolume)) &&
         put(parents.SpeechVolume, next.SpeechVolume, kValueSpeechVolume, Dword(next.SpeechVolume));
}

}  // namespace ozzel
