// AVI_delp: TAVI_orvel1, the talking examiner clip: TAnimate's properties over the animation control,
// plus a click event and pointer enter and exit events.
#pragma once
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/animate/animate.h"
#include "platform/ui/control.h"

namespace plat {
class Timer;
}

namespace ozzel {

// A clip that cannot be opened ("Cannot open AVI").
class EAnimateError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TAVI_orvel1 : public plat::AnimateControl {
 public:
  TAVI_orvel1(plat::Form& form, std::string name);
  ~TAVI_orvel1() override;

  // TAnimate.
  const std::string& FileName() const { return file_name_; }
  void SetFileName(const std::string& name);  // throws EAnimateError when the new clip cannot be opened
  bool Active() const { return active_; }
  void SetActive(bool v);  // throws EAnimateError when the clip cannot be opened
  int16_t StartFrame() const { return start_frame_; }
  void SetStartFrame(int16_t v);
  int16_t StopFrame() const { return stop_frame_; }
  void SetStopFrame(int16_t v);
  int Repetitions() const { return repetitions_; }
  void SetRepetitions(int v);
  bool GetCenter() const { return Center; }
  void SetCenter(bool v);
  bool GetTransparent() const { return TransparentBackground; }
  void SetTransparent(bool v);
  void SetColor(plat::Rgb c);
  bool Timers = false;    // playback always runs on the application clock here
  bool AutoSize = true;   // take the clip's frame size when it opens

  // Filled when a clip opens.
  bool Open() const { return ClipOpen(); }
  int32_t FrameCount() const { return frame_count_; }
  int32_t FrameWidth() const { return frame_width_; }
  int32_t FrameHeight() const { return frame_height_; }
  int PendingStops() const { return pending_stops_; }

  plat::NotifyEvent OnOpen, OnClose, OnStart, OnStop;
  plat::NotifyEvent OnMouseEnter, OnMouseExit;

  // Loading from the layout ends: a remembered activation and the clip are carried out now.
  void Loaded();

  void MouseMove(plat::ShiftState s, int x, int y) override;
  void MouseLeave() override;

 private:
  void DoOpen();   // throws EAnimateError
  void DoClose();
  void DoPlay();   // throws EAnimateError
  void DoStop();
  void Request(int first, int last, int repeat, bool* accepted = nullptr);
  bool PointerOnMe(plat::Point screen) const;

  std::string file_name_;
  bool active_ = false;
  bool activate_after_load_ = false;
  int16_t start_frame_ = 1;
  int16_t stop_frame_ = 0;
  int repetitions_ = 0;
  int32_t frame_count_ = 0, frame_width_ = 0, frame_height_ = 0;
  int pending_stops_ = 0;
  std::unique_ptr<plat::Timer> track_timer_;
};

}  // namespace ozzel
