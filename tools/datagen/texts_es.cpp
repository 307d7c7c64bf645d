// Spanish (Spain): questions open with ¿ and calls with ¡.
#include "tools/datagen/texts.h"

namespace datagen {

extern const TextTable kSpanish = {
    .code = "es",
    .festival_voice = "",
    .festival_charset = "",
    .espeak_voice = "es+f3",
    .where_is = "¿Dónde está {}?",
    .show_me = "Enséñame {}.",
    .that_is = "Es {}.",
    .call = "¡{}!",
    .animals = {
        // set, animal, name, with its article
        {1, 1, "pajarito", "el pajarito", ""},  {1, 3, "hámster", "el hámster", ""}, {1, 4, "ratón", "el ratón", ""},
        {1, 5, "gato", "el gato", ""},          {1, 6, "loro", "el loro", ""},       {1, 7, "perro", "el perro", ""},
        {1, 8, "tortuga", "la tortuga", ""},
        {2, 1, "caballo", "el caballo", ""},    {2, 2, "vaca", "la vaca", ""},       {2, 3, "oveja", "la oveja", ""},
        {2, 4, "cabra", "la cabra", ""},        {2, 5, "gallo", "el gallo", ""},     {2, 6, "gallina", "la gallina", ""},
        {2, 7, "pavo", "el pavo", ""},          {2, 8, "cerdito", "el cerdito", ""}, {2, 9, "oca", "la oca", ""},
        {2, 10, "pato", "el pato", ""},
        {3, 1, "ciervo", "el ciervo", ""},      {3, 2, "oso", "el oso", ""},         {3, 3, "búho", "el búho", ""},
        {3, 4, "ardilla", "la ardilla", ""},    {3, 5, "corzo", "el corzo", ""},     {3, 6, "liebre", "la liebre", ""},
        {3, 7, "zorro", "el zorro", ""},        {3, 8, "tejón", "el tejón", ""},     {3, 9, "jabalí", "el jabalí", ""},
        {4, 1, "elefante", "el elefante", ""},  {4, 2, "leona", "la leona", ""},     {4, 3, "jirafa", "la jirafa", ""},
        {4, 4, "canguro", "el canguro", ""},    {4, 5, "león", "el león", ""},       {4, 6, "cebra", "la cebra", ""},
        {4, 7, "rinoceronte", "el rinoceronte", ""}, {4, 8, "leoncito", "el leoncito", ""},
        {4, 9, "hipopótamo", "el hipopótamo", ""},
    },
    .scenes = {"Animales de casa", "Animales de la granja", "Animales del bosque", "Animales del safari"},
    .end_word = "Fin.",
    .intro = "¡Hola! Soy Bara. ¡Ven a jugar conmigo con los animales! "
             "Abajo hay cuatro bolitas de colores. Haz clic en una de ellas, o directamente en el dibujo, "
             "y elige: animales de casa, animales de la granja, animales del bosque o animales del safari. "
             "Luego te preguntaré dónde está cada animal. Tú lo buscas en el dibujo y haces clic encima. "
             "¡Vamos allá!",
    .sound_first = "¿Qué animal hace este ruido?",
    .sound_next = "¡Escucha! ¿Quién es?",
    .bravo = "¡Bravo!",
    .praise = {"¡Muy bien!", "¡Correcto!", "¡Lo has conseguido!", "¡Qué bien lo haces!", "¡Estupendo!", "¡Exacto!"},
    .miss = {"Aquí no hay ningún animal.", "Aquí no hay nada. Inténtalo otra vez.", "Ahí no veo ningún animal.",
             "Sigue buscando, aquí no hay nada."},
    .score = "Aquí cuento cómo te va. Junto al sol sonriente están las respuestas correctas; "
             "junto al sol enfadado, las equivocadas.",
    .goodbye = "Eso es todo por hoy. ¡Lo has hecho muy bien! ¡Adiós!",
    .calls = {{1, "¡guau, guau!"}, {2, "¡miau!"}, {3, "¡muuu!"}, {4, "¡iiiih!"}, {5, "¡glu, glu, glu!"},
              {6, "¡meee!"}, {7, "¡quiquiriquí!"}, {8, "¡cloc, cloc, cloc!"}, {9, "¡cuac, cuac, cuac!"},
              {10, "¡oc, oc, oc!"}, {11, "¡beee!"}, {12, "¡oink, oink!"}, {17, "¡grrr!"}},
};

}  // namespace datagen
