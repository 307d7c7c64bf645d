// French, with the space French puts before ? and ! (the article elides before a vowel: "l'ours").
#include "tools/datagen/texts.h"

namespace datagen {

extern const TextTable kFrench = {
    .code = "fr",
    .festival_voice = "",
    .festival_charset = "",
    .espeak_voice = "fr+f3",
    .where_is = "Où est {} ?",
    .show_me = "Montre-moi {}.",
    .that_is = "C'est {}.",
    .call = "{} !",
    .animals = {
        // set, animal, name, with its article
        {1, 1, "oiseau", "l'oiseau", ""},        {1, 3, "hamster", "le hamster", ""}, {1, 4, "souris", "la souris", ""},
        {1, 5, "chat", "le chat", ""},           {1, 6, "perroquet", "le perroquet", ""}, {1, 7, "chien", "le chien", ""},
        {1, 8, "tortue", "la tortue", ""},
        {2, 1, "cheval", "le cheval", ""},       {2, 2, "vache", "la vache", ""},     {2, 3, "mouton", "le mouton", ""},
        {2, 4, "chèvre", "la chèvre", ""},       {2, 5, "coq", "le coq", ""},         {2, 6, "poule", "la poule", ""},
        {2, 7, "dindon", "le dindon", ""},       {2, 8, "cochon", "le cochon", ""},   {2, 9, "oie", "l'oie", ""},
        {2, 10, "canard", "le canard", ""},
        {3, 1, "cerf", "le cerf", ""},           {3, 2, "ours", "l'ours", ""},        {3, 3, "chouette", "la chouette", ""},
        {3, 4, "écureuil", "l'écureuil", ""},    {3, 5, "biche", "la biche", ""},     {3, 6, "lièvre", "le lièvre", ""},
        {3, 7, "renard", "le renard", ""},       {3, 8, "blaireau", "le blaireau", ""}, {3, 9, "sanglier", "le sanglier", ""},
        {4, 1, "éléphant", "l'éléphant", ""},    {4, 2, "lionne", "la lionne", ""},   {4, 3, "girafe", "la girafe", ""},
        {4, 4, "kangourou", "le kangourou", ""}, {4, 5, "lion", "le lion", ""},       {4, 6, "zèbre", "le zèbre", ""},
        {4, 7, "rhinocéros", "le rhinocéros", ""}, {4, 8, "lionceau", "le lionceau", ""},
        {4, 9, "hippopotame", "l'hippopotame", ""},
    },
    .scenes = {"Les animaux de la maison", "Les animaux de la ferme", "Les animaux de la forêt",
               "Les animaux du safari"},
    .end_word = "Fin.",
    .intro = "Salut ! Je m'appelle Bara. Viens jouer avec moi et avec les animaux ! "
             "En bas, il y a quatre boules de couleur. Clique sur l'une d'elles, ou directement sur l'image, "
             "et choisis : les animaux de la maison, de la ferme, de la forêt ou du safari. "
             "Ensuite, je te demanderai où se trouve chaque animal. Tu le cherches dans l'image et tu cliques dessus. "
             "Allez, on y va !",
    .sound_first = "Quel animal fait ce bruit ?",
    .sound_next = "Écoute ! Qui est-ce ?",
    .bravo = "Bravo !",
    .praise = {"Super !", "C'est juste !", "Tu as réussi !", "Bien joué !", "Très bien !", "Exactement !"},
    .miss = {"Il n'y a pas d'animal ici.", "Il n'y a rien ici. Essaie encore.", "Je ne vois pas d'animal là.",
             "Cherche encore, il n'y a rien ici."},
    .score = "Ici, je compte tes réponses. À côté du soleil qui rit, les bonnes réponses, "
             "à côté du soleil grognon, les mauvaises.",
    .goodbye = "C'est tout pour aujourd'hui. Tu as très bien joué ! Au revoir !",
    .calls = {{1, "ouaf ! ouaf !"}, {2, "miaou !"}, {3, "meuh !"}, {4, "hiiii !"}, {5, "glou glou glou !"},
              {6, "bêêê !"}, {7, "cocorico !"}, {8, "cot cot codet !"}, {9, "coin coin coin !"},
              {10, "couac couac !"}, {11, "bêêê !"}, {12, "groin groin !"}, {17, "grrr !"}},
};

}  // namespace datagen
