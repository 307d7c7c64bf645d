// Polish: "Pokaż mi" takes the accusative, which for male animals is the genitive form ("psa", "kota").
#include "tools/datagen/texts.h"

namespace datagen {

extern const TextTable kPolish = {
    .code = "pl",
    .festival_voice = "",
    .festival_charset = "",
    .espeak_voice = "pl+f3",
    .where_is = "Gdzie jest {}?",
    .show_me = "Pokaż mi {}.",
    .that_is = "To jest {}.",
    .call = "{}!",
    .animals = {
        // set, animal, name (nominative), -, "pokaż mi" (accusative)
        {1, 1, "ptaszek", "", "ptaszka"},   {1, 3, "chomik", "", "chomika"},     {1, 4, "myszka", "", "myszkę"},
        {1, 5, "kot", "", "kota"},          {1, 6, "papuga", "", "papugę"},      {1, 7, "pies", "", "psa"},
        {1, 8, "żółw", "", "żółwia"},
        {2, 1, "koń", "", "konia"},         {2, 2, "krowa", "", "krowę"},        {2, 3, "owieczka", "", "owieczkę"},
        {2, 4, "koza", "", "kozę"},         {2, 5, "kogut", "", "koguta"},       {2, 6, "kura", "", "kurę"},
        {2, 7, "indyk", "", "indyka"},      {2, 8, "świnka", "", "świnkę"},      {2, 9, "gęś", "", "gęś"},
        {2, 10, "kaczka", "", "kaczkę"},
        {3, 1, "jeleń", "", "jelenia"},     {3, 2, "niedźwiedź", "", "niedźwiedzia"}, {3, 3, "sowa", "", "sowę"},
        {3, 4, "wiewiórka", "", "wiewiórkę"}, {3, 5, "sarenka", "", "sarenkę"},  {3, 6, "zając", "", "zająca"},
        {3, 7, "lis", "", "lisa"},          {3, 8, "borsuk", "", "borsuka"},     {3, 9, "dzik", "", "dzika"},
        {4, 1, "słoń", "", "słonia"},       {4, 2, "lwica", "", "lwicę"},        {4, 3, "żyrafa", "", "żyrafę"},
        {4, 4, "kangur", "", "kangura"},    {4, 5, "lew", "", "lwa"},            {4, 6, "zebra", "", "zebrę"},
        {4, 7, "nosorożec", "", "nosorożca"}, {4, 8, "lwiątko", "", "lwiątko"},  {4, 9, "hipopotam", "", "hipopotama"},
    },
    .scenes = {"Zwierzątka domowe", "Zwierzątka na wsi", "Zwierzątka z lasu", "Zwierzątka z safari"},
    .end_word = "Koniec.",
    .intro = "Cześć! Jestem Basia. Chodź, pobawimy się razem ze zwierzątkami! "
             "Na dole są cztery kolorowe kulki. Kliknij na jedną z nich albo od razu na obrazek "
             "i wybierz: zwierzątka domowe, zwierzątka na wsi, zwierzątka z lasu albo zwierzątka z safari. "
             "Potem zapytam cię, gdzie jest które zwierzątko. Ty znajdziesz je na obrazku i na nie klikniesz. "
             "No to zaczynamy!",
    .sound_first = "Które zwierzątko tak robi?",
    .sound_next = "Posłuchaj! Kto to jest?",
    .bravo = "Brawo!",
    .praise = {"Świetnie!", "Dobrze!", "Udało ci się!", "Ale z ciebie zuch!", "Bardzo ładnie!", "Właśnie tak!"},
    .miss = {"Tu nie ma żadnego zwierzątka.", "Tu nic nie ma. Spróbuj jeszcze raz.", "Nie widzę tam żadnego zwierzątka.",
             "Szukaj dalej, tu nic nie ma."},
    .score = "Tu liczę, jak ci idzie. Przy wesołym słoneczku są dobre odpowiedzi, "
             "przy pochmurnym słoneczku te złe.",
    .goodbye = "To wszystko na dziś. Świetnie ci poszło! Do widzenia!",
    .calls = {{1, "hau hau!"}, {2, "miau!"}, {3, "muuu!"}, {4, "iihaha!"}, {5, "gul gul gul!"},
              {6, "meee!"}, {7, "kukuryku!"}, {8, "ko ko ko! ko ko ko!"}, {9, "kwa kwa kwa!"},
              {10, "gę gę gę!"}, {11, "beee!"}, {12, "chrum chrum!"}, {17, "mrrr!"}},
};

}  // namespace datagen
