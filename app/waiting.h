// The waiting screen of a first start: the game's window, a snail and a progress bar while the data medium
// is made, in the user's language; a failure is said on it plainly.
#pragma once
#include <string>
#include <vector>

#include "platform/backend.h"

namespace ozzel {

// The work being waited for. Its lines: "progress DONE TOTAL", "error voice|space|other DETAIL".
class Preparation {
 public:
  virtual ~Preparation() = default;
  // Appends the lines reported since the last call; false once the work has ended.
  virtual bool Poll(std::vector<std::string>& lines) = 0;
  // After the end: 0 when the medium is ready.
  virtual int Status() const = 0;
};

struct WaitingTexts {
  const char* code;
  const char* working;     // the title while the medium is made
  const char* patience;    // under it
  const char* failed;      // the title when it could not be made
  const char* no_voice;    // why: no speech engine
  const char* no_space;    // why: the disk is full
  const char* other;       // why: anything else
  const char* next_time;   // the next start tries again
  const char* to_close;
};
// The texts of a language of the medium (cs sk en de pl fr es); Czech for any other.
const WaitingTexts& WaitingTextsFor(const std::string& code);

enum class WaitOutcome { kReady, kFailed, kClosed };
// Shows the waiting screen until the work ends: kReady when it succeeded. On a failure the screen says
// why until a click, a key or the window's closing (kFailed); kClosed when the window was closed while
// the work went on. Lines "… N %" go to stderr as the bar moves, for a terminal.
WaitOutcome RunWaitingScreen(plat::Backend& backend, Preparation& work, const std::string& language);

}  // namespace ozzel
