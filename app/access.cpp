// The access modes and kiosk: targets from the layout and the hit map, the highlight, scanning, dwell and holds.
#include "app/access.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "app/ozz_main.h"
#include "controls/tb97ctls.h"
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
constexpr int kMinAnimalPixels = 30;  // fewer is a stray pixel of the map, not an animal

plat::Point Centre(const plat::Rect& r) { return {r.left + r.w / 2, r.top + r.h / 2}; }

plat::Rect ControlBox(const plat::Control& c) {
  plat::Point tl = c.ClientToScreen({0, 0});
  return {tl.x, tl.y, c.Width(), c.Height()};
}

bool IsBoxButton(const std::string& name) { return name.rfind("box ", 0) == 0; }

void Put(plat::Canvas& c, int x, int y, plat::Rgb col) {
  if (c.clip().contains({x, y})) c.surface().row(y)[x] = col.packed();
}

}  // namespace

static AccessLayer* g_layer = nullptr;  // the running program's, for the parents' page

std::unique_ptr<AccessLayer> MakeAccessLayer(plat::Application& app, Tform_ozzel& form, const ParentsSettings& s) {
  return std::make_unique<AccessLayer>(app, form, s);
}

void ApplyParentsAccess() {
  if (g_layer) g_layer->Apply(parents);
}

AccessLayer::AccessLayer(plat::Application& app, Tform_ozzel& form, const ParentsSettings& settings)
    : app_(app), form_(form), s_(settings) {
  // Unnamed: the runtime's timer, but no "timer" lines in the trace for it.
  tick_ = std::make_unique<plat::Timer>(app_, "", kTickMs, false, [this](plat::Timer&) { Tick(); });
  app_.SetInputFilter([this](const plat::InputEvent& e) { return Filter(e); });
  app_.SetOverlay([this](plat::Canvas& c) { Paint(c); });
  scan_since_ = app_.Now();
  if (s_.Kiosk) app_.backend().SetKeyboardGrab(true);
  UpdateTicking();
  g_layer = this;
}

AccessLayer::~AccessLayer() {
  if (g_layer == this) g_layer = nullptr;
  app_.SetInputFilter(nullptr);
  app_.SetOverlay(nullptr);
}

void AccessLayer::Apply(const ParentsSettings& settings) {
  ChooseUp();
  if (hold_ != Hold::None) EndHold();
  if (settings.Kiosk != s_.Kiosk) app_.backend().SetKeyboardGrab(settings.Kiosk);
  s_ = settings;
  Show(-1, false);
  cur_ = -1;
  signature_.clear();
  names_.clear();
  dwell_on_.clear();
  dwell_spent_ = false;
  ClearRing();
  scan_since_ = app_.Now();
  UpdateTicking();
}

void AccessLayer::UpdateTicking() {
  // With the mouse nothing moves by itself; only a kiosk's hold needs the clock.
  bool need = s_.Access != AccessMode::Mouse || hold_ != Hold::None || ring_until_ != 0;
  if (need != tick_->Enabled()) tick_->SetEnabled(need);
}

// ---- what can be chosen ----

