// Where datagen's time goes: thread time summed per stage, for `datagen --stages` and bench/datagen.sh.
#pragma once
#include <string>

namespace datagen {

enum class Stage { kPictures, kHitMaps, kSpeech, kSounds, kDeclicking, kLoudness, kSong, kClip, kWriting, kCount };

// Adds the wall time from its making to its end to a stage. Nested timers subtract their time from the
// enclosing one, so that each moment counts once, in the innermost stage.
class StageTimer {
 public:
  explicit StageTimer(Stage s);
  ~StageTimer();
  StageTimer(const StageTimer&) = delete;
  StageTimer& operator=(const StageTimer&) = delete;

 private:
  Stage stage_;
  long long start_;
  long long inner_ = 0;
  StageTimer* outer_;
};

// One line per stage that took any time: "pictures 1.234 s".
std::string StageReport();

}  // namespace datagen
