// Czech wording of the demo medium: animal names with their accusatives, questions and phrases.
#include "tools/datagen/texts.h"

#include <array>
#include <cstdint>

#include "tools/datagen/error.h"

namespace datagen {

namespace {

// Index 0 unused; an empty nominative marks an animal missing from the set.
using SetTable = std::array<AnimalWords, 11>;

const std::array<SetTable, 5>& Table() {
  static const std::array<SetTable, 5> t = {{
      {},
      {{{}, {"ptáček", "ptáčka"}, {}, {"křeček", "křečka"}, {"myška", "myšku"}, {"kočka", "kočku"},
        {"papoušek", "papouška"}, {"pes", "psa"}, {"želva", "želvu"}, {}, {}}},
      {{{}, {"kůň", "koně"}, {"kráva", "krávu"}, {"ovečka", "ovečku"}, {"koza", "kozu"},
        {"kohout", "kohouta"}, {"slepice", "slepici"}, {"krocan", "krocana"}, {"prasátko", "prasátko"},
        {"husa", "husu"}, {"kachna", "kachnu"}}},
      {{{}, {"jelen", "jelena"}, {"medvěd", "medvěda"}, {"sova", "sovu"}, {"veverka", "veverku"},
        {"srnka", "srnku"}, {"zajíc", "zajíce"}, {"liška", "lišku"}, {"jezevec", "jezevce"},
        {"divočák", "divočáka"}, {}}},
      {{{}, {"slon", "slona"}, {"lvice", "lvici"}, {"žirafa", "žirafu"}, {"klokan", "klokana"},
        {"lev", "lva"}, {"zebra", "zebru"}, {"nosorožec", "nosorožce"}, {"lvíče", "lvíče"},
        {"hroch", "hrocha"}, {}}},
  }};
  return t;
}

// Upper-cases the first letter, which in these names is ASCII or a two-byte Czech letter.
std::string Capitalised(const std::string& s) {
  if (s.empty()) return s;
  const auto c = uint8_t(s[0]);
  if (c >= 'a' && c <= 'z') return char(c - 32) + s.substr(1);
  static const std::array<std::pair<const char*, const char*>, 6> pairs = {
      {{"č", "Č"}, {"ž", "Ž"}, {"š", "Š"}, {"ř", "Ř"}, {"ú", "Ú"}, {"ů", "Ů"}}};
  for (const auto& [lo, up] : pairs)
    if (s.rfind(lo, 0) == 0) return up + s.substr(std::char_traits<char>::length(lo));
  return s;
}

}  // namespace

const AnimalWords& Animal(int set, int n) {
  if (set < 1 || set > 4 || n < 1 || n > 10 || Table()[set][n].nominative.empty())
    throw Error("no animal " + std::to_string(n) + " in set " + std::to_string(set));
  return Table()[set][n];
}

std::string WhereIs(int set, int n) { return "Kde je " + Animal(set, n).nominative + "?"; }
std::string ShowMe(int set, int n) { return "Ukaž mi " + Animal(set, n).accusative + "."; }
std::string NameOf(int set, int n) { return Capitalised(Animal(set, n).nominative) + "!"; }
std::string ThatIs(int set, int n) { return "To je " + Animal(set, n).nominative + "."; }

std::string IntroSpeech() {
  return "Ahoj! Já jsem Bára. Pojď si se mnou hrát se zvířátky! "
         "Dole jsou čtyři barevné kuličky. Klikni na jednu z nich, nebo rovnou na obrázek, "
         "a vyber si: domácí zvířátka, zvířátka na statku, zvířátka z lesa, nebo zvířátka ze safari. "
         "Potom se tě budu ptát, kde je které zvířátko. Ty ho v obrázku najdeš a klikneš na něj. "
         "Tak jdeme na to!";
}

std::string SceneName(int set) {
  static const std::array<const char*, 5> names = {"", "Domácí zvířátka", "Zvířátka na statku",
                                                   "Zvířátka z lesa", "Zvířátka ze safari"};
  if (set < 1 || set > 4) throw Error("no scene " + std::to_string(set));
  return names[set];
}

std::string EndWord() { return "Konec."; }

std::string SoundLeadIn(bool first) {
  return first ? "Které zvířátko dělá tohle?" : "Poslouchej! Kdo to je?";
}

std::string Bravo() { return "Bravo!"; }

std::string Praise(int i) {
  static const std::array<const char*, 7> p = {"",           "Výborně!",   "Správně!",    "To se ti povedlo!",
                                               "Ty jsi ale šikula!", "Moc hezky!", "Přesně tak!"};
  if (i < 1 || i > 6) throw Error("no praise " + std::to_string(i));
  return p[i];
}

std::string Miss(int i) {
  static const std::array<const char*, 5> m = {"", "Tady žádné zvířátko není.", "Tady nic není. Zkus to znovu.",
                                               "Tam žádné zvířátko nevidím.", "Hledej dál, tady nic není."};
  if (i < 1 || i > 4) throw Error("no miss phrase " + std::to_string(i));
  return m[i];
}

std::string ScoreExplanation() {
  return "Tady počítám, jak ti to jde. U veselého sluníčka jsou správné odpovědi, "
         "u zamračeného sluníčka ty chybné.";
}

}  // namespace datagen