const std::vector<AccessLayer::Shape>& AccessLayer::Shapes(int set) {
  std::vector<Shape>& out = shapes_[size_t(set)];
  if (shapes_done_[size_t(set)]) return out;
  shapes_done_[size_t(set)] = true;
  plat::Image* map = form_.HitMap(set);
  if (!map) return out;
  const plat::Bitmap& bmp = map->Picture();
  const int w = bmp.width(), h = bmp.height();
  if (w <= 0 || h <= 0) return out;
  std::vector<uint8_t> code(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) code[size_t(y) * w + x] = uint8_t(game::AnimalCode(bmp.PixelAt(x, y)));

  // Distance from the edge of the pixel's own animal: the deepest pixel is the safest place to
  // click, where a slightly different point still lands on the same animal.
  std::vector<int> dist(code.size(), 0);
  auto same = [&](int x, int y, uint8_t c) { return x >= 0 && y >= 0 && x < w && y < h && code[size_t(y) * w + x] == c; };
  auto pass = [&](int y0, int y1, int dy, int x0, int x1, int dx) {
    const int nb[4][3] = {{-dx, 0, 3}, {-dx, -dy, 4}, {0, -dy, 3}, {dx, -dy, 4}};
    for (int y = y0; y != y1; y += dy)
      for (int x = x0; x != x1; x += dx) {
        size_t i = size_t(y) * w + x;
        uint8_t c = code[i];
        if (!c) continue;
        int best = dy > 0 && dx > 0 ? INT_MAX : dist[i];
        for (auto& n : nb) {
          int nx = x + n[0], ny = y + n[1];
          int cand = same(nx, ny, c) ? dist[size_t(ny) * w + nx] + n[2] : n[2];
          best = std::min(best, cand);
        }
        dist[i] = best;
      }
  };
  pass(0, h, 1, 0, w, 1);
  pass(h - 1, -1, -1, w - 1, -1, -1);

  struct Acc {
    long n = 0;
    double sx = 0, sy = 0;
    int l = INT_MAX, t = INT_MAX, r = -1, b = -1;
  };
  std::array<Acc, 256> acc;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (uint8_t c = code[size_t(y) * w + x]) {
        Acc& a = acc[c];
        ++a.n, a.sx += x, a.sy += y;
        a.l = std::min(a.l, x), a.t = std::min(a.t, y), a.r = std::max(a.r, x), a.b = std::max(a.b, y);
      }
  for (int c = 1; c < 256; ++c) {
    const Acc& a = acc[size_t(c)];
    if (a.n < kMinAnimalPixels) continue;
    Shape s;
    s.code = c;
    s.box = {a.l, a.t, a.r - a.l + 1, a.b - a.t + 1};
    double cx = a.sx / a.n, cy = a.sy / a.n, best_d2 = 0;
    int best = -1;
    for (int y = a.t; y <= a.b; ++y)
      for (int x = a.l; x <= a.r; ++x) {
        size_t i = size_t(y) * w + x;
        if (code[i] != c) continue;
        double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        // Deepest first; among equally deep pixels the one nearest the middle.
        if (dist[i] > best || (dist[i] == best && d2 < best_d2)) best = dist[i], best_d2 = d2, s.inner = {x, y};
      }
    out.push_back(s);
  }
  std::sort(out.begin(), out.end(), [](const Shape& a, const Shape& b) {
    return a.inner.x != b.inner.x ? a.inner.x < b.inner.x : a.inner.y < b.inner.y;
  });
  return out;
}

std::vector<AccessLayer::Target> AccessLayer::Targets() {
  std::vector<Target> out;
  const bool access = s_.Access != AccessMode::Mouse;
  if (plat::Modal* box = app_.ActiveModal()) {
    // A box's buttons are chosen like anything else, or a child without a mouse could never close it.
    if (access)
      for (const plat::Modal::Button& b : box->Buttons()) out.push_back({b.name, b.box, Centre(b.box), 0});
    return out;
  }
  if (!form_.Visible()) return out;
  const int set = shared.CurrentSet;
  const bool in_scene = form_.podklad->Visible() && set >= 1 && set <= 4;
  if (form_.podklad->Visible() && set >= 1 && set <= 4) {
    plat::Point o = form_.podklad->ClientToScreen({0, 0});
    for (const Shape& s : Shapes(set))
      out.push_back({"animal " + std::to_string(s.code), s.box.offset(o.x, o.y), {o.x + s.inner.x, o.y + s.inner.y}, s.code});
  }
  const std::array<plat::Control*, 4> scenes{form_.btn_obraz1, form_.btn_obraz2, form_.btn_obraz3, form_.btn_obraz4};
  for (plat::Control* c : std::initializer_list<plat::Control*>{form_.btn_obraz1, form_.btn_obraz2, form_.btn_obraz3,
                                                                form_.btn_obraz4, form_.BTN_Konec}) {
    if (!c->Visible() || !c->Enabled()) continue;
    // Choosing the scene being played would start it again and lose the score: no child means that.
    if (access && in_scene && c == scenes[size_t(set - 1)]) continue;
    out.push_back({c->Name(), ControlBox(*c), Centre(ControlBox(*c)), 0});
  }
  return out;
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
  if (s_.Access == AccessMode::Mouse) return;  // a kiosk alone highlights nothing
  if (s_.Access == AccessMode::Dwell) {
    cur_ = -1;
    dwell_on_.clear();  // found again under the pointer at the next tick, wherever it now is
    DwellAt(app_.CursorPos(), app_.Now());
    return;
  }
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
    plat::Point local = form_.podklad->ScreenToClient(p);
    if (form_.HitTest(local.x, local.y) == t.animal) return int(i);
  }
  return -1;
}

