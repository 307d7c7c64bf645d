// The word tables, one per language a medium can be made in, and reading a medium's language.
#include "game/words.h"

namespace ozzel::game {

namespace {

const Words kCzech = {
    "cs",
    "KONEC",
    "Chyba umístění programu (nenalezen adresář OBRAZKY) v místě programu ozzel.EXE.",
    "Umístění dat programu",
    "Prosím zadej plnou cestu k teto casti (CD-ROM):",
    "Znovu nenalezeno. Program se nyní pokusí pokračovat, ale pravděpodobně nebude fungovat správně...",
    "Nenalezen zvuk: ",
    "Nelze prehrat zvuk s uvodnim proslovem.",
    "Nenalezena animace mluviciho Tibory...",
    "BM4-Ozzel: Nelze uvolnit pozadi aplikace...",
    "Nenalez soubor s hudbou:",
    "Error",
    "OK",
    "Cancel",
};

const Words kSlovak = {
    "sk",
    "KONIEC",
    "Chyba umiestnenia programu (nenájdený adresár OBRAZKY) v mieste programu ozzel.EXE.",
    "Umiestnenie dát programu",
    "Prosím, zadaj úplnú cestu k tejto časti (CD-ROM):",
    "Znova nenájdené. Program sa teraz pokúsi pokračovať, ale pravdepodobne nebude fungovať správne...",
    "Nenájdený zvuk: ",
    "Nedá sa prehrať zvuk s úvodným príhovorom.",
    "Nenájdená animácia hovoriacej Tibory...",
    "BM4-Ozzel: Nedá sa uvoľniť pozadie aplikácie...",
    "Nenájdený súbor s hudbou: ",
    "Chyba",
    "OK",
    "Zrušiť",
};

const Words kEnglish = {
    "en",
    "END",
    "The program's data is not where it should be (no OBRAZKY folder) next to ozzel.EXE.",
    "Where the program's data is",
    "Please type the full path to this part (CD-ROM):",
    "Not found again. The program will try to go on now, but it will probably not work properly...",
    "Sound not found: ",
    "Cannot play the sound of the introduction.",
    "The animation of Tibora talking was not found...",
    "BM4-Ozzel: Cannot release the application's background...",
    "Music file not found: ",
    "Error",
    "OK",
    "Cancel",
};

const Words kGerman = {
    "de",
    "ENDE",
    "Die Daten des Programms sind nicht am richtigen Ort (kein Ordner OBRAZKY) neben ozzel.EXE.",
    "Ort der Programmdaten",
    "Bitte gib den vollständigen Pfad zu diesem Teil ein (CD-ROM):",
    "Wieder nicht gefunden. Das Programm versucht jetzt weiterzumachen, wird aber wahrscheinlich nicht richtig "
    "funktionieren...",
    "Klang nicht gefunden: ",
    "Der Ton der Begrüßung kann nicht abgespielt werden.",
    "Die Animation der sprechenden Tibora wurde nicht gefunden...",
    "BM4-Ozzel: Der Hintergrund der Anwendung kann nicht freigegeben werden...",
    "Musikdatei nicht gefunden: ",
    "Fehler",
    "OK",
    "Abbrechen",
};

const Words kPolish = {
    "pl",
    "KONIEC",
    "Błąd położenia programu (nie znaleziono katalogu OBRAZKY) w miejscu programu ozzel.EXE.",
    "Położenie danych programu",
    "Proszę podać pełną ścieżkę do tej części (CD-ROM):",
    "Znowu nie znaleziono. Program spróbuje teraz działać dalej, ale prawdopodobnie nie będzie działał poprawnie...",
    "Nie znaleziono dźwięku: ",
    "Nie można odtworzyć dźwięku z powitaniem.",
    "Nie znaleziono animacji mówiącej Tibory...",
    "BM4-Ozzel: Nie można zwolnić tła aplikacji...",
    "Nie znaleziono pliku z muzyką: ",
    "Błąd",
    "OK",
    "Anuluj",
};

const Words kFrench = {
    "fr",
    "FIN",
    "Les données du programme ne sont pas à leur place (pas de dossier OBRAZKY) à côté de ozzel.EXE.",
    "Emplacement des données du programme",
    "Tape le chemin complet de cette partie (CD-ROM) :",
    "Toujours introuvable. Le programme va essayer de continuer, mais il ne fonctionnera sans doute pas bien...",
    "Son introuvable : ",
    "Impossible de jouer le son de l'introduction.",
    "L'animation de Tibora qui parle est introuvable...",
    "BM4-Ozzel : impossible de libérer l'arrière-plan de l'application...",
    "Fichier de musique introuvable : ",
    "Erreur",
    "OK",
    "Annuler",
};

const Words kSpanish = {
    "es",
    "FIN",
    "Los datos del programa no están en su sitio (no hay carpeta OBRAZKY) junto a ozzel.EXE.",
    "Dónde están los datos del programa",
    "Escribe la ruta completa de esta parte (CD-ROM):",
    "No encontrado otra vez. El programa intentará seguir, pero seguramente no funcionará bien...",
    "Sonido no encontrado: ",
    "No se puede reproducir el sonido de la introducción.",
    "No se encontró la animación de Tibora hablando...",
    "BM4-Ozzel: No se puede liberar el fondo de la aplicación...",
    "No se encontró el archivo de música: ",
    "Error",
    "Aceptar",
    "Cancelar",
};

const Words* const kAll[] = {&kCzech, &kSlovak, &kEnglish, &kGerman, &kPolish, &kFrench, &kSpanish};

const Words* g_current = &kCzech;

}  // namespace

const Words* WordsFor(std::string_view code) {
  for (const Words* w : kAll)
    if (code == w->code) return w;
  return nullptr;
}

const Words& CurrentWords() { return *g_current; }

void SetLanguage(std::string_view code) {
  const Words* w = WordsFor(code);
  g_current = w ? w : &kCzech;
}

std::string StampLanguage(std::string_view stamp) {
  constexpr std::string_view kKey = "language ";
  while (!stamp.empty()) {
    const size_t end = stamp.find('\n');
    std::string_view line = stamp.substr(0, end);
    stamp = end == std::string_view::npos ? std::string_view{} : stamp.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.substr(0, kKey.size()) != kKey) continue;
    const std::string_view code = line.substr(kKey.size());
    return WordsFor(code) ? std::string(code) : std::string();
  }
  return "";
}

std::string DoorPicture() {
  return g_current == &kCzech ? "glyph_konec" : std::string("glyph_konec_") + g_current->code;
}

}  // namespace ozzel::game
