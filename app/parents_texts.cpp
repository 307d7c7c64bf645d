// The parents' page in every language a demo medium can be made in; Czech for any other.
#include "app/parents_texts.h"

#include <array>

namespace ozzel {

namespace {

const std::array<ParentsTexts, 7> kTexts = {{
    {"cs", "Pro rodiče", "Hotovo", "Jak dítě hraje",
     "Zastavení", "Jak dlouho se ukazatel zastaví na obrázku, než se vybere.",
     "Rámeček stojí", "Jak dlouho rámeček zůstane na každém obrázku.",
     "Zamknout hru", "Odejít: podržte dveře nebo Esc 2 sekundy.", "zapnuto", "vypnuto",
     "Délka hry", "Po této době se hra sama rozloučí.", "bez omezení",
     "Hudba", "Jak hlasitě hraje hudba.", "Řeč a zvuky", "Jak hlasitě se mluví a zní zvuky.",
     "Zvířátka poznaná napoprvé", "napoprvé", "zatím ne", "ještě nebylo",
     "Záznam zůstává jen v tomto počítači.", "Tato nastavení se nepodařilo uložit:", ','},
    {"sk", "Pre rodičov", "Hotovo", "Ako dieťa hrá",
     "Zastavenie", "Ako dlho sa ukazovateľ zastaví na obrázku, kým sa vyberie.",
     "Rámik stojí", "Ako dlho rámik zostane na každom obrázku.",
     "Zamknúť hru", "Odísť: podržte dvere alebo Esc 2 sekundy.", "zapnuté", "vypnuté",
     "Dĺžka hry", "Po tomto čase sa hra sama rozlúči.", "bez obmedzenia",
     "Hudba", "Ako nahlas hrá hudba.", "Reč a zvuky", "Ako nahlas sa hovorí a znejú zvuky.",
     "Zvieratká poznané hneď", "hneď", "zatiaľ nie", "ešte nebolo",
     "Záznam zostáva iba v tomto počítači.", "Tieto nastavenia sa nepodarilo uložiť:", ','},
    {"en", "For parents", "Done", "Your child plays",
     "Rest time", "How long the pointer rests on a picture to choose it.",
     "Frame stays", "How long the frame stays on each picture.",
     "Lock the game", "To leave: hold the door or Esc for 2 seconds.", "on", "off",
     "Play time", "After this time the game says goodbye.", "no limit",
     "Music", "How loud the music plays.", "Voice, sounds", "How loud the voice and the sounds are.",
     "Animals found at the first try", "first try", "not yet", "not asked",
     "The record stays on this computer only.", "These settings could not be saved:", '.'},
    {"de", "Für Eltern", "Fertig", "Ihr Kind spielt",
     "Ruhezeit", "So lange ruht der Zeiger auf einem Bild, um es zu wählen.",
     "Rahmen bleibt", "So lange bleibt der Rahmen auf jedem Bild.",
     "Spiel sperren", "Verlassen: Tür oder Esc 2 Sekunden halten.", "an", "aus",
     "Spielzeit", "Nach dieser Zeit verabschiedet sich das Spiel.", "unbegrenzt",
     "Musik", "So laut spielt die Musik.", "Stimme, Töne", "So laut sind die Stimme und die Töne.",
     "Gleich erkannte Tiere", "gleich erkannt", "noch nicht", "nicht gefragt",
     "Die Aufzeichnung bleibt nur auf diesem Computer.", "Diese Einstellungen wurden nicht gespeichert:", ','},
    {"pl", "Dla rodziców", "Gotowe", "Dziecko gra",
     "Czas spoczynku", "Jak długo wskaźnik spoczywa na obrazku, by go wybrać.",
     "Ramka stoi", "Jak długo ramka zostaje na każdym obrazku.",
     "Zablokuj grę", "Wyjście: przytrzymaj drzwi lub Esc przez 2 sekundy.", "wł.", "wył.",
     "Czas gry", "Po tym czasie gra sama się pożegna.", "bez limitu",
     "Muzyka", "Jak głośno gra muzyka.", "Głos i dźwięki", "Jak głośno słychać głos i dźwięki.",
     "Zwierzęta od razu rozpoznane", "od razu", "jeszcze nie", "nie pytano",
     "Zapis zostaje tylko na tym komputerze.", "Nie udało się zapisać tych ustawień:", ','},
    {"fr", "Pour les parents", "Terminé", "Votre enfant joue",
     "Arrêt", "Temps d'arrêt du pointeur sur une image pour la choisir.",
     "Cadre reste", "Temps pendant lequel le cadre reste sur chaque image.",
     "Verrouiller", "Pour sortir : tenir la porte ou Échap 2 secondes.", "oui", "non",
     "Temps de jeu", "Après ce temps, le jeu dit au revoir.", "sans limite",
     "Musique", "Volume de la musique.", "Voix et sons", "Volume de la voix et des sons.",
     "Animaux trouvés du premier coup", "premier coup", "pas encore", "pas demandé",
     "Le relevé reste sur cet ordinateur.", "Ces réglages n'ont pas pu être enregistrés :", ','},
    {"es", "Para padres", "Listo", "Su hijo juega",
     "Espera", "Cuánto se detiene el puntero en una imagen para elegirla.",
     "Marco queda", "Cuánto tiempo queda el marco en cada imagen.",
     "Bloquear", "Para salir: mantener la puerta o Esc 2 segundos.", "sí", "no",
     "Tiempo", "Pasado este tiempo, el juego se despide.", "sin límite",
     "Música", "Volumen de la música.", "Voz y sonidos", "Volumen de la voz y de los sonidos.",
     "Animales acertados a la primera", "a la primera", "todavía no", "sin preguntar",
     "El registro se queda solo en este ordenador.", "No se pudieron guardar estos ajustes:", ','},
}};

}  // namespace

const ParentsTexts& ParentsTextsFor(const std::string& language) {
  for (const ParentsTexts& t : kTexts)
    if (language == t.code) return t;
  return kTexts[0];
}

const ParentsTexts* ParentsTextsAll(int& count) {
  count = int(kTexts.size());
  return kTexts.data();
}

}  // namespace ozzel
