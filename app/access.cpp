// The access modes and kiosk: targets from the layout and the hit map, the highlight, scanning, dwell and holds.
#include "app/access.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "app/access_modes.h"
#include "app/ozz_main.h"
#include "game/colour_codes.h"
#include "platform/trace.h"
#include "platform/ui/application.h"
#include "platform/ui/timer.h"

namespace ozzel {

namespace {

using K = plat::InputEvent::Kind;

constexpr uint32_t kTickMs = 100;
// The outline: a light band hugging the silhouette, a dark one outside it, so that it stands out on
// a light sky and on a dark forest alike; its light band swells by a pixel and back, slowly, so that
// the eye finds it. Distances in thirds of a pixel (chamfer 3-4). At least 1 % of the screen's height
// at every scale: the game fills the height, so 480 logical rows stand for the screen's.
constexpr int kLightBand = 3 * 6, kDarkBand = 3 * 8, kPulse = 3, kOutlineReach = 10;
constexpr uint64_t kPulsePeriodMs = 2400, kPulseSteps = 8;
constexpr plat::Rgb kLight{255, 224, 0}, kLightPeak{255, 255, 200}, kDark{0, 0, 0}, kWhiteRim{255, 255, 255},
    kTrack{70, 70, 70};
// The ring: 10 % of the screen's height or more (48 of 480 rows), rimmed black inside a white edge, so
// that one of the two stands out from any colour below it by more than 3:1 (2 px of each).
constexpr int kRingOuter = 25, kRingInner = 15, kRingRim = 4;
constexpr uint64_t kShortHoldShowMs = 1000;  // a door let go too early: its ring stays this long
bool IsBoxButton(const std::string& name) { return name.rfind("box ", 0) == 0; }

void Put(plat::Canvas& c, int x, int y, plat::Rgb col) {
  if (c.clip().contains({x, y})) c.surface().row(y)[x] = col.packed();
}

}  // namespace

plat::Point Centre(const plat::Rect& r) { return {r.left + r.w / 2, r.top + r.h / 2}; }

plat::Rect ScreenBox(const plat::Control& c) {
  plat::Point tl = c.ClientToScreen({0, 0});
  return {tl.x, tl.y, c.Width(), c.Height()};
}

std::unique_ptr<AccessLayer> MakeAccessLayer(plat::Application& app, Tform_ozzel& form, const ParentsSettings& s) {
  auto layer = std::make_unique<AccessLayer>(app, MakeFormAccessHost(form), s);
  form.ParentsChanged = [l = layer.get()] { l->Apply(parents); };
  return layer;
}

AccessLayer::AccessLayer(plat::Application& app, std::unique_ptr<AccessHost> host, const ParentsSettings& settings)
    : app_(app), host_(std::move(host)), s_(settings), mode_(AccessModeOf(s_.Access).make()), kiosk_(app, *host_, *this) {
  // Unnamed: the runtime's timer, but no "timer" lines in the trace for it.
  tick_ = std::make_unique<plat::Timer>(app_, "", kTickMs, false, [this](plat::Timer&) { Tick(); });
  app_.SetInputFilter([this](const plat::InputEvent& e) { return Filter(e); });
  app_.SetOverlay([this](plat::Canvas& c) { Paint(c); });
  scan_since_ = app_.Now();
  kiosk_.Set(s_.Kiosk);
  UpdateTicking();
}

AccessLayer::~AccessLayer() {
  app_.SetInputFilter(nullptr);
  app_.SetOverlay(nullptr);
}

void AccessLayer::Apply(const ParentsSettings& settings) {
  ChooseUp();
  if (hold_ != Hold::None) EndHold();
  kiosk_.Set(settings.Kiosk);
  s_ = settings;
  Show(-1, false);
  cur_ = -1;
  signature_.clear();
  names_.clear();
  mode_ = AccessModeOf(s_.Access).make();
  ClearRing();
  scan_since_ = app_.Now();
  UpdateTicking();
}

uint64_t AccessLayer::Now() const { return app_.Now(); }
plat::Point AccessLayer::Pointer() const { return app_.CursorPos(); }
bool AccessLayer::InBox() const { return app_.ActiveModal() != nullptr; }

void AccessLayer::UpdateTicking() {
  // With the mouse nothing moves by itself; only a kiosk's hold needs the clock.
  bool need = mode_->Highlights() || hold_ != Hold::None || ring_until_ != 0;
  if (need != tick_->Enabled()) tick_->SetEnabled(need);
}

// ---- what can be chosen ----

std::vector<AccessLayer::Target> AccessLayer::Targets() {
  const bool access = mode_->Highlights();
  if (plat::Modal* box = app_.ActiveModal()) {
    // A box's buttons are chosen like anything else, or a child without a mouse could never close it.
    std::vector<Target> out;
    if (access)
      for (const plat::Modal::Button& b : box->Buttons()) out.push_back({b.name, b.box, Centre(b.box), 0});
    return out;
  }
  return host_->Targets(access);
}

void AccessLayer::Refresh() {
  std::vector<Target> now = Targets();
  std::string sig, names;
  for (const Target& t : now) {
    names += t.name + ",";
    sig += t.name + "@" + std::to_string(t.box.left) + ":" + std::to_string(t.box.top) + ",";
  }
  if (sig == signature_) return;
  signature_ = sig;
  bool same_things = names == names_;
  names_ = names;
  targets_ = std::move(now);
  if (!mode_->Highlights()) return;  // a kiosk alone highlights nothing
  if (mode_->Retarget(*this)) return;
  // The same things moved (the buttons when a scene opens): the highlight stays with its thing.
  // Other things (a scene's animals): it starts again from the first.
  int keep = -1;
  for (size_t i = 0; i < targets_.size(); ++i)
    if (targets_[i].name == shown_) keep = int(i);
  cur_ = same_things && keep >= 0 ? keep : targets_.empty() ? -1 : 0;
  scan_since_ = app_.Now();
  Show(cur_, false);
}

int AccessLayer::TargetAt(plat::Point p) const {
  for (size_t i = 0; i < targets_.size(); ++i) {
    const Target& t = targets_[i];
    if (!t.box.contains(p)) continue;
    if (t.animal == 0) return int(i);
    if (host_->AnimalAt(p) == t.animal) return int(i);
  }
  return -1;
}

bool AccessLayer::Waiting() const {
  if (plat::Modal* box = app_.ActiveModal()) return !mode_->Highlights() || box->Buttons().empty();
  return host_->BusyNow() != AccessHost::Busy::No;
}

bool AccessLayer::Speaking() const {
  // In a scene the examiner speaks questions and verdicts, which the child listens to first. On the
  // menu what still speaks is a skipped introduction, which nothing waits for.
  return !app_.ActiveModal() && host_->BusyNow() == AccessHost::Busy::Listening;
}

// ---- the highlight ----

void AccessLayer::Show(int index, bool move_pointer) {
  // The praise's card lies over the scene: an outline of an animal there would be drawn over it.
  const int shown = index >= 0 && targets_[size_t(index)].animal && host_->CardUp() ? -1 : index;
  std::string name = shown >= 0 ? targets_[size_t(shown)].name : "";
  if (name != shown_) {
    if (!name.empty() || !shown_.empty()) plat::trace::Emit("highlight", name.empty() ? "none" : name);
    shown_ = name;
    app_.InvalidateScreen(shown_box_);
    app_.InvalidateScreen(picture_box_);
    outline_.clear();
    shown_box_ = picture_box_ = {};
    if (shown >= 0) {
      const Target& t = targets_[size_t(shown)];
      if (t.animal) {
        BuildOutline(t);
      } else {
        shown_box_ = {t.box.left - 8, t.box.top - 8, t.box.w + 16, t.box.h + 16};
        picture_box_ = host_->PictureOf(t.name);
      }
      app_.InvalidateScreen(shown_box_);
      app_.InvalidateScreen(picture_box_);
    }
  }
  // Moving there as a pointer would: a scene button says its word, as it does for the mouse.
  if (move_pointer && index >= 0) {
    chosen_.clear();
    Send(K::MouseMove, targets_[size_t(index)].point);
  }
}

void AccessLayer::BuildOutline(const Target& t) {
  plat::Rect box;
  plat::Point o;
  const plat::Bitmap* map = host_->AnimalShape(t.animal, box, o);
  if (!map) return;
  const plat::Bitmap& bmp = *map;
  plat::Rect area = plat::Rect{box.left - kOutlineReach, box.top - kOutlineReach, box.w + 2 * kOutlineReach,
                               box.h + 2 * kOutlineReach}
                        .intersect({0, 0, bmp.width(), bmp.height()});
  const int w = area.w, h = area.h;
  std::vector<int> d(size_t(w) * h, INT_MAX / 2);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (game::AnimalCode(bmp.PixelAt(area.left + x, area.top + y)) == t.animal) d[size_t(y) * w + x] = 0;
  auto relax = [&](int x, int y, int nx, int ny, int cost) {
    if (nx < 0 || ny < 0 || nx >= w || ny >= h) return;
    int& v = d[size_t(y) * w + x];
    v = std::min(v, d[size_t(ny) * w + nx] + cost);
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      relax(x, y, x - 1, y, 3), relax(x, y, x - 1, y - 1, 4), relax(x, y, x, y - 1, 3), relax(x, y, x + 1, y - 1, 4);
  for (int y = h - 1; y >= 0; --y)
    for (int x = w - 1; x >= 0; --x)
      relax(x, y, x + 1, y, 3), relax(x, y, x + 1, y + 1, 4), relax(x, y, x, y + 1, 3), relax(x, y, x - 1, y + 1, 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int v = d[size_t(y) * w + x];
      if (v > 0 && v <= kDarkBand + kPulse) outline_.push_back({o.x + area.left + x, o.y + area.top + y, v});
    }
  shown_box_ = area.offset(o.x, o.y);
}

void AccessLayer::Step(int by) {
  Refresh();
  if (targets_.empty()) return;
  int n = int(targets_.size());
  cur_ = cur_ < 0 ? 0 : ((cur_ + by) % n + n) % n;
  scan_since_ = app_.Now();
  Show(cur_, true);
}

void AccessLayer::Spatial(plat::Key dir) {
  Refresh();
  if (targets_.empty()) return;
  if (cur_ < 0) return Step(0);
  plat::Point c = targets_[size_t(cur_)].point;
  int best = -1;
  long long best_score = LLONG_MAX;
  for (size_t i = 0; i < targets_.size(); ++i) {
    plat::Point p = targets_[i].point;
    long along = 0, across = 0;
    switch (dir) {
      case plat::Key::Left: along = c.x - p.x, across = p.y - c.y; break;
      case plat::Key::Right: along = p.x - c.x, across = p.y - c.y; break;
      case plat::Key::Up: along = c.y - p.y, across = p.x - c.x; break;
      default: along = p.y - c.y, across = p.x - c.x; break;
    }
    if (along <= 0) continue;
    // The nearest thing inside the direction's 45-degree cone; only when the cone is empty, the one
    // most nearly straight ahead.
    const bool in_cone = std::labs(across) <= along;
    const long long score =
        in_cone ? (long long)along * along + (long long)across * across : (1LL << 40) + along + 2 * std::labs(across);
    if (score < best_score) best_score = score, best = int(i);
  }
  if (best < 0) return;
  cur_ = best;
  Show(cur_, true);
}

// ---- choosing ----

void AccessLayer::Send(K kind, plat::Point at, int button) {
  plat::InputEvent e;
  e.kind = kind;
  e.pos = at;
  e.button = button;
  passing_ = true;
  app_.Dispatch(e);
  passing_ = false;
}

bool AccessLayer::IsDoor(int index) const {
  return index >= 0 && targets_[size_t(index)].name == host_->Door().Name();
}

void AccessLayer::Chosen(const Target& t) {
  // The scene is chosen: its button's word, waiting for a quiet moment, would come after the question
  // (the pointer that stands for the highlight stays on the button, which says its word again when it
  // moves under it). Until the highlight moves on, the word is kept unsaid.
  chosen_ = t.name;
  ForgetChosenWord();
}

void AccessLayer::ForgetChosenWord() {
  if (!chosen_.empty()) host_->Unsay(chosen_);
}

void AccessLayer::SetCurrent(int index, bool show) {
  cur_ = index;
  if (show) Show(index, false);
}

void AccessLayer::ClickAt(plat::Point p) {
  if (cur_ >= 0) Chosen(targets_[size_t(cur_)]);
  Send(K::MouseDown, p);
  Send(K::MouseUp, p);
}

void AccessLayer::ChooseDown() {
  Refresh();
  // A press whose release went to a box that opened meanwhile: finish it, or no switch would ever
  // choose again.
  if (choose_down_) ChooseUp();
  if (cur_ < 0) return;
  const Target& t = targets_[size_t(cur_)];
  if (app_.ActiveModal()) {
    // A whole click at once: the release must not go to what lies below once the box has closed.
    Send(K::MouseMove, t.point);
    Send(K::MouseDown, t.point);
    Send(K::MouseUp, t.point);
    scan_since_ = app_.Now();
    return;
  }
  // Leaving is held, never pressed: a slip of a switch must not end the game.
  if (IsDoor(cur_)) {
    if (hold_ == Hold::None) StartHold(Hold::Choose);
    return;
  }
  // Nothing is chosen before the child has heard the question.
  if (Speaking()) return;
  choose_down_ = true;
  choose_at_ = t.point;
  Send(K::MouseMove, choose_at_);
  Send(K::MouseDown, choose_at_);
  Chosen(t);
}

void AccessLayer::ChooseUp() {
  if (hold_ == Hold::Choose) EndHold(true);
  if (!choose_down_) return;
  choose_down_ = false;
  scan_since_ = app_.Now();
  Send(K::MouseUp, choose_at_);
}

// ---- input ----

bool AccessLayer::Filter(const plat::InputEvent& e) {
  // Only the very next event is the one sent; whatever arrives while its handler pumps is the child's.
  const bool sent = passing_;
  passing_ = false;
  const bool box = app_.ActiveModal() != nullptr;
  const std::shared_ptr<ModeDriver> mode = mode_;  // as in Tick
  // With the mouse a box is answered as it always was; otherwise its buttons are targets.
  if (box && (!mode->Highlights() || sent)) return false;
  switch (e.kind) {
    case K::KeyDown:
    case K::KeyUp:
      if (!e.repeat) {
        if (!box) kiosk_.Filter(e);
        mode->Key(*this, e);
      }
      return true;
    case K::MouseMove:
    case K::MouseDown:
    case K::MouseUp:
      if (!box && kiosk_.Filter(e)) return true;
      return sent ? false : mode->Mouse(*this, e);
    case K::Deactivate:
      if (box) return false;
      // The releases may go to another window now: nothing stays pressed or held.
      ChooseUp();
      if (hold_ != Hold::None) EndHold();
      return false;
    default:
      return false;
  }
}

void Kiosk::Set(bool on) {
  if (on != on_) app_.backend().SetKeyboardGrab(on);
  on_ = on;
}

bool Kiosk::Filter(const plat::InputEvent& e) {
  if (!on_) return false;
  using Hold = AccessLayer::Hold;
  Hold& hold = layer_.hold_;
  if (e.kind == K::KeyDown || e.kind == K::KeyUp) {
    if (e.key != plat::Key::Esc) return false;
    if (e.kind == K::KeyDown && hold == Hold::None) layer_.StartHold(Hold::Esc);
    if (e.kind == K::KeyUp && hold == Hold::Esc) layer_.EndHold(true);
    return false;  // a short Esc still skips
  }
  plat::Control& door = host_.Door();
  const bool on_door = app_.ControlAtScreen(e.pos) == &door && door.Visible() && door.Enabled();
  if (e.kind == K::MouseDown && e.button == 0 && on_door && hold == Hold::None) {
    layer_.StartHold(Hold::Door);
    return true;
  }
  if (hold == Hold::Door) {
    if (e.kind == K::MouseUp && e.button == 0) {
      layer_.EndHold(true);
      return true;
    }
    if (e.kind == K::MouseMove && !on_door) layer_.EndHold();
  }
  return false;
}

// ---- what moves by itself ----

void AccessLayer::Tick() {
  const uint64_t now = app_.Now();
  Refresh();
  ForgetChosenWord();
  const bool waiting = Waiting();
  // A box took the input: the release that would end the hold goes to it, so the hold ends here.
  if (hold_ != Hold::None && app_.ActiveModal()) EndHold();
  if (hold_ == Hold::None && ring_until_ && now >= ring_until_) {
    ring_until_ = 0;
    ClearRing();
    UpdateTicking();
  }
  if (hold_ != Hold::None) {
    uint64_t held = now - hold_since_;
    SetRing(Centre(ScreenBox(host_->Door())), double(held) / kHoldMs);
    if (held >= kHoldMs) {
      plat::trace::Emit("hold", hold_ == Hold::Esc ? "esc" : host_->Door().Name());
      EndHold();
      // As a click on the door would; nothing else can end a kiosk from inside.
      host_->Leave();
    }
  }
  if (host_->CardUp() != card_up_) {
    card_up_ = !card_up_;
    if (cur_ >= 0 && cur_ < int(targets_.size())) Show(cur_, false);
  }
  if (!outline_.empty() || !shown_box_.empty()) {
    const int phase = int(now / (kPulsePeriodMs / kPulseSteps) % kPulseSteps);
    if (phase != pulse_phase_) {
      pulse_phase_ = phase;
      app_.InvalidateScreen(shown_box_);
      app_.InvalidateScreen(picture_box_);
    }
  }
  // Kept alive through the call: a choice may pump messages, and the parents' page change the mode.
  const std::shared_ptr<ModeDriver> mode = mode_;
  mode->Tick(*this, now, waiting);
}

void AccessLayer::StartHold(Hold h) {
  hold_ = h;
  ring_until_ = 0;
  hold_since_ = app_.Now();
  SetRing(Centre(ScreenBox(host_->Door())), 0);
  UpdateTicking();
}

void AccessLayer::EndHold(bool let_go) {
  const Hold was = hold_;
  hold_ = Hold::None;
  if (let_go && ring_on_) {
    // Let go too early: the ring stays a moment, so that a short press is seen to have done something.
    plat::trace::Emit("hold-short", was == Hold::Esc ? "esc" : host_->Door().Name());
    ring_until_ = app_.Now() + kShortHoldShowMs;
  } else {
    ClearRing();
  }
  UpdateTicking();
}

// ---- drawing ----

void AccessLayer::SetRing(plat::Point centre, double filled) {
  filled = std::clamp(filled, 0.0, 1.0);
  if (ring_on_ && centre == ring_at_ && filled == ring_filled_) return;
  const int r = kRingOuter + kRingRim + 2;
  if (ring_on_) app_.InvalidateScreen({ring_at_.x - r, ring_at_.y - r, 2 * r + 1, 2 * r + 1});
  ring_on_ = true;
  ring_at_ = centre;
  ring_filled_ = filled;
  app_.InvalidateScreen({centre.x - r, centre.y - r, 2 * r + 1, 2 * r + 1});
}

void AccessLayer::ClearRing() {
  ring_until_ = 0;
  if (!ring_on_) return;
  ring_on_ = false;
  const int r = kRingOuter + kRingRim + 2;
  app_.InvalidateScreen({ring_at_.x - r, ring_at_.y - r, 2 * r + 1, 2 * r + 1});
}

void AccessLayer::Paint(plat::Canvas& c) {
  // Over an open box only what belongs to its buttons is drawn.
  const bool box = app_.ActiveModal() != nullptr;
  const bool on_box = IsBoxButton(shown_);
  // 0 .. kPulse and back over the period, in thirds of a pixel.
  const int swell = kPulse - std::abs(pulse_phase_ * 2 * kPulse / int(kPulseSteps) - kPulse);
  const double glow = double(swell) / kPulse;
  const plat::Rgb light{uint8_t(kLight.r + (kLightPeak.r - kLight.r) * glow),
                        uint8_t(kLight.g + (kLightPeak.g - kLight.g) * glow),
                        uint8_t(kLight.b + (kLightPeak.b - kLight.b) * glow)};
  if ((!box || on_box) && !(host_->CardUp() && !outline_.empty()) && !c.clip().intersect(shown_box_).empty()) {
    for (const OutlinePixel& p : outline_)
      if (p.dist <= kDarkBand + swell) Put(c, p.x, p.y, p.dist > kLightBand + swell ? kDark : light);
    if (outline_.empty() && !shown_box_.empty()) Frame(c, shown_box_, swell / 3, light);
  }
  if (!box && !picture_box_.empty() && !c.clip().intersect(picture_box_).empty())
    Frame(c, picture_box_, swell / 3, light);
  if (ring_on_ && (!box || IsBoxButton(mode_->RestingOn()))) {
    // Filling clockwise from the top, over a dark track, rimmed black inside white.
    const double pi = 3.14159265358979;
    const int reach = kRingOuter + kRingRim;
    for (int dy = -reach - 1; dy <= reach + 1; ++dy)
      for (int dx = -reach - 1; dx <= reach + 1; ++dx) {
        double d = std::sqrt(double(dx * dx + dy * dy));
        if (d < kRingInner - kRingRim - 1 || d > reach + 1) continue;
        plat::Rgb col = kDark;
        if (d >= kRingInner && d <= kRingOuter) {
          double a = std::atan2(double(dx), double(-dy));
          if (a < 0) a += 2 * pi;
          col = a / (2 * pi) < ring_filled_ ? kLight : kTrack;
        } else if (d > kRingOuter + kRingRim / 2.0 + 0.5 || d < kRingInner - kRingRim / 2.0 - 0.5) {
          col = kWhiteRim;
        }
        Put(c, ring_at_.x + dx, ring_at_.y + dy, col);
      }
  }
}

void AccessLayer::Frame(plat::Canvas& c, const plat::Rect& b, int extra, plat::Rgb light) {
  // A light frame and a dark one outside it; the light one grows inward as it pulses.
  for (int y = b.top; y < b.bottom(); ++y)
    for (int x = b.left; x < b.right(); ++x) {
      int edge = std::min({x - b.left, b.right() - 1 - x, y - b.top, b.bottom() - 1 - y});
      if (edge < 2) Put(c, x, y, kDark);
      else if (edge < 8 + extra) Put(c, x, y, light);
      else if (edge >= 9 + extra) x = std::max(x, b.right() - 10 - extra);  // the inside stays as it is
    }
}

}  // namespace ozzel
