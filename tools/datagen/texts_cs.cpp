// Czech, the medium's own language: the examiner Bára talks to a three-year-old.
#include "tools/datagen/texts.h"

namespace datagen {

extern const TextTable kCzech = {
    .code = "cs",
    .festival_voice = "czech_dita",
    .festival_charset = "ISO-8859-2",
    .espeak_voice = "cs+f3",
    .where_is = "Kde je {}?",
    .show_me = "Ukaž mi {}.",
    .that_is = "To je {}.",
    .call = "{}!",
    .animals = {
        // set, animal, name (nominative), -, "ukaž mi" (accusative)
        {1, 1, "ptáček", "", "ptáčka"},   {1, 3, "křeček", "", "křečka"},     {1, 4, "myška", "", "myšku"},
        {1, 5, "kočka", "", "kočku"},     {1, 6, "papoušek", "", "papouška"}, {1, 7, "pes", "", "psa"},
        {1, 8, "želva", "", "želvu"},
        {2, 1, "kůň", "", "koně"},        {2, 2, "kráva", "", "krávu"},       {2, 3, "ovečka", "", "ovečku"},
        {2, 4, "koza", "", "kozu"},       {2, 5, "kohout", "", "kohouta"},    {2, 6, "slepice", "", "slepici"},
        {2, 7, "krocan", "", "krocana"},  {2, 8, "prasátko", "", "prasátko"}, {2, 9, "husa", "", "husu"},
        {2, 10, "kachna", "", "kachnu"},
        {3, 1, "jelen", "", "jelena"},    {3, 2, "medvěd", "", "medvěda"},    {3, 3, "sova", "", "sovu"},
        {3, 4, "veverka", "", "veverku"}, {3, 5, "srnka", "", "srnku"},       {3, 6, "zajíc", "", "zajíce"},
        {3, 7, "liška", "", "lišku"},     {3, 8, "jezevec", "", "jezevce"},   {3, 9, "divočák", "", "divočáka"},
        {4, 1, "slon", "", "slona"},      {4, 2, "lvice", "", "lvici"},       {4, 3, "žirafa", "", "žirafu"},
        {4, 4, "klokan", "", "klokana"},  {4, 5, "lev", "", "lva"},           {4, 6, "zebra", "", "zebru"},
        {4, 7, "nosorožec", "", "nosorožce"}, {4, 8, "lvíče", "", "lvíče"},   {4, 9, "hroch", "", "hrocha"},
    },
    .scenes = {"Domácí zvířátka", "Zvířátka na statku", "Zvířátka z lesa", "Zvířátka ze safari"},
    .end_word = "Konec.",
    .intro = "Ahoj! Já jsem Bára. Pojď si se mnou hrát se zvířátky! "
             "Dole jsou čtyři barevné kuličky. Klikni na jednu z nich, nebo rovnou na obrázek, "
             "a vyber si: domácí zvířátka, zvířátka na statku, zvířátka z lesa, nebo zvířátka ze safari. "
             "Potom se tě budu ptát, kde je které zvířátko. Ty ho v obrázku najdeš a klikneš na něj. "
             "Tak jdeme na to!",
    .sound_first = "Které zvířátko dělá tohle?",
    .sound_next = "Poslouchej! Kdo to je?",
    .bravo = "Bravo!",
    .praise = {"Výborně!", "Správně!", "To se ti povedlo!", "Ty jsi ale šikula!", "Moc hezky!", "Přesně tak!"},
    .miss = {"Tady žádné zvířátko není.", "Tady nic není. Zkus to znovu.", "Tam žádné zvířátko nevidím.",
             "Hledej dál, tady nic není."},
    .score = "Tady počítám, jak ti to jde. U veselého sluníčka jsou správné odpovědi, "
             "u zamračeného sluníčka ty chybné.",
    .goodbye = "Pro dnešek je to všechno. Moc ti to šlo! Na shledanou!",
    .calls = {{1, "haf! haf!"}, {2, "mňau!"}, {3, "búúú!"}, {4, "íhahá!"}, {5, "hudry hudry hudry!"},
              {6, "mééé!"}, {7, "kykyryký!"}, {8, "kokokokodák! kokodák!"}, {9, "kvák kvák kvák!"},
              {10, "ga ga ga!"}, {11, "bééé!"}, {12, "chro chro!"}, {17, "brum brum!"}},
};

}  // namespace datagen
