// The animation control: a windowed control that plays a silent AVI clip on the application clock,
// the stand-in for the system's "SysAnimate32".
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/animate/avi.h"
#include "platform/ui/control.h"
#include "platform/ui/timer.h"

namespace plat {

class AnimateControl : public Control {
 public:
  AnimateControl(Form& form, std::string name);
  ~AnimateControl() override;
  bool Windowed() const override { return true; }

  // Opens a clip named by a DOS-style path (empty: closes). Shows frame 0. Traces "anim open PATH"
  // or "anim open-fail PATH". False on failure (the previous clip is closed).
  bool OpenClip(const std::string& dos_path);
  void CloseClip();
  bool ClipOpen() const { return clip_ != nullptr; }
  const AviClip* Clip() const { return clip_.get(); }

  // Plays frames first..last (0-based) `repeat` times, -1 endlessly, at the clip's rate. A request
  // for a single frame shows it and halts. False when refused (no clip, bad range).
  // Posts the start notification, and the stop notification when playback halts or ends.
  bool PlayRange(int first, int last, int repeat);
  bool Playing() const { return playing_; }
  int CurrentFrame() const { return frame_; }
  // Why the last OpenClip failed.
  const std::string& LastError() const { return error_; }
  // Timer period of the open clip: its frame duration, at least 10 ms.
  uint32_t FrameIntervalMs() const;

  bool Center = true;
  bool TransparentBackground = true;
  Rgb Color = kWindowBlue;
  std::function<void()> OnStartNotify, OnStopNotify;  // delivered through the message queue

  void Paint(Canvas& c) override;
  bool Opaque() const override { return true; }

 private:
  void Step(Timer&);
  Point FrameOrigin(const Bitmap& frame) const;  // where Paint puts it in the control
  void Halt(const char* why);
  void Notify(bool start);
  std::shared_ptr<bool> alive_;  // lets posted notifications skip a destroyed control
  std::string error_;
  std::unique_ptr<AviClip> clip_;
  std::unique_ptr<Timer> timer_;
  int first_ = 0, last_ = 0, repeat_ = 0, frame_ = 0;
  bool playing_ = false;
};

}  // namespace plat
