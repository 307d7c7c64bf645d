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
class Canvas;
class Timer;
}  // namespace plat

namespace ozzel {

class Tform_ozzel;

// How it works: it sees input before the forms (the application's input filter) and draws over them
// (the overlay). Choosing a highlighted thing is a click at a point inside it, sent through the same
// dispatch a mouse click takes, so the game's rules judge it exactly as they judge the mouse. What it
// moves by itself (the one-switch scan, the dwell ring) waits while the game is busy: a box is open,
// a handler is working, the shield is up or the examiner speaks.
class AccessLayer {
 public:
  AccessLayer(plat::Application& app, Tform_ozzel& form, const ParentsSettings& settings);
  ~AccessLayer();
  AccessLayer(const AccessLayer&) = delete;
  AccessLayer& operator=(const AccessLayer&) = delete;
  // Takes changed settings at once (the parents' page): the highlight starts afresh, nothing stays
  // pressed or held, and the keyboard is grabbed or let go with the kiosk.
  void Apply(const ParentsSettings& settings);

  // A thing that can be highlighted and chosen.
  struct Target {
    std::string name;   // the control's name, or "animal N"
    plat::Rect box;     // screen
    plat::Point point;  // screen: where choosing clicks (for an animal, its deepest inside point)
    int animal = 0;     // the animal's code; 0 for a control
  };
  // What can be chosen now, in scanning order: the scene's animals left to right, then the buttons.
  std::vector<Target> Targets();

  // How long the door or Esc is held to leave a kiosk.
  static constexpr uint64_t kHoldMs = 2000;

 private:
  enum class Hold { None, Door, Esc, Choose };  // Choose: the door, held by a key or switch
  // An animal of a scene, in hit-map (= scene) coordinates.
  struct Shape {
    int code = 0;
    plat::Rect box;
    plat::Point inner;
  };
  struct OutlinePixel {
    int x, y;  // screen
    int dist;  // from the silhouette, in thirds of a pixel
  };

  bool Filter(const plat::InputEvent& e);
  bool KioskDoor(const plat::InputEvent& e);
  bool Mouse(const plat::InputEvent& e);
  void Key(const plat::InputEvent& e);
  void Tick();
  bool Waiting() const;
  bool Speaking() const;
  bool CardUp() const;
  bool IsDoor(int index) const;
  void Chosen(const Target& t);
  void ForgetChosenWord();
  plat::Rect ScenePicture(const std::string& name) const;
  static void Frame(plat::Canvas& c, const plat::Rect& b, int extra, plat::Rgb light);
  void Refresh();
  void Step(int by);
  void Spatial(plat::Key dir);
  void Show(int index, bool move_pointer);
  void ChooseDown();
  void ChooseUp();
  void Send(plat::InputEvent::Kind kind, plat::Point at, int button = 0);
  void DwellAt(plat::Point p, uint64_t now);
  void DwellTick(uint64_t now, bool waiting);
  int TargetAt(plat::Point p) const;
  void StartHold(Hold h);
  void EndHold(bool let_go = false);
  void SetRing(plat::Point centre, double filled);
  void ClearRing();
  void Paint(plat::Canvas& c);
  const std::vector<Shape>& Shapes(int set);
  void BuildOutline(const Target& t);
  void UpdateTicking();

  plat::Application& app_;
  Tform_ozzel& form_;
  ParentsSettings s_;
  std::unique_ptr<plat::Timer> tick_;
  std::array<std::vector<Shape>, 5> shapes_;
  std::array<bool, 5> shapes_done_{};

  std::vector<Target> targets_;
  std::string signature_, names_;  // what targets_ was made from: names and places, names only
  int cur_ = -1;
  std::string shown_;  // the highlighted thing's name, traced on change
  plat::Rect shown_box_;
  plat::Rect picture_box_;  // on the menu: the highlighted button's scene picture
  int pulse_phase_ = 0;
  bool card_up_ = false;    // the praise's card is shown
  int chosen_word_ = 0;     // the scene button chosen last, whose word is not said
  uint64_t ring_until_ = 0;  // a short hold's ring is shown until then
  std::vector<OutlinePixel> outline_;
  bool passing_ = false;  // the next event is one this layer sent: the forms get it
  bool choose_down_ = false;
  plat::Point choose_at_;
  uint64_t scan_since_ = 0;
  std::string dwell_on_;
  uint64_t dwell_since_ = 0;
  bool dwell_spent_ = false;  // chosen by dwelling: the pointer must leave before it chooses again
  plat::Point spent_at_{-1, -1};  // where the pointer rested when it chose
  Hold hold_ = Hold::None;
  uint64_t hold_since_ = 0;
  bool ring_on_ = false;
  plat::Point ring_at_;
  double ring_filled_ = 0;
};

// The program's layer. With the mouse and no kiosk it passes everything on and draws nothing, which
// leaves the game exactly as it is.
std::unique_ptr<AccessLayer> MakeAccessLayer(plat::Application& app, Tform_ozzel& form, const ParentsSettings& s);
// Applies the parents' settings as they are now to the running layer, if there is one.
void ApplyParentsAccess();

}  // namespace ozzel