bool AccessLayer::Waiting() const {
  if (plat::Modal* box = app_.ActiveModal()) return s_.Access == AccessMode::Mouse || box->Buttons().empty();
  if (shared.QuitRequested || shared.SwitchPending || shared.SwitchBusy || shared.AskBusy || shared.ClickBusy ||
      shared.IntroClickBusy)
    return true;
  if (form_.stit->Visible()) return true;  // the intro or a praise is running
  return Speaking();
}

bool AccessLayer::Speaking() const {
  // In a scene the examiner speaks questions and verdicts, which the child listens to first. On the
  // menu what still speaks is a skipped introduction, which nothing waits for.
  if (!form_.podklad->Visible() || app_.ActiveModal()) return false;
  if (shared.AskBusy || !form_.playlist->Items.empty()) return true;
  return form_.WavPlayer && form_.WavPlayer->Mode() == plat::MciMode::Playing;
}

bool AccessLayer::CardUp() const { return form_.preview->Visible(); }

// ---- the highlight ----

void AccessLayer::Show(int index, bool move_pointer) {
  // The praise's card lies over the scene: an outline of an animal there would be drawn over it.
  const int shown = index >= 0 && targets_[size_t(index)].animal && CardUp() ? -1 : index;
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
        picture_box_ = ScenePicture(t.name);
      }
      app_.InvalidateScreen(shown_box_);
      app_.InvalidateScreen(picture_box_);
    }
  }
  // Moving there as a pointer would: a scene button says its word, as it does for the mouse.
  if (move_pointer && index >= 0) {
    chosen_word_ = 0;
    Send(K::MouseMove, targets_[size_t(index)].point);
  }
}

plat::Rect AccessLayer::ScenePicture(const std::string& name) const {
  // On the menu a child looks at the scenes' pictures, the quarters of the intro picture, more than at
  // the small buttons: the button's quarter is framed with it.
  if (form_.podklad->Visible() || !form_.divadlo->Visible()) return {};
  int set = 0;
  for (int n = 1; n <= 4; ++n)
    if (name == "btn_obraz" + std::to_string(n)) set = n;
  if (!set) return {};
  const plat::Rect d = ControlBox(*form_.divadlo);
  const int half_w = form_.podklad->Width() / 2, half_h = form_.podklad->Height() / 2;
  const plat::Rect q{d.left + (set % 2 ? 0 : half_w), d.top + (set <= 2 ? 0 : half_h), half_w, half_h};
  const plat::Rect in = q.intersect(d);
  return {in.left - 2, in.top - 2, in.w + 4, in.h + 4};
}

void AccessLayer::BuildOutline(const Target& t) {
  const Shape* shape = nullptr;
  for (const Shape& s : Shapes(shared.CurrentSet))
    if (s.code == t.animal) shape = &s;
  if (!shape) return;
  const plat::Bitmap& bmp = form_.HitMap(shared.CurrentSet)->Picture();
  plat::Rect area = plat::Rect{shape->box.left - kOutlineReach, shape->box.top - kOutlineReach,
                               shape->box.w + 2 * kOutlineReach, shape->box.h + 2 * kOutlineReach}
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
  plat::Point o = form_.podklad->ClientToScreen({0, 0});
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
  return index >= 0 && targets_[size_t(index)].name == form_.BTN_Konec->Name();
}

