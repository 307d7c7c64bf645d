// The animal placement table of the four scenes and the colour code table.
#include <algorithm>

#include "tools/art/animals.h"

namespace ozzel::art {

namespace {

// Inclusive pixel ranges, as a scene designer measures them.
constexpr plat::Rect Box(int x0, int x1, int y0, int y1) { return {x0, y0, x1 - x0 + 1, y1 - y0 + 1}; }

constexpr plat::Rgb kCodes[11] = {
    {0, 0, 0},       {255, 255, 255}, {255, 255, 0}, {255, 0, 0},     {0, 255, 255}, {0, 0, 255},
    {255, 0, 255},   {0, 255, 0},     {255, 255, 128}, {255, 128, 128}, {128, 128, 128},
};

using A = Anchor;

AnimalPlacement Row(int set, int code, plat::Rect box, const char* emoji, const char* fallback, const char* cz,
                    const char* en, int pixels, bool mirror, A anchor = A::kBottom, double stretch = 1.25,
                    Extra extra = Extra::kNone, int layer = 0) {
  AnimalPlacement p;
  p.set = set;
  p.code = code;
  p.colour = kCodes[code];
  p.box = box;
  p.emoji = emoji;
  p.fallback = fallback;
  p.czech_name = cz;
  p.english_name = en;
  p.pixels = pixels;
  p.mirror = mirror;
  p.anchor = anchor;
  p.max_stretch = stretch;
  p.extra = extra;
  p.layer = layer;
  return p;
}

std::vector<AnimalPlacement> BuildTable() {
  std::vector<AnimalPlacement> t;
  // Home: the mouse sits on the cat's back, so it is drawn above the cat.
  t.push_back(Row(1, 1, Box(95, 168, 46, 102), "🕊", "🐦", "ptáček", "bird", 2327, true, A::kCenter));
  t.push_back(Row(1, 3, Box(285, 357, 70, 129), "🐹", "🐭", "křeček", "hamster", 2930, false, A::kCenter));
  t.push_back(Row(1, 4, Box(90, 163, 229, 273), "🐀", "🐁", "myška", "mouse", 2034, true, A::kBottom, 1.3,
                  Extra::kNone, 1));
  t.push_back(Row(1, 5, Box(37, 284, 184, 399), "🐈", "🐱", "kočka", "cat", 21106, true));
  t.push_back(Row(1, 6, Box(502, 583, 46, 250), "🦜", "🐦", "papoušek", "parrot", 8706, false, A::kTop, 1.5,
                  Extra::kPerch));
  t.push_back(Row(1, 7, Box(404, 565, 150, 402), "🐕", "🐶", "pes", "dog", 21697, false));
  t.push_back(Row(1, 8, Box(311, 407, 205, 251), "🐢", "🐢", "želva", "tortoise", 2716, false));
  // Farm.
  t.push_back(Row(2, 1, Box(340, 547, 73, 256), "🐎", "🐴", "kůň", "horse", 14410, false));
  t.push_back(Row(2, 2, Box(447, 618, 14, 125), "🐄", "🐮", "kráva", "cow", 9584, false));
  t.push_back(Row(2, 3, Box(181, 284, 59, 153), "🐑", "🐏", "ovce", "sheep", 4474, true));
  t.push_back(Row(2, 4, Box(18, 158, 71, 226), "🐐", "🐏", "koza", "goat", 8048, true));
  t.push_back(Row(2, 5, Box(552, 627, 184, 267), "🐓", "🐔", "kohout", "rooster", 2941, false));
  t.push_back(Row(2, 6, Box(497, 556, 309, 381), "🐔", "🐓", "slepice", "hen", 1835, false));
  t.push_back(Row(2, 7, Box(342, 438, 275, 378), "🦃", "🐔", "krocan", "turkey", 6440, false));
  t.push_back(Row(2, 8, Box(167, 310, 229, 311), "🐖", "🐷", "prase", "pig", 6386, true));
  t.push_back(Row(2, 9, Box(136, 222, 299, 385), "🪿", "🦢", "husa", "goose", 2203, true));
  t.push_back(Row(2, 10, Box(64, 122, 221, 293), "🦆", "🐤", "kachna", "duck", 1274, true));
  // Forest.
  t.push_back(Row(3, 1, Box(153, 408, 39, 317), "🦌", "🦌", "jelen", "stag", 22171, true));
  t.push_back(Row(3, 2, Box(418, 629, 122, 289), "🐻", "🐻", "medvěd", "bear", 23641, false));
  t.push_back(Row(3, 3, Box(305, 349, 29, 110), "🦉", "🐦", "sova", "owl", 2822, false, A::kCenter, 1.3));
  t.push_back(Row(3, 4, Box(492, 550, 28, 90), "🐿", "🐭", "veverka", "squirrel", 2182, false, A::kCenter, 1.3));
  t.push_back(Row(3, 5, Box(21, 192, 107, 312), "🦌", "🦌", "srnka", "roe deer", 10647, true));
  t.push_back(Row(3, 6, Box(13, 118, 307, 369), "🐇", "🐰", "zajíc", "hare", 3045, true, A::kBottom, 1.45));
  t.push_back(Row(3, 7, Box(124, 267, 302, 395), "🦊", "🐶", "liška", "fox", 5452, false));
  t.push_back(Row(3, 8, Box(265, 427, 322, 396), "🦡", "🦝", "jezevec", "badger", 7229, false));
  t.push_back(Row(3, 9, Box(435, 621, 283, 396), "🐗", "🐖", "divočák", "wild boar", 11063, false));
  // Safari.
  t.push_back(Row(4, 1, Box(382, 635, 32, 220), "🐘", "🐘", "slon", "elephant", 27170, false));
  t.push_back(Row(4, 2, Box(204, 350, 147, 218), "🐆", "🐅", "lvice", "lioness", 4996, true));
  t.push_back(Row(4, 3, Box(15, 186, 5, 273), "🦒", "🦒", "žirafa", "giraffe", 13168, true));
  t.push_back(Row(4, 4, Box(350, 509, 154, 259), "🦘", "🐇", "klokan", "kangaroo", 4952, false));
  t.push_back(Row(4, 5, Box(391, 540, 301, 398), "🦁", "🐯", "lev", "lion", 6238, false));
  t.push_back(Row(4, 6, Box(184, 380, 213, 353), "🦓", "🐴", "zebra", "zebra", 12070, true));
  t.push_back(Row(4, 7, Box(458, 634, 246, 351), "🦏", "🐘", "nosorožec", "rhinoceros", 11139, false));
  t.push_back(Row(4, 8, Box(265, 350, 327, 400), "🦁", "🐯", "lvíče", "lion cub", 3176, false));
  t.push_back(Row(4, 9, Box(25, 169, 307, 386), "🦛", "🐘", "hroch", "hippopotamus", 6852, true));
  return t;
}

}  // namespace

const std::vector<AnimalPlacement>& AnimalPlacements() {
  static const std::vector<AnimalPlacement> table = BuildTable();
  return table;
}

const AnimalPlacement* FindPlacement(int set, int code) {
  for (const auto& p : AnimalPlacements())
    if (p.set == set && p.code == code) return &p;
  return nullptr;
}

std::vector<const AnimalPlacement*> PlacementsInDrawingOrder(int set) {
  std::vector<const AnimalPlacement*> out;
  for (const auto& p : AnimalPlacements())
    if (p.set == set) out.push_back(&p);
  // Painter's order: animals further back (higher up in the picture) first.
  std::stable_sort(out.begin(), out.end(), [](const AnimalPlacement* a, const AnimalPlacement* b) {
    if (a->layer != b->layer) return a->layer < b->layer;
    return a->box.bottom() < b->box.bottom();
  });
  return out;
}

plat::Rgb CodeColour(int code) { return (code >= 1 && code <= 10) ? kCodes[code] : kCodes[0]; }

const char* HitMapName(int set) {
  switch (set) {
    case 1: return "RGB_doma";
    case 2: return "RGB_uzitecna";
    case 3: return "RGB_lesni";
    case 4: return "RGB_safari";
    default: return "";
  }
}

}  // namespace ozzel::art
