// The quiz's small decisions: the verdict of a click, the rotating praise and miss recordings, the
// scene an intro quarter chooses.
#pragma once

namespace ozzel::game {

// What a click on the scene means: no animal there, another animal than the one asked for, or it.
enum class Verdict { Miss, Wrong, Right };
// code: the hit map's animal code at the click (0 for none); asked: the current question's animal.
Verdict Judge(int code, int asked);

// The next of the recordings 1..count, in turn; 0 (none played yet) and count both lead to 1.
int NextInTurn(int index, int count);
inline constexpr int kMissRecordings = 4;    // "oz_bad1" .. "oz_bad4"
inline constexpr int kPraiseRecordings = 6;  // "oz_ok1" .. "oz_ok6"

// The set chosen by a click on the intro picture: its upper-left, upper-right, lower-left and
// lower-right quarters are sets 1..4. The halves are split at half of width and height (the scene
// image's size); 0 belongs to the right and the lower half.
int SetOfQuarter(int x, int y, int width, int height);

}  // namespace ozzel::game
