// The verdict of a click, the turn of recordings and the intro quarters.
#include "game/rules.h"

namespace ozzel::game {

Verdict Judge(int code, int asked) {
  if (code == 0) return Verdict::Miss;
  return code == asked ? Verdict::Right : Verdict::Wrong;
}

int NextInTurn(int index, int count) { return index >= count ? 1 : index + 1; }

int SetOfQuarter(int x, int y, int width, int height) {
  double half_w = width / 2.0, half_h = height / 2.0;
  bool upper = 0 < y && y < half_h;
  bool left = 0 < x && x < half_w;
  return upper ? (left ? 1 : 2) : (left ? 3 : 4);
}

}  // namespace ozzel::game
