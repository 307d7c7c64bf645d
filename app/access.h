// Choosing without a mouse: a highlight over the scene buttons and the animals, moved by keys, switches
// or a resting pointer, and the kiosk's held way out.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/parents.h"
#include "platform/backend.h"
#include "platform/gdi/color.h"
#include "platform/geometry.h"

namespace plat {
class Application;
class Bitmap;
class Canvas;
class Control;
class Timer;
}  // namespace plat

namespace ozzel {

class ModeDriver;
class Tform_ozzel;

// A thing that can be highlighted and chosen.
struct AccessTarget {
  std::string name;   // the control's name, or "animal N"
  plat::Rect box;     // screen
  plat::Point point;  // screen: where choosing clicks (for an animal, its deepest inside point)
  int animal = 0;     // the animal's code; 0 for a control
};

// What the game offers the access layer: whether it is busy, what can be chosen, and its way out.
class AccessHost {
 public:
  virtual ~AccessHost() = default;
  enum class Busy {
    No,
    Working,    // a handler works, a request waits or the shield is up: nothing moves by itself
    Listening,  // besides, the examiner speaks in a scene: a press chooses nothing either
  };
  virtual Busy BusyNow() const = 0;
  // What can be chosen now, in scanning order: the scene's animals left to right, then the buttons.
  // With `access` (a mode that highlights) the scene being played is left out.
  virtual std::vector<AccessTarget> Targets(bool access) = 0;
  // The animal under a screen point, 0 for none.
  virtual int AnimalAt(plat::Point screen) const = 0;
  // The hit map of the scene in play, the animal's box in it and where the map lies on the screen;
  // null when the scene has no such animal.
  virtual const plat::Bitmap* AnimalShape(int animal, plat::Rect& box, plat::Point& origin) = 0;
  // The praise's card lies over the scene.
  virtual bool CardUp() const = 0;
  // On the menu, the scene's picture framed with its button; empty for anything else.
  virtual plat::Rect PictureOf(const std::string& name) const = 0;
  // The door, and leaving as a click on it does.
  virtual plat::Control& Door() const = 0;
  virtual void Leave() = 0;
  // A thing was chosen: a scene button's word, due because the pointer stands on it, is not said.
  virtual void Unsay(const std::string& name) = 0;
};

class AccessLayer;

// The kiosk, a filter of its own before the modes: the keyboard kept from the desktop, and a click on
// the door or Esc only starting the hold that leaves.
class Kiosk {
 public:
  Kiosk(plat::Application& app, AccessHost& host, AccessLayer& layer) : app_(app), host_(host), layer_(layer) {}
  void Set(bool on);
  bool On() const { return on_; }
  // True when the event was the kiosk's own (the door's press and release).
  bool Filter(const plat::InputEvent& e);

 private:
  plat::Application& app_;
  AccessHost& host_;
  AccessLayer& layer_;
  bool on_ = false;
};

// How it works: it sees input before the forms (the application's input filter) and draws over them
// (the overlay). Choosing a highlighted thing is a click at a point inside it, sent through the same
// dispatch a mouse click takes, so the game's rules judge it exactly as they judge the mouse. What it
// moves by itself (the one-switch scan, the dwell ring) waits while the game is busy: a box is open,
// a handler is working, the shield is up or the examiner speaks. The mode (app/access_modes.h) says
// what the keys, the pointer and the ticks do.
class AccessLayer {
 public:
  AccessLayer(plat::Application& app, std::unique_ptr<AccessHost> host, const ParentsSettings& settings);
  ~AccessLayer();
  AccessLayer(const AccessLayer&) = delete;
  AccessLayer& operator=(const AccessLayer&) = delete;
  // Takes changed settings at once (the parents' page): the highlight starts afresh, nothing stays
  // pressed or held, and the keyboard is grabbed or let go with the kiosk.
  void Apply(const ParentsSettings& settings);

  using Target = AccessTarget;
  // What can be chosen now: an open box's buttons, else the game's targets.
  std::vector<Target> Targets();

