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

AnimalPlacement Row(int set, int code, plat::Rect box, const char* cz, const char* en, int pixels, bool face_left,
                    int layer = 0, int strays = 0, int stray_host = 0) {
  AnimalPlacement p;
  p.set = set;
  p.code = code;
  p.colour = kCodes[code];
  p.box = box;
  p.czech_name = cz;
  p.english_name = en;
  p.pixels = pixels;
  p.face_left = face_left;
  p.layer = layer;
  p.strays = strays;
  p.stray_host = stray_host;
  return p;
}

std::vector<AnimalPlacement> BuildTable() {
  std::vector<AnimalPlacement> t;
  // Home: the mouse sits on the cat's head, so it is drawn above the cat.
  t.push_back(Row(1, 1, Box(95, 168, 46, 102), "ptáček", "bird", 2327, false));
  t.push_back(Row(1, 3, Box(285, 357, 70, 129), "křeček", "hamster", 2930, false));
  t.push_back(Row(1, 4, Box(90, 163, 229, 273), "myška", "mouse", 2034, true, 1));
  t.push_back(Row(1, 5, Box(37, 284, 184, 399), "kočka", "cat", 21106, true));
  t.push_back(Row(1, 6, Box(502, 583, 46, 250), "papoušek", "parrot", 8706, true));
  t.push_back(Row(1, 7, Box(404, 565, 150, 402), "pes", "dog", 21697, true));
  t.push_back(Row(1, 8, Box(311, 407, 205, 251), "želva", "tortoise", 2716, false));
  // Farm: the grey strays are blended edge pixels of the white horse that came out exactly grey.
  t.push_back(Row(2, 1, Box(340, 547, 73, 256), "kůň", "horse", 14410, true));
  t.push_back(Row(2, 2, Box(447, 618, 14, 125), "kráva", "cow", 9584, false, 0));
  t.push_back(Row(2, 3, Box(181, 284, 59, 153), "ovce", "sheep", 4474, false));
  t.push_back(Row(2, 4, Box(18, 158, 71, 226), "koza", "goat", 8048, false));
  t.push_back(Row(2, 5, Box(552, 627, 184, 267), "kohout", "rooster", 2941, true, 0, 1));
  t.push_back(Row(2, 6, Box(497, 556, 309, 381), "slepice", "hen", 1835, true));
  t.push_back(Row(2, 7, Box(342, 438, 275, 378), "krocan", "turkey", 6440, true, 0, 1));
  t.push_back(Row(2, 8, Box(167, 310, 229, 311), "prase", "pig", 6386, false, 0, 1));
  t.push_back(Row(2, 9, Box(136, 222, 299, 385), "husa", "goose", 2203, false));
  t.push_back(Row(2, 10, Box(64, 122, 221, 293), "kachna", "duck", 1274, false, 0, 9, 1));
  // Forest.
  t.push_back(Row(3, 1, Box(153, 408, 39, 317), "jelen", "stag", 22171, false, 0, 1));
  t.push_back(Row(3, 2, Box(418, 629, 122, 289), "medvěd", "bear", 23641, true));
  t.push_back(Row(3, 3, Box(305, 349, 29, 110), "sova", "owl", 2822, false));
  t.push_back(Row(3, 4, Box(492, 550, 28, 90), "veverka", "squirrel", 2182, false));
  t.push_back(Row(3, 5, Box(21, 192, 107, 312), "srnka", "roe deer", 10647, false));
  t.push_back(Row(3, 6, Box(13, 118, 307, 369), "zajíc", "hare", 3045, false));
  t.push_back(Row(3, 7, Box(124, 267, 302, 395), "liška", "fox", 5452, false));
  t.push_back(Row(3, 8, Box(265, 427, 322, 396), "jezevec", "badger", 7229, false));
  t.push_back(Row(3, 9, Box(435, 621, 283, 396), "divočák", "wild boar", 11063, true, 0, 1));
  // Safari.
  t.push_back(Row(4, 1, Box(382, 635, 32, 220), "slon", "elephant", 27170, true));
  t.push_back(Row(4, 2, Box(204, 350, 147, 218), "lvice", "lioness", 4996, false));
  t.push_back(Row(4, 3, Box(15, 186, 5, 273), "žirafa", "giraffe", 13168, false, 0, 6));
  t.push_back(Row(4, 4, Box(350, 509, 154, 259), "klokan", "kangaroo", 4952, true));
  t.push_back(Row(4, 5, Box(391, 540, 301, 398), "lev", "lion", 6238, true));
  t.push_back(Row(4, 6, Box(184, 380, 213, 353), "zebra", "zebra", 12070, false));
  t.push_back(Row(4, 7, Box(458, 634, 246, 351), "nosorožec", "rhinoceros", 11139, true));
  t.push_back(Row(4, 8, Box(265, 350, 327, 400), "lvíče", "lion cub", 3176, false));
  t.push_back(Row(4, 9, Box(25, 169, 307, 386), "hroch", "hippopotamus", 6852, false));
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
