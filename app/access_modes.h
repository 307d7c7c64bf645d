// The access modes, one entry each: their words on the parents' page, their timing, and the class that drives them.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "media/parents.h"
#include "platform/backend.h"

namespace ozzel {

class AccessLayer;

// How a mode turns the child's keys, pointer and the passing time into moves of the highlight and
// choices. The layer hands it what it has not already taken (the kiosk's door and Esc, a box's own
// Enter); it acts through the layer's "for the modes" operations.
class ModeDriver {
 public:
  virtual ~ModeDriver() = default;
  // False for the mouse alone: nothing is highlighted and everything passes on, as the game always was.
  virtual bool Highlights() const { return true; }
  // A key pressed or let go (never a system repeat).
  virtual void Key(AccessLayer&, const plat::InputEvent&) {}
  // A pointer move or button; true when the mode takes it, so the game never sees it.
  virtual bool Mouse(AccessLayer&, const plat::InputEvent&) { return false; }
  // Every 100 ms while the mode highlights; `waiting`: the game is busy or speaking.
  virtual void Tick(AccessLayer&, uint64_t /*now*/, bool /*waiting*/) {}
  // What can be chosen has changed. True when the mode placed the highlight itself; otherwise it stays
  // with its thing, or starts again from the first.
  virtual bool Retarget(AccessLayer&) { return false; }
  // The target the pointer rests on ("" for none): a ring there is drawn over an open box.
  virtual const std::string& RestingOn() const;
};

// The parents' page's name for a mode and the line under it, in one language.
struct AccessModeWords {
  const char* language;  // "cs"
  const char* name;      // "with 1 switch"
  const char* help;      // how the child plays
};

// The timing a mode is played with, the one row the parents' page shows beside it.
enum class AccessTiming { None, Dwell, Scan };

struct AccessModeEntry {
  AccessMode mode;  // stored in the settings file by its name (media/parents.h)
  std::array<AccessModeWords, 7> words;
  AccessTiming timing;
  std::unique_ptr<ModeDriver> (*make)();
};

// Every mode, in AccessMode order.
std::span<const AccessModeEntry> AccessModes();
// The mode's entry; the mouse's for a value outside the table.
const AccessModeEntry& AccessModeOf(AccessMode mode);
// The mode's words in a language code; Czech for a code it has no words in.
const AccessModeWords& AccessModeWordsIn(AccessMode mode, const std::string& language);

}  // namespace ozzel
