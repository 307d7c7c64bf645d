// The parents' page in every language a demo medium can be made in; Czech for any other.
#include "app/parents_texts.h"

#include <array>

namespace ozzel {

namespace {

const std::array<ParentsTexts, 7> kTexts = {{
    {"cs", "Pro rodiče", "Hotovo", "Ovládání",
     {"myš", "klávesy", "jeden spínač", "dva spínače", "pohledem"},
     "Setrvání", "Krok skenování", "Zamčená hra", "zapnuto", "vypnuto", "Délka hry", "bez omezení",
     "Hudba", "Řeč a zvuky", "Zvířátka poznaná napoprvé", "napoprvé", "zatím ne", "ještě nebylo",
     "Záznam zůstává jen v tomto počítači.", ','},
    {"sk", "Pre rodičov", "Hotovo", "Ovládanie",
     {"myš", "klávesy", "jeden spínač", "dva spínače", "pohľadom"},
     "Zotrvanie", "Krok skenovania", "Zamknutá hra", "zapnuté", "vypnuté", "Dĺžka hry", "bez obmedzenia",
     "Hudba", "Reč a zvuky", "Zvieratká poznané hneď", "hneď", "zatiaľ nie", "ešte nebolo",
     "Záznam zostáva iba v tomto počítači.", ','},
    {"en", "For parents", "Done", "Control",
     {"mouse", "keys", "one switch", "two switches", "dwell"},
     "Dwell time", "Scan step", "Locked game", "on", "off", "Session length", "no limit",
     "Music", "Speech and sounds", "Animals found at the first try", "first try", "not yet", "not asked",
     "The record stays on this computer only.", '.'},
    {"de", "Für Eltern", "Fertig", "Bedienung",
     {"Maus", "Tasten", "ein Schalter", "zwei Schalter", "Verweilen"},
     "Verweildauer", "Scan-Schritt", "Gesperrtes Spiel", "an", "aus", "Spieldauer", "unbegrenzt",
     "Musik", "Sprache und Klänge", "Gleich erkannte Tiere", "gleich erkannt", "noch nicht", "nicht gefragt",
     "Die Aufzeichnung bleibt nur auf diesem Computer.", ','},
    {"pl", "Dla rodziców", "Gotowe", "Sterowanie",
     {"mysz", "klawisze", "jeden przełącznik", "dwa przełączniki", "spojrzenie"},
     "Zatrzymanie", "Krok skanowania", "Gra zablokowana", "wł.", "wył.", "Czas gry", "bez limitu",
     "Muzyka", "Mowa i dźwięki", "Zwierzęta od razu rozpoznane", "od razu", "jeszcze nie", "nie pytano",
     "Zapis zostaje tylko na tym komputerze.", ','},
    {"fr", "Pour les parents", "Terminé", "Commande",
     {"souris", "clavier", "un contacteur", "deux contacteurs", "regard"},
     "Temps d'arrêt", "Pas du balayage", "Jeu verrouillé", "oui", "non", "Durée de jeu", "sans limite",
     "Musique", "Voix et sons", "Animaux trouvés du premier coup", "premier coup", "pas encore", "pas demandé",
     "Le relevé reste sur cet ordinateur.", ','},
    {"es", "Para padres", "Listo", "Control",
     {"ratón", "teclas", "un pulsador", "dos pulsadores", "mirada"},
     "Espera", "Paso del barrido", "Juego bloqueado", "sí", "no", "Duración", "sin límite",
     "Música", "Voz y sonidos", "Animales acertados a la primera", "a la primera", "todavía no", "sin preguntar",
     "El registro se queda solo en este ordenador.", ','},
}};

}  // namespace

const ParentsTexts& ParentsTextsFor(const std::string& language) {
  for (const ParentsTexts& t : kTexts)
    if (language == t.code) return t;
  return kTexts[0];
}

}  // namespace ozzel
