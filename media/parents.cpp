// The parents' settings: read leniently at start (a bad value is its default), written one value at a time.
#include "media/parents.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "media/registry_keys.h"
#include "platform/registry/registry.h"
#include "platform/trace.h"

namespace ozzel {

ParentsSettings parents;

namespace {

// A value written by hand is taken as meant where it can be: a number written as a string is read,
// one outside its range is brought to the nearest end. What was done is said on stderr, since a
// parent who edited the file has no other way to learn it.
void Say(const char* name, const std::string& what) {
  std::fprintf(stderr, "ozzel: %s\\%s: %s\n", kKeyOzzel, name, what.c_str());
}

std::optional<uint64_t> Digits(const std::string& text) {
  size_t b = text.find_first_not_of(" \t"), e = text.find_last_not_of(" \t");
  if (b == std::string::npos || e - b + 1 > 12) return std::nullopt;
  uint64_t n = 0;
  for (size_t i = b; i <= e; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
    n = n * 10 + uint64_t(text[i] - '0');
  }
  return n;
}

std::optional<uint32_t> ReadNumber(plat::Registry& reg, const char* name, uint32_t lo, uint32_t hi) {
  auto v = reg.Read(kKeyOzzel, name);
  if (!v) return std::nullopt;
  uint64_t n = 0;
  if (v->type == plat::RegType::Dword) {
    n = v->dword;
  } else if (auto d = v->type == plat::RegType::String ? Digits(v->text) : std::nullopt) {
    n = *d;
    Say(name, "the text \"" + v->text + "\" read as the number " + std::to_string(n));
  } else {
    Say(name, "not a number, ignored (the default is used)");
    return std::nullopt;
  }
  if (n < lo || n > hi) {
    const uint32_t to = n < lo ? lo : hi;
    Say(name, std::to_string(n) + " is outside " + std::to_string(lo) + ".." + std::to_string(hi) + ", " +
                  std::to_string(to) + " used");
    return to;
  }
  return uint32_t(n);
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

std::string AccessNameList() {
  std::string out;
  for (const char* name : kAccessNames) out += (out.empty() ? "" : ", ") + std::string(name);
  return out;
}

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
  if (auto v = reg.Read(kKeyOzzel, kValueAccess)) {
    auto mode = v->type == plat::RegType::String ? AccessFromName(v->text) : std::nullopt;
    if (mode) parents.Access = *mode;
    else Say(kValueAccess, "not one of " + AccessNameList() + "; " + kAccessNames[0] + " used");
  }
  parents.DwellMs = ReadNumber(reg, kValueDwellMs, kMinChoiceMs, kMaxChoiceMs).value_or(parents.DwellMs);
  parents.ScanMs = ReadNumber(reg, kValueScanMs, kMinChoiceMs, kMaxChoiceMs).value_or(parents.ScanMs);
  parents.Kiosk = ReadNumber(reg, kValueKiosk, 0, 1).value_or(0) == 1;
  parents.SessionMinutes = ReadNumber(reg, kValueSessionMinutes, 0, kMaxSessionMinutes).value_or(0);
  parents.MusicVolume = ReadNumber(reg, kValueMusicVolume, 0, kMaxVolume).value_or(parents.MusicVolume);
  parents.SpeechVolume = ReadNumber(reg, kValueSpeechVolume, 0, kMaxVolume).value_or(parents.SpeechVolume);
}

bool Parents_Save(const ParentsSettings& next, std::vector<std::string>* not_saved) {
  if (!Valid(next)) return false;
  plat::Registry reg(plat::Registry::DefaultPath());
  // One value at a time, each taken in only once it is stored: a failure leaves `parents` saying
  // exactly what the file holds. Every value is tried, so one refused write loses no other.
  bool all = true;
  auto put = [&](auto& have, const auto& want, const char* name, const plat::RegValue& v) {
    if (have == want) return;
    if (!Write(reg, name, v)) {
      all = false;
      if (not_saved) not_saved->push_back(name);
      return;
    }
    have = want;
  };
  put(parents.Access, next.Access, kValueAccess, plat::RegValue{plat::RegType::String, AccessName(next.Access), 0});
  put(parents.DwellMs, next.DwellMs, kValueDwellMs, Dword(next.DwellMs));
  put(parents.ScanMs, next.ScanMs, kValueScanMs, Dword(next.ScanMs));
  put(parents.Kiosk, next.Kiosk, kValueKiosk, Dword(next.Kiosk ? 1 : 0));
  put(parents.SessionMinutes, next.SessionMinutes, kValueSessionMinutes, Dword(next.SessionMinutes));
  put(parents.MusicVolume, next.MusicVolume, kValueMusicVolume, Dword(next.MusicVolume));
  put(parents.SpeechVolume, next.SpeechVolume, kValueSpeechVolume, Dword(next.SpeechVolume));
  return all;
}

}  // namespace ozzel