void AccessLayer::Chosen(const Target& t) {
  // The scene is chosen: its button's word, waiting for a quiet moment, would come after the question
  // (the pointer that stands for the highlight stays on the button, which says its word again when it
  // moves under it). Until the highlight moves on, the word is kept unsaid.
  chosen_word_ = 0;
  for (int n = 1; n <= 4; ++n)
    if (t.name == "btn_obraz" + std::to_string(n)) chosen_word_ = n;
  ForgetChosenWord();
}

void AccessLayer::ForgetChosenWord() {
  if (chosen_word_ && shared.PendingIconSound == chosen_word_) shared.PendingIconSound = 0;
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
  if (app_.ActiveModal()) {
    // With the mouse a box is answered as it always was; otherwise its buttons are targets.
    if (s_.Access == AccessMode::Mouse || sent) return false;
    if (e.kind == K::KeyDown || e.kind == K::KeyUp) {
      Key(e);
      return true;
    }
    return (e.kind == K::MouseMove || e.kind == K::MouseDown || e.kind == K::MouseUp) && Mouse(e);
  }
  switch (e.kind) {
    case K::KeyDown:
    case K::KeyUp:
      Key(e);
      return true;
    case K::MouseMove:
    case K::MouseDown:
    case K::MouseUp:
      if (KioskDoor(e)) return true;
      return sent ? false : Mouse(e);
    case K::Deactivate:
      // The releases may go to another window now: nothing stays pressed or held.
      ChooseUp();
      if (hold_ != Hold::None) EndHold();
      return false;
    default:
      return false;
  }
}

bool AccessLayer::KioskDoor(const plat::InputEvent& e) {
  if (!s_.Kiosk) return false;
  plat::Control* door = form_.BTN_Konec;
  bool on_door = app_.ControlAtScreen(e.pos) == door && door->Visible() && door->Enabled();
  if (e.kind == K::MouseDown && e.button == 0 && on_door && hold_ == Hold::None) {
    StartHold(Hold::Door);
    return true;
  }
  if (hold_ == Hold::Door) {
    if (e.kind == K::MouseUp && e.button == 0) {
      EndHold(true);
      return true;
    }
    if (e.kind == K::MouseMove && !on_door) EndHold();
  }
  return false;
}

bool AccessLayer::Mouse(const plat::InputEvent& e) {
  switch (s_.Access) {
    case AccessMode::Mouse:
    case AccessMode::Keys:
      return false;
    case AccessMode::Dwell:
      if (e.kind == K::MouseMove) {
        Refresh();
        DwellAt(e.pos, app_.Now());
      }
      return false;
    case AccessMode::Scan1:
      // Any button is the switch; the pointer itself means nothing here.
      if (e.kind == K::MouseDown) ChooseDown();
      if (e.kind == K::MouseUp) ChooseUp();
      return true;
    case AccessMode::Scan2:
      if (e.kind == K::MouseDown && e.button == 0) Step(1);
      if (e.kind == K::MouseDown && e.button == 1) ChooseDown();
      if (e.kind == K::MouseUp && e.button == 1) ChooseUp();
      return true;
  }
  return false;
}

void AccessLayer::Key(const plat::InputEvent& e) {
  if (e.repeat) return;
  const bool down = e.kind == K::KeyDown;
  using plat::Key;
  if (s_.Kiosk && e.key == Key::Esc && !app_.ActiveModal()) {
    if (down && hold_ == Hold::None) StartHold(Hold::Esc);
    if (!down && hold_ == Hold::Esc) EndHold(true);
  }
  // In a box Enter is the box's own key: it answers OK by itself.
  if (app_.ActiveModal() && e.key == Key::Enter && s_.Access != AccessMode::Scan2) return;
  auto choose = [&] { down ? ChooseDown() : ChooseUp(); };
  switch (s_.Access) {
    case AccessMode::Keys:
      if (e.key == Key::Enter || e.key == Key::Space) choose();
      if (down && e.key == Key::Tab) Step(1);
      if (down && (e.key == Key::Left || e.key == Key::Right || e.key == Key::Up || e.key == Key::Down))
        Spatial(e.key);
      break;
    case AccessMode::Scan1:
      if (e.key == Key::Enter || e.key == Key::Space) choose();
      break;
    case AccessMode::Scan2:
      if (down && e.key == Key::Space) Step(1);
      if (e.key == Key::Enter) choose();
      break;
    default:
      break;
  }
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
    SetRing(Centre(ControlBox(*form_.BTN_Konec)), double(held) / kHoldMs);
    if (held >= kHoldMs) {
      plat::trace::Emit("hold", hold_ == Hold::Esc ? "esc" : form_.BTN_Konec->Name());
      EndHold();
      // As a click on the door would; nothing else can end a kiosk from inside.
      form_.BTN_KonecClick(*form_.BTN_Konec);
    }
  }
  if (CardUp() != card_up_) {
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
  if (s_.Access == AccessMode::Scan1) {
    if (waiting || choose_down_ || hold_ != Hold::None || (card_up_ && !app_.ActiveModal())) {
      scan_since_ = now;
    } else if (now - scan_since_ >= s_.ScanMs) {
      Step(1);
    }
  }
  if (s_.Access == AccessMode::Dwell) DwellTick(now, waiting);
}

