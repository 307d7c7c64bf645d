// The main window's side of the access layer: what it is busy with, what can be chosen on it, its door.
#include <algorithm>
#include <array>
#include <climits>

#include "app/access.h"
#include "app/ozz_main.h"
#include "controls/tb97ctls.h"
#include "game/colour_codes.h"
#include "platform/ui/application.h"

namespace ozzel {

namespace {

constexpr int kMinAnimalPixels = 30;  // fewer is a stray pixel of the map, not an animal

class FormAccessHost : public AccessHost {
 public:
  explicit FormAccessHost(Tform_ozzel& form) : form_(form) {}
  ~FormAccessHost() override { form_.ParentsChanged = nullptr; }

  Busy BusyNow() const override {
    // In a scene the examiner speaks questions and verdicts, which the child listens to first. On the
    // menu what still speaks is a skipped introduction, which nothing waits for.
    if (form_.podklad->Visible() &&
        (shared.AskBusy || !form_.playlist->Items.empty() ||
         (form_.WavPlayer && form_.WavPlayer->Mode() == plat::MciMode::Playing)))
      return Busy::Listening;
    if (shared.QuitRequested || shared.SwitchPending || shared.SwitchBusy || shared.AskBusy || shared.ClickBusy ||
        shared.IntroClickBusy)
      return Busy::Working;
    if (form_.stit->Visible()) return Busy::Working;  // the intro or a praise is running
    return Busy::No;
  }

  std::vector<AccessTarget> Targets(bool access) override {
    std::vector<AccessTarget> out;
    if (!form_.Visible()) return out;
    const int set = shared.CurrentSet;
    const bool in_scene = form_.podklad->Visible() && set >= 1 && set <= 4;
    if (in_scene) {
      const plat::Point o = form_.podklad->ClientToScreen({0, 0});
      for (const Shape& s : Shapes(set))
        out.push_back({"animal " + std::to_string(s.code), s.box.offset(o.x, o.y), {o.x + s.inner.x, o.y + s.inner.y}, s.code});
    }
    const std::array<plat::Control*, 4> scenes{form_.btn_obraz1, form_.btn_obraz2, form_.btn_obraz3, form_.btn_obraz4};
    for (plat::Control* c : std::initializer_list<plat::Control*>{form_.btn_obraz1, form_.btn_obraz2, form_.btn_obraz3,
                                                                  form_.btn_obraz4, form_.BTN_Konec}) {
      if (!c->Visible() || !c->Enabled()) continue;
      // Choosing the scene being played would start it again and lose the score: no child means that.
      if (access && in_scene && c == scenes[size_t(set - 1)]) continue;
      out.push_back({c->Name(), ScreenBox(*c), Centre(ScreenBox(*c)), 0});
    }
    return out;
  }

  int AnimalAt(plat::Point screen) const override {
    const plat::Point local = form_.podklad->ScreenToClient(screen);
    return form_.HitTest(local.x, local.y);
  }

  const plat::Bitmap* AnimalShape(int animal, plat::Rect& box, plat::Point& origin) override {
    for (const Shape& s : Shapes(shared.CurrentSet))
      if (s.code == animal) {
        box = s.box;
        origin = form_.podklad->ClientToScreen({0, 0});
        return &form_.HitMap(shared.CurrentSet)->Picture();
      }
    return nullptr;
  }

  bool CardUp() const override { return form_.preview->Visible(); }

  plat::Rect PictureOf(const std::string& name) const override {
    // On the menu a child looks at the scenes' pictures, the quarters of the intro picture, more than at
    // the small buttons: the button's quarter is framed with it.
    if (form_.podklad->Visible() || !form_.divadlo->Visible()) return {};
    const int set = SceneButton(name);
    if (!set) return {};
    const plat::Rect d = ScreenBox(*form_.divadlo);
    const int half_w = form_.podklad->Width() / 2, half_h = form_.podklad->Height() / 2;
    const plat::Rect q{d.left + (set % 2 ? 0 : half_w), d.top + (set <= 2 ? 0 : half_h), half_w, half_h};
    const plat::Rect in = q.intersect(d);
    return {in.left - 2, in.top - 2, in.w + 4, in.h + 4};
  }

  plat::Control& Door() const override { return *form_.BTN_Konec; }
  void Leave() override { form_.BTN_KonecClick(*form_.BTN_Konec); }

  void Unsay(const std::string& name) override {
    const int n = SceneButton(name);
    if (n && shared.PendingIconSound == n) shared.PendingIconSound = 0;
  }

 private:
  // An animal of a scene, in hit-map (= scene) coordinates.
  struct Shape {
    int code = 0;
    plat::Rect box;
    plat::Point inner;
  };

  // The scene button's number (1..4), 0 for anything else.
  static int SceneButton(const std::string& name) {
    int set = 0;
    for (int n = 1; n <= 4; ++n)
      if (name == "btn_obraz" + std::to_string(n)) set = n;
    return set;
  }

  const std::vector<Shape>& Shapes(int set);

  Tform_ozzel& form_;
  std::array<std::vector<Shape>, 5> shapes_;
  std::array<bool, 5> shapes_done_{};
};

const std::vector<FormAccessHost::Shape>& FormAccessHost::Shapes(int set) {
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

}  // namespace

std::unique_ptr<AccessHost> MakeFormAccessHost(Tform_ozzel& form) { return std::make_unique<FormAccessHost>(form); }

}  // namespace ozzel
