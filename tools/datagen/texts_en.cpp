// English (American spelling, to match Festival's US voice).
#include "tools/datagen/texts.h"

namespace datagen {

extern const TextTable kEnglish = {
    .code = "en",
    .festival_voice = "cmu_us_slt_arctic_hts",
    .festival_charset = "ISO-8859-1",
    .espeak_voice = "en-us+f3",
    .where_is = "Where is {}?",
    .show_me = "Show me {}.",
    .that_is = "That's {}.",
    .call = "{}!",
    .animals = {
        // set, animal, name, with its article
        {1, 1, "bird", "the bird", ""},       {1, 3, "hamster", "the hamster", ""}, {1, 4, "mouse", "the mouse", ""},
        {1, 5, "cat", "the cat", ""},         {1, 6, "parrot", "the parrot", ""},   {1, 7, "dog", "the dog", ""},
        {1, 8, "turtle", "the turtle", ""},
        {2, 1, "horse", "the horse", ""},     {2, 2, "cow", "the cow", ""},         {2, 3, "sheep", "the sheep", ""},
        {2, 4, "goat", "the goat", ""},       {2, 5, "rooster", "the rooster", ""}, {2, 6, "hen", "the hen", ""},
        {2, 7, "turkey", "the turkey", ""},   {2, 8, "piglet", "the piglet", ""},   {2, 9, "goose", "the goose", ""},
        {2, 10, "duck", "the duck", ""},
        {3, 1, "stag", "the stag", ""},       {3, 2, "bear", "the bear", ""},       {3, 3, "owl", "the owl", ""},
        {3, 4, "squirrel", "the squirrel", ""}, {3, 5, "doe", "the doe", ""},       {3, 6, "hare", "the hare", ""},
        {3, 7, "fox", "the fox", ""},         {3, 8, "badger", "the badger", ""},   {3, 9, "wild boar", "the wild boar", ""},
        {4, 1, "elephant", "the elephant", ""}, {4, 2, "lioness", "the lioness", ""}, {4, 3, "giraffe", "the giraffe", ""},
        {4, 4, "kangaroo", "the kangaroo", ""}, {4, 5, "lion", "the lion", ""},     {4, 6, "zebra", "the zebra", ""},
        {4, 7, "rhino", "the rhino", ""},     {4, 8, "lion cub", "the lion cub", ""}, {4, 9, "hippo", "the hippo", ""},
    },
    .scenes = {"Pets at home", "Farm animals", "Forest animals", "Safari animals"},
    .end_word = "The end.",
    .intro = "Hi! I'm Bara. Come and play with the animals! "
             "Down at the bottom there are four colorful balls. Click on one of them, or right on the picture, "
             "and choose: pets at home, farm animals, forest animals, or safari animals. "
             "Then I'll ask you where each animal is. You find it in the picture and click on it. "
             "Let's go!",
    .sound_first = "Which animal makes this sound?",
    .sound_next = "Listen! Who's that?",
    .bravo = "Bravo!",
    .praise = {"Great job!", "That's right!", "You did it!", "Aren't you clever!", "Very good!", "Exactly!"},
    .miss = {"There's no animal here.", "There's nothing here. Try again.", "I don't see an animal there.",
             "Keep looking, there's nothing here."},
    .score = "Here I keep count of how you're doing. Next to the happy sun are the right answers, "
             "next to the frowning sun the wrong ones.",
    .goodbye = "That's all for today. You did really well! Goodbye!",
    .calls = {{1, "woof! woof!"}, {2, "meow!"}, {3, "moo!"}, {4, "neigh!"}, {5, "gobble gobble gobble!"},
              {6, "maa!"}, {7, "cock-a-doodle-doo!"}, {8, "cluck cluck cluck!"}, {9, "quack quack quack!"},
              {10, "honk honk honk!"}, {11, "baa!"}, {12, "oink oink!"}, {17, "grrr!"}},
};

}  // namespace datagen
