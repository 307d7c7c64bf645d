// Slovak: the same game for Slovak children, spoken by espeak-ng.
#include "tools/datagen/texts.h"

namespace datagen {

extern const TextTable kSlovak = {
    .code = "sk",
    .festival_voice = "",
    .festival_charset = "",
    .espeak_voice = "sk+f3",
    .where_is = "Kde je {}?",
    .show_me = "Ukáž mi {}.",
    .that_is = "To je {}.",
    .call = "{}!",
    .animals = {
        // set, animal, name (nominative), -, "ukáž mi" (accusative)
        {1, 1, "vtáčik", "", "vtáčika"},   {1, 3, "škrečok", "", "škrečka"},   {1, 4, "myška", "", "myšku"},
        {1, 5, "mačka", "", "mačku"},      {1, 6, "papagáj", "", "papagája"},  {1, 7, "pes", "", "psa"},
        {1, 8, "korytnačka", "", "korytnačku"},
        {2, 1, "kôň", "", "koňa"},         {2, 2, "krava", "", "kravu"},       {2, 3, "ovečka", "", "ovečku"},
        {2, 4, "koza", "", "kozu"},        {2, 5, "kohút", "", "kohúta"},      {2, 6, "sliepka", "", "sliepku"},
        {2, 7, "moriak", "", "moriaka"},   {2, 8, "prasiatko", "", "prasiatko"}, {2, 9, "hus", "", "hus"},
        {2, 10, "kačica", "", "kačicu"},
        {3, 1, "jeleň", "", "jeleňa"},     {3, 2, "medveď", "", "medveďa"},    {3, 3, "sova", "", "sovu"},
        {3, 4, "veverička", "", "veveričku"}, {3, 5, "srnka", "", "srnku"},    {3, 6, "zajac", "", "zajaca"},
        {3, 7, "líška", "", "líšku"},      {3, 8, "jazvec", "", "jazveca"},    {3, 9, "diviak", "", "diviaka"},
        {4, 1, "slon", "", "slona"},       {4, 2, "levica", "", "levicu"},     {4, 3, "žirafa", "", "žirafu"},
        {4, 4, "klokan", "", "klokana"},   {4, 5, "lev", "", "leva"},          {4, 6, "zebra", "", "zebru"},
        {4, 7, "nosorožec", "", "nosorožca"}, {4, 8, "levíča", "", "levíča"},  {4, 9, "hroch", "", "hrocha"},
    },
    .scenes = {"Domáce zvieratká", "Zvieratká na farme", "Zvieratká z lesa", "Zvieratká zo safari"},
    .end_word = "Koniec.",
    .intro = "Ahoj! Ja som Bára. Poď sa so mnou hrať so zvieratkami! "
             "Dole sú štyri farebné guľôčky. Klikni na jednu z nich alebo rovno na obrázok "
             "a vyber si: domáce zvieratká, zvieratká na farme, zvieratká z lesa alebo zvieratká zo safari. "
             "Potom sa ťa budem pýtať, kde je ktoré zvieratko. Ty ho na obrázku nájdeš a klikneš naň. "
             "Tak poďme na to!",
    .sound_first = "Ktoré zvieratko robí toto?",
    .sound_next = "Počúvaj! Kto je to?",
    .bravo = "Bravo!",
    .praise = {"Výborne!", "Správne!", "To sa ti podarilo!", "Ty si ale šikulka!", "Veľmi pekne!", "Presne tak!"},
    .miss = {"Tu nie je žiadne zvieratko.", "Tu nič nie je. Skús to znova.", "Tam nevidím žiadne zvieratko.",
             "Hľadaj ďalej, tu nič nie je."},
    .score = "Tu počítam, ako ti to ide. Pri veselom slniečku sú správne odpovede, "
             "pri zamračenom slniečku tie nesprávne.",
    .goodbye = "Na dnes je to všetko. Veľmi ti to išlo! Dovidenia!",
    .calls = {{1, "hav! hav!"}, {2, "mňau!"}, {3, "búúú!"}, {4, "íhahá!"}, {5, "hudry hudry hudry!"},
              {6, "mééé!"}, {7, "kikiriki!"}, {8, "kotkodák! kotkodák!"}, {9, "kvák kvák kvák!"},
              {10, "ga ga ga!"}, {11, "bééé!"}, {12, "kroch kroch!"}, {17, "brum brum!"}},
};

}  // namespace datagen