void AccessLayer::DwellAt(plat::Point p, uint64_t now) {
  int i = TargetAt(p);
  std::string name = i >= 0 ? targets_[size_t(i)].name : "";
  if (name == dwell_on_) return;
  // A new thing under the pointer: a fresh ring. Only the pointer's own movement frees it to choose
  // again: what slides under a resting pointer (the buttons move when a scene opens) is not chosen.
  dwell_on_ = name;
  dwell_since_ = now;
  if (p != spent_at_) dwell_spent_ = false;
  cur_ = i;
  Show(i, false);
  if (hold_ == Hold::None) ClearRing();
}

void AccessLayer::DwellTick(uint64_t now, bool waiting) {
  DwellAt(app_.CursorPos(), now);
  if (hold_ != Hold::None) return;  // the hold's ring is the one shown
  if (dwell_on_.empty() || dwell_spent_) return ClearRing();
  if (waiting) {
    dwell_since_ = now;
    return ClearRing();
  }
  uint64_t rested = now - dwell_since_;
  plat::Point p = app_.CursorPos();
  // The door takes a rest as long as a kiosk's hold besides: a glance that lingers must not end the game.
  const bool door = IsDoor(cur_) && !app_.ActiveModal();
  const uint64_t need = s_.DwellMs + (door ? kHoldMs : 0);
  if (rested < need) return SetRing(p, double(rested) / double(need));
  dwell_spent_ = true;
  spent_at_ = p;
  ClearRing();
  plat::trace::Emit("dwell", dwell_on_);
  if (door) {
    form_.BTN_KonecClick(*form_.BTN_Konec);
    return;
  }
  if (cur_ >= 0) Chosen(targets_[size_t(cur_)]);
  Send(K::MouseDown, p);
  Send(K::MouseUp, p);
}

void AccessLayer::StartHold(Hold h) {
  hold_ = h;
  ring_until_ = 0;
  hold_since_ = app_.Now();
  SetRing(Centre(ControlBox(*form_.BTN_Konec)), 0);
  UpdateTicking();
}

void AccessLayer::EndHold(bool let_go) {
  const Hold was = hold_;
  hold_ = Hold::None;
  if (let_go && ring_on_) {
    // Let go too early: the ring stays a moment, so that a short press is seen to have done something.
    plat::trace::Emit("hold-short", was == Hold::Esc ? "esc" : form_.BTN_Konec->Name());
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
  if ((!box || on_box) && !(CardUp() && !outline_.empty()) && !c.clip().intersect(shown_box_).empty()) {
    for (const OutlinePixel& p : outline_)
      if (p.dist <= kDarkBand + swell) Put(c, p.x, p.y, p.dist > kLightBand + swell ? kDark : light);
    if (outline_.empty() && !shown_box_.empty()) Frame(c, shown_box_, swell / 3, light);
  }
  if (!box && !picture_box_.empty() && !c.clip().intersect(picture_box_).empty())
    Frame(c, picture_box_, swell / 3, light);
  if (ring_on_ && (!box || IsBoxButton(dwell_on_))) {
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
