// TAVI_orvel1: opening, playing and stopping the clip as TAnimate does, and the examiner's pointer events.
#include "controls/avi_delp.h"

#include <algorithm>
#include <cctype>

#include "platform/ui/application.h"
#include "platform/ui/form.h"
#include "platform/ui/timer.h"

namespace ozzel {

using namespace plat;

namespace {

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

TAVI_orvel1::TAVI_orvel1(Form& form, std::string name) : AnimateControl(form, std::move(name)) {
  SetBounds(Left(), Top(), 100, 100);
  Color = form.Color;
  OnStartNotify = [this] {
    if (OnStart) OnStart(*this);
  };
  OnStopNotify = [this] {
    if (pending_stops_ > 0) {
      --pending_stops_;  // the echo of our own stop
      return;
    }
    active_ = false;  // ended by itself, on its last frame
    if (OnStop) OnStop(*this);
  };
  track_timer_ = std::make_unique<Timer>(form.app(), "", 125, false, [this](Timer& t) {
    if (!PointerOnMe(this->form().app().CursorPos())) t.SetEnabled(false);
  });
  // The pointer moves only with input, which wakes the loop anyway.
  track_timer_->Idle = [this](const Timer&) { return PointerOnMe(this->form().app().CursorPos()); };
}

TAVI_orvel1::~TAVI_orvel1() {
  if (track_timer_) track_timer_->SetEnabled(false);
  track_timer_.reset();
}

void TAVI_orvel1::Request(int first, int last, int repeat, bool* accepted) {
  // A running playback answers any new request with a stop notification of its own.
  bool was_playing = Playing();
  bool ok = PlayRange(first, last, repeat);
  if (was_playing && ok) ++pending_stops_;
  if (accepted) *accepted = ok;
}

void TAVI_orvel1::DoOpen() {
  Rect saved = Bounds();
  if (!OpenClip(file_name_)) throw EAnimateError("Cannot open AVI");
  const AviClip* c = Clip();
  frame_count_ = int32_t(c->frames.size());
  frame_width_ = c->frames.empty() ? 0 : c->frames[0].width();
  frame_height_ = c->frames.empty() ? 0 : c->frames[0].height();
  start_frame_ = 1;
  stop_frame_ = int16_t(uint16_t(frame_count_));
  if (OnOpen) OnOpen(*this);
  if (AutoSize) SetBounds(Left(), Top(), frame_width_, frame_height_);
  if (!Center) SetBounds(saved.left, saved.top, saved.w, saved.h);
}

void TAVI_orvel1::DoClose() {
  if (!ClipOpen()) return;
  if (active_) DoStop();
  CloseClip();
  if (OnClose) OnClose(*this);
  Invalidate();
}

void TAVI_orvel1::DoPlay() {
  if (!ClipOpen()) DoOpen();
  active_ = true;
  bool ok = false;
  Request(start_frame_ - 1, stop_frame_ - 1, repetitions_ == 0 ? -1 : repetitions_, &ok);
  // A refused request, or a range of one frame shown once, leaves nothing running.
  if (!ok || !Playing()) active_ = false;
}

void TAVI_orvel1::DoStop() {
  if (ClipOpen()) Request(start_frame_ - 1, start_frame_ - 1, 1);
  active_ = false;
  if (OnStop) OnStop(*this);
}

void TAVI_orvel1::SetFileName(const std::string& name) {
  if (SameText(name, file_name_)) return;
  if (Loading()) {
    file_name_ = name;  // opened when loading ends
    return;
  }
  std::string previous = file_name_;
  file_name_ = name;
  DoClose();
  if (name.empty()) return;
  try {
    DoOpen();
  } catch (...) {
    file_name_ = previous;
    throw;
  }
}

void TAVI_orvel1::SetActive(bool v) {
  if (Loading()) {
    activate_after_load_ = v;
    return;
  }
  if (v == active_) return;
  if (v)
    DoPlay();
  else
    DoStop();
}

void TAVI_orvel1::SetStartFrame(int16_t v) {
  if (v == start_frame_) return;
  start_frame_ = v;
  if (!Loading()) DoStop();
}

void TAVI_orvel1::SetStopFrame(int16_t v) {
  if (v == stop_frame_) return;
  stop_frame_ = v;
  if (!Loading()) DoStop();
}

void TAVI_orvel1::SetRepetitions(int v) {
  if (v == repetitions_) return;
  repetitions_ = v;
  if (!Loading()) DoStop();
}

void TAVI_orvel1::SetCenter(bool v) {
  if (v == Center) return;
  Center = v;
  Invalidate();
}

void TAVI_orvel1::SetTransparent(bool v) {
  if (v == TransparentBackground) return;
  TransparentBackground = v;
  Invalidate();
}

void TAVI_orvel1::SetColor(Rgb c) {
  if (c == Color) return;
  Color = c;
  Invalidate();
}

void TAVI_orvel1::Loaded() {
  if (!file_name_.empty() && !ClipOpen()) {
    try {
      DoOpen();
    } catch (const EAnimateError&) {
      // As when the window is created: the clip stays closed until something needs it.
    }
  }
  if (activate_after_load_) {
    activate_after_load_ = false;
    if (!active_) DoPlay();
  }
}

bool TAVI_orvel1::PointerOnMe(Point screen) const { return form().app().ControlAtScreen(screen) == this; }

void TAVI_orvel1::MouseMove(ShiftState s, int x, int y) {
  AnimateControl::MouseMove(s, x, y);
  if (PointerOnMe(ClientToScreen({x, y}))) {
    if (!track_timer_->Enabled()) track_timer_->SetEnabled(true);
    if (OnMouseEnter) OnMouseEnter(*this);
  } else {
    if (OnMouseExit) OnMouseExit(*this);
  }
}

void TAVI_orvel1::MouseLeave() {
  if (OnMouseExit) OnMouseExit(*this);
}

}  // namespace ozzel
