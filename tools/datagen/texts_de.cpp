// German: the object of "Zeig mir" is accusative, which only masculine nouns show ("den Hund").
#include "tools/datagen/texts.h"

namespace datagen {

extern const TextTable kGerman = {
    .code = "de",
    .festival_voice = "",
    .festival_charset = "",
    .espeak_voice = "de+f3",
    .where_is = "Wo ist {}?",
    .show_me = "Zeig mir {}.",
    .that_is = "Das ist {}.",
    .call = "{}!",
    .animals = {
        // set, animal, name, nominative with article, accusative when it differs
        {1, 1, "Vogel", "der Vogel", "den Vogel"},       {1, 3, "Hamster", "der Hamster", "den Hamster"},
        {1, 4, "Maus", "die Maus", ""},                  {1, 5, "Katze", "die Katze", ""},
        {1, 6, "Papagei", "der Papagei", "den Papagei"}, {1, 7, "Hund", "der Hund", "den Hund"},
        {1, 8, "Schildkröte", "die Schildkröte", ""},
        {2, 1, "Pferd", "das Pferd", ""},                {2, 2, "Kuh", "die Kuh", ""},
        {2, 3, "Schaf", "das Schaf", ""},                {2, 4, "Ziege", "die Ziege", ""},
        {2, 5, "Hahn", "der Hahn", "den Hahn"},          {2, 6, "Huhn", "das Huhn", ""},
        {2, 7, "Truthahn", "der Truthahn", "den Truthahn"}, {2, 8, "Schweinchen", "das Schweinchen", ""},
        {2, 9, "Gans", "die Gans", ""},                  {2, 10, "Ente", "die Ente", ""},
        {3, 1, "Hirsch", "der Hirsch", "den Hirsch"},    {3, 2, "Bär", "der Bär", "den Bären"},
        {3, 3, "Eule", "die Eule", ""},                  {3, 4, "Eichhörnchen", "das Eichhörnchen", ""},
        {3, 5, "Reh", "das Reh", ""},                    {3, 6, "Hase", "der Hase", "den Hasen"},
        {3, 7, "Fuchs", "der Fuchs", "den Fuchs"},       {3, 8, "Dachs", "der Dachs", "den Dachs"},
        {3, 9, "Wildschwein", "das Wildschwein", ""},
        {4, 1, "Elefant", "der Elefant", "den Elefanten"}, {4, 2, "Löwin", "die Löwin", ""},
        {4, 3, "Giraffe", "die Giraffe", ""},            {4, 4, "Känguru", "das Känguru", ""},
        {4, 5, "Löwe", "der Löwe", "den Löwen"},         {4, 6, "Zebra", "das Zebra", ""},
        {4, 7, "Nashorn", "das Nashorn", ""},            {4, 8, "Löwenbaby", "das Löwenbaby", ""},
        {4, 9, "Nilpferd", "das Nilpferd", ""},
    },
    .scenes = {"Haustiere", "Tiere auf dem Bauernhof", "Tiere im Wald", "Safaritiere"},
    .end_word = "Ende.",
    .intro = "Hallo! Ich bin Bara. Komm, spiel mit mir und den Tieren! "
             "Unten sind vier bunte Kugeln. Klick auf eine davon oder gleich auf das Bild "
             "und such dir etwas aus: Haustiere, Tiere auf dem Bauernhof, Tiere im Wald oder Safaritiere. "
             "Dann frage ich dich, wo welches Tier ist. Du findest es im Bild und klickst darauf. "
             "Also, los geht's!",
    .sound_first = "Welches Tier macht dieses Geräusch?",
    .sound_next = "Hör mal! Wer ist das?",
    .bravo = "Bravo!",
    .praise = {"Super!", "Richtig!", "Das hast du toll gemacht!", "Du bist aber schlau!", "Sehr schön!", "Genau!"},
    .miss = {"Hier ist kein Tier.", "Hier ist nichts. Versuch es noch einmal.", "Da sehe ich kein Tier.",
             "Such weiter, hier ist nichts."},
    .score = "Hier zähle ich mit, wie gut es klappt. Bei der lachenden Sonne stehen die richtigen Antworten, "
             "bei der traurigen Sonne die falschen.",
    .goodbye = "Das war's für heute. Das hast du toll gemacht! Auf Wiedersehen!",
    .calls = {{1, "wau wau!"}, {2, "miau!"}, {3, "muh!"}, {4, "wieher!"}, {5, "koller koller koller!"},
              {6, "mäh!"}, {7, "kikeriki!"}, {8, "gack gack gack!"}, {9, "quak quak quak!"},
              {10, "schnatter schnatter!"}, {11, "bäh!"}, {12, "grunz grunz!"}, {17, "brumm brumm!"}},
};

}  // namespace datagen
