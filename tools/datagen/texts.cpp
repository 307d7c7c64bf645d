// The current language's table and the sentences built from it.
#include "tools/datagen/texts.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <cstdint>

#include "tools/datagen/error.h"

namespace datagen {

extern const TextTable kCzech, kSlovak, kEnglish, kGerman, kPolish, kFrench, kSpanish;

namespace {

const std::array<const TextTable*, 7> kTables = {&kCzech, &kSlovak, &kEnglish, &kGerman, &kPolish, &kFrench, &kSpanish};
const TextTable* g_current = &kCzech;

std::string Fill(const char* pattern, const std::string& word) {
  std::string s = pattern;
  const size_t at = s.find("{}");
  if (at == std::string::npos) throw Error(std::string("text pattern without {}: ") + pattern);
  return s.replace(at, 2, word);
}

// Appends code point cp as UTF-8.
void PutUtf8(std::string& s, uint32_t cp) {
  if (cp < 0x80) {
    s += char(cp);
  } else if (cp < 0x800) {
    s += char(0xC0 | (cp >> 6));
    s += char(0x80 | (cp & 0x3F));
  } else {
    s += char(0xE0 | (cp >> 12));
    s += char(0x80 | ((cp >> 6) & 0x3F));
    s += char(0x80 | (cp & 0x3F));
  }
}

uint32_t Upper(uint32_t cp) {
  if (cp >= 'a' && cp <= 'z') return cp - 32;
  if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 32;  // à..þ
  // Latin Extended-A pairs its letters upper/lower, except for two runs that start on an odd code.
  if (cp >= 0x100 && cp <= 0x17F && cp != 0x138 && cp != 0x149 && cp != 0x17F) {
    const bool odd_upper = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
    if (odd_upper ? cp % 2 == 0 : cp % 2 == 1) return cp - 1;
  }
  return cp;
}

}  // namespace

const std::vector<std::string>& LanguageCodes() {
  static const std::vector<std::string> codes = [] {
    std::vector<std::string> c;
    for (const TextTable* t : kTables) c.push_back(t->code);
    return c;
  }();
  return codes;
}

void SetLanguage(const std::string& code) {
  for (const TextTable* t : kTables)
    if (code == t->code) {
      g_current = t;
      return;
    }
  throw Error("no language \"" + code + "\" (one of: cs sk en de pl fr es)");
}

const TextTable& Texts() { return *g_current; }

std::string LanguageForLocale(const char* override_code, const char* lc_all, const char* lc_messages,
                              const char* lang, std::string* warning) {
  const auto& codes = LanguageCodes();
  auto known = [&](const std::string& c) { return std::find(codes.begin(), codes.end(), c) != codes.end(); };
  if (override_code && *override_code) {
    if (known(override_code)) return override_code;
    if (warning) *warning = std::string("OZZEL_LANGUAGE=") + override_code + " is none of cs sk en de pl fr es";
  }
  // The first variable that is set decides, as for any program's messages; "C" and "POSIX" name no language.
  for (const char* v : {lc_all, lc_messages, lang}) {
    if (!v || !*v) continue;
    std::string code(v, std::strcspn(v, "_.@"));
    for (char& c : code) c = char(std::tolower(static_cast<unsigned char>(c)));
    return known(code) ? code : "cs";
  }
  return "cs";
}

std::string Capitalised(const std::string& s) {
  if (s.empty()) return s;
  const auto c = uint8_t(s[0]);
  if (c < 0x80) return std::string(1, char(Upper(c))) + s.substr(1);
  if ((c & 0xE0) == 0xC0 && s.size() >= 2) {
    const uint32_t cp = uint32_t(c & 0x1F) << 6 | (uint8_t(s[1]) & 0x3F);
    std::string out;
    PutUtf8(out, Upper(cp));
    return out + s.substr(2);
  }
  return s;
}

AnimalWords Animal(int set, int n) {
  for (const AnimalRow& r : g_current->animals)
    if (r.set == set && r.n == n) {
      AnimalWords w{r.name, r.subject && *r.subject ? r.subject : r.name, ""};
      w.object = r.object && *r.object ? r.object : w.subject;
      return w;
    }
  throw Error("no animal " + std::to_string(n) + " in set " + std::to_string(set));
}

std::string WhereIs(int set, int n) { return Fill(g_current->where_is, Animal(set, n).subject); }
std::string ShowMe(int set, int n) { return Fill(g_current->show_me, Animal(set, n).object); }
std::string ThatIs(int set, int n) { return Fill(g_current->that_is, Animal(set, n).subject); }
std::string NameOf(int set, int n) { return Fill(g_current->call, PictureName(set, n)); }
std::string PictureName(int set, int n) { return Capitalised(Animal(set, n).name); }

std::string IntroSpeech() { return g_current->intro; }

std::string SceneName(int set) {
  if (set < 1 || set > 4) throw Error("no scene " + std::to_string(set));
  return g_current->scenes[set - 1];
}

std::string EndWord() { return g_current->end_word; }
std::string SoundLeadIn(bool first) { return first ? g_current->sound_first : g_current->sound_next; }
std::string Bravo() { return g_current->bravo; }

std::string Praise(int i) {
  if (i < 1 || i > 6) throw Error("no praise " + std::to_string(i));
  return g_current->praise[i - 1];
}

std::string Miss(int i) {
  if (i < 1 || i > 4) throw Error("no miss phrase " + std::to_string(i));
  return g_current->miss[i - 1];
}

std::string ScoreExplanation() { return g_current->score; }
std::string Goodbye() { return g_current->goodbye; }

std::string AnimalCall(int sound) {
  for (const auto& [n, words] : g_current->calls)
    if (n == sound) return words;
  throw Error("no animal sound " + std::to_string(sound));
}

}  // namespace datagen
