// The studio's words in every language a demo medium can be made in; Czech for any other.
#include "app/voice_texts.h"

#include <array>

namespace ozzel {

namespace {

const std::array<VoiceTexts, 7> kTexts = {{
    {"cs", "Náš vlastní hlas", "z", "Nahrát", "Poslouchám…", "Znovu", "Další", "Řekni to takhle",
     "Nic jsme neslyšeli: je mikrofon zapnutý?", "Trochu dál od mikrofonu, prosím.",
     "Trochu blíž k mikrofonu, prosím.", "Tento soubor nelze přečíst.", "Mikrofon není k dispozici.",
     "Nahrávku se nepodařilo uložit; předchozí zůstává.", "Hrát s naším hlasem", "Úvod", "Obrázek",
     "Pochvaly a chyby", "Konec", "Uloženo do:", "Nahrávek přidáno:", "Nahradit stávající nahrávky? Počet:",
     "Tento soubor nelze převzít."},
    {"sk", "Náš vlastný hlas", "z", "Nahrať", "Počúvam…", "Znova", "Ďalej", "Povedz to takto",
     "Nič sme nepočuli: je mikrofón zapnutý?", "Trochu ďalej od mikrofónu, prosím.",
     "Trochu bližšie k mikrofónu, prosím.", "Tento súbor sa nedá prečítať.", "Mikrofón nie je k dispozícii.",
     "Nahrávku sa nepodarilo uložiť; predchádzajúca zostáva.", "Hrať s naším hlasom", "Úvod", "Obrázok",
     "Pochvaly a chyby", "Koniec", "Uložené do:", "Pridané nahrávky:", "Nahradiť existujúce nahrávky? Počet:",
     "Tento súbor sa nedá prevziať."},
    {"en", "Our own voice", "of", "Record", "Listening…", "Again", "Next", "Say it like this",
     "We heard nothing: is the microphone on?", "A little further from the microphone, please.",
     "A little closer to the microphone, please.", "This file cannot be read.", "No microphone can be used.",
     "The take could not be saved; the one before stays.", "Play with our voice", "Start", "Scene",
     "Praise and misses", "Goodbye", "Saved to:", "Takes added:", "Replace the takes already there? Count:",
     "This file cannot be taken."},
    {"de", "Unsere eigene Stimme", "von", "Aufnehmen", "Ich höre zu…", "Nochmal", "Weiter", "So klingt es",
     "Wir haben nichts gehört: Ist das Mikrofon an?", "Bitte etwas weiter weg vom Mikrofon.",
     "Bitte etwas näher ans Mikrofon.", "Diese Datei kann nicht gelesen werden.", "Kein Mikrofon verfügbar.",
     "Die Aufnahme wurde nicht gespeichert; die vorige bleibt.", "Mit unserer Stimme spielen", "Anfang", "Bild",
     "Lob und Fehler", "Ende", "Gespeichert in:", "Aufnahmen übernommen:", "Vorhandene Aufnahmen ersetzen? Anzahl:",
     "Diese Datei kann nicht übernommen werden."},
    {"pl", "Nasz własny głos", "z", "Nagraj", "Słucham…", "Jeszcze raz", "Dalej", "Powiedz to tak",
     "Nic nie słychać: czy mikrofon jest włączony?", "Trochę dalej od mikrofonu, proszę.",
     "Trochę bliżej mikrofonu, proszę.", "Nie można odczytać tego pliku.", "Mikrofon jest niedostępny.",
     "Nie udało się zapisać nagrania; poprzednie zostaje.", "Graj z naszym głosem", "Początek", "Obrazek",
     "Pochwały i pomyłki", "Koniec", "Zapisano w:", "Dodano nagrań:", "Zastąpić istniejące nagrania? Liczba:",
     "Nie można przyjąć tego pliku."},
    {"fr", "Notre propre voix", "sur", "Enregistrer", "J'écoute…", "Encore", "Suivant", "Dis-le comme ça",
     "Nous n'avons rien entendu : le micro est-il allumé ?", "Un peu plus loin du micro, s'il vous plaît.",
     "Un peu plus près du micro, s'il vous plaît.", "Ce fichier ne peut pas être lu.", "Aucun micro utilisable.",
     "La prise n'a pas pu être enregistrée ; la précédente reste.", "Jouer avec notre voix", "Début", "Image",
     "Bravos et erreurs", "Fin", "Enregistré dans :", "Prises ajoutées :", "Remplacer les prises existantes ? Nombre :",
     "Ce fichier ne peut pas être repris."},
    {"es", "Nuestra propia voz", "de", "Grabar", "Escuchando…", "Otra vez", "Siguiente", "Dilo así",
     "No oímos nada: ¿está encendido el micrófono?", "Un poco más lejos del micrófono, por favor.",
     "Un poco más cerca del micrófono, por favor.", "Este archivo no se puede leer.", "No hay micrófono disponible.",
     "No se pudo guardar la toma; la anterior se queda.", "Jugar con nuestra voz", "Inicio", "Escena",
     "Elogios y fallos", "Fin", "Guardado en:", "Tomas añadidas:", "¿Reemplazar las tomas existentes? Número:",
     "Este archivo no se puede tomar."},
}};

}  // namespace

const VoiceTexts& VoiceTextsFor(const std::string& language) {
  for (const VoiceTexts& t : kTexts)
    if (language == t.code) return t;
  return kTexts[0];
}

}  // namespace ozzel