  // How long the door or Esc is held to leave a kiosk.
  static constexpr uint64_t kHoldMs = 2000;

  // ---- for the modes ----
  const ParentsSettings& settings() const { return s_; }
  uint64_t Now() const;
  plat::Point Pointer() const;
  bool InBox() const;
  void Refresh();
  void Step(int by);
  void Spatial(plat::Key dir);
  void ChooseDown();
  void ChooseUp();
  // A choice is pressed or the door is held.
  bool Pressed() const { return choose_down_ || hold_ != Hold::None; }
  bool Holding() const { return hold_ != Hold::None; }
  bool CardShown() const { return card_up_; }
  uint64_t ScanSince() const { return scan_since_; }
  void RestartScan(uint64_t now) { scan_since_ = now; }
  int TargetAt(plat::Point p) const;
  const std::string& TargetName(int index) const { return targets_[size_t(index)].name; }
  int Current() const { return cur_; }
  void SetCurrent(int index, bool show);
  bool IsDoor(int index) const;
  void SetRing(plat::Point centre, double filled);
  void ClearRing();
  // A whole click where the pointer rests, as the highlighted thing's choice.
  void ClickAt(plat::Point p);
  void Leave() { host_->Leave(); }

 private:
  friend class Kiosk;
  enum class Hold { None, Door, Esc, Choose };  // Choose: the door, held by a key or switch
  struct OutlinePixel {
    int x, y;  // screen
    int dist;  // from the silhouette, in thirds of a pixel
  };

  bool Filter(const plat::InputEvent& e);
  void Tick();
  bool Waiting() const;
  bool Speaking() const;
  void Chosen(const Target& t);
  void ForgetChosenWord();
  static void Frame(plat::Canvas& c, const plat::Rect& b, int extra, plat::Rgb light);
  void Show(int index, bool move_pointer);
  void Send(plat::InputEvent::Kind kind, plat::Point at, int button = 0);
  void StartHold(Hold h);
  void EndHold(bool let_go = false);
  void Paint(plat::Canvas& c);
  void BuildOutline(const Target& t);
  void UpdateTicking();

  plat::Application& app_;
  std::unique_ptr<AccessHost> host_;
  ParentsSettings s_;
  std::shared_ptr<ModeDriver> mode_;
  Kiosk kiosk_;
  std::unique_ptr<plat::Timer> tick_;

  std::vector<Target> targets_;
  std::string signature_, names_;  // what targets_ was made from: names and places, names only
  int cur_ = -1;
  std::string shown_;  // the highlighted thing's name, traced on change
  plat::Rect shown_box_;
  plat::Rect picture_box_;  // on the menu: the highlighted button's scene picture
  int pulse_phase_ = 0;
  bool card_up_ = false;    // the praise's card is shown
  std::string chosen_;      // the thing chosen last, whose word is not said
  uint64_t ring_until_ = 0;  // a short hold's ring is shown until then
  std::vector<OutlinePixel> outline_;
  bool passing_ = false;  // the next event is one this layer sent: the forms get it
  bool choose_down_ = false;
  plat::Point choose_at_;
  uint64_t scan_since_ = 0;
  Hold hold_ = Hold::None;
  uint64_t hold_since_ = 0;
  bool ring_on_ = false;
  plat::Point ring_at_;
  double ring_filled_ = 0;
};

// The program's layer over the main window, which takes in what the parents' page changes. With the
// mouse and no kiosk it passes everything on and draws nothing, which leaves the game exactly as it is.
std::unique_ptr<AccessLayer> MakeAccessLayer(plat::Application& app, Tform_ozzel& form, const ParentsSettings& s);
// The main window's side (app/access_form.cpp).
std::unique_ptr<AccessHost> MakeFormAccessHost(Tform_ozzel& form);

plat::Point Centre(const plat::Rect& r);
// A control's place on the screen.
plat::Rect ScreenBox(const plat::Control& c);

}  // namespace ozzel
