// Colour hit maps: each animal's shape fitted to its box and pixel count, one connected silhouette with a soft edge.
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>

#include "tools/art/animals.h"
#include "tools/art/bestiary.h"

namespace ozzel::art {

namespace {

constexpr int W = kSceneWidth, H = kSceneHeight;
using Mask = std::vector<uint8_t>;

bool Inside(int x, int y) { return x >= 0 && y >= 0 && x < W && y < H; }
size_t At(int x, int y) { return size_t(y) * W + x; }

// Sizes of the 4-connected pieces of a mask; label 0 is "not in the mask".
std::vector<int> Components(const Mask& m, std::vector<int>& sizes) {
  std::vector<int> label(m.size(), 0);
  sizes.assign(1, 0);
  std::vector<int> stack;
  for (int i = 0; i < int(m.size()); ++i) {
    if (!m[size_t(i)] || label[size_t(i)]) continue;
    const int id = int(sizes.size());
    sizes.push_back(0);
    label[size_t(i)] = id;
    stack.push_back(i);
    while (!stack.empty()) {
      const int j = stack.back();
      stack.pop_back();
      ++sizes[size_t(id)];
      const int x = j % W, y = j / W;
      for (auto [nx, ny] : std::array<std::pair<int, int>, 4>{{{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}}) {
        if (!Inside(nx, ny)) continue;
        const size_t k = At(nx, ny);
        if (m[k] && !label[k]) label[k] = id, stack.push_back(int(k));
      }
    }
  }
  return label;
}

void KeepLargest(Mask& m) {
  std::vector<int> sizes;
  const auto label = Components(m, sizes);
  const int best = int(std::max_element(sizes.begin(), sizes.end()) - sizes.begin());
  for (size_t i = 0; i < m.size(); ++i) m[i] = m[i] && label[i] == best;
}

// Chebyshev distance (capped at 3) from every pixel to the mask.
std::vector<uint8_t> RingDistance(const Mask& m) {
  std::vector<uint8_t> d(m.size(), 3);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      if (!m[At(x, y)]) continue;
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
          if (Inside(x + dx, y + dy)) {
            uint8_t& v = d[At(x + dx, y + dy)];
            v = std::min<uint8_t>(v, uint8_t(std::max(std::abs(dx), std::abs(dy))));
          }
    }
  return d;
}

// Removing the pixel keeps its neighbours in the mask joined to each other without it.
bool Removable(const Mask& m, int x, int y) {
  bool in[3][3] = {};
  int count = 0;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      if (!dx && !dy) continue;
      in[dy + 1][dx + 1] = Inside(x + dx, y + dy) && m[At(x + dx, y + dy)];
      count += in[dy + 1][dx + 1];
    }
  const bool four = in[0][1] || in[1][0] || in[1][2] || in[2][1];
  if (!four || count == 8) return false;
  // The ring's members must form one 4-connected group (the centre left out).
  bool seen[3][3] = {};
  int sx = -1, sy = -1;
  for (int j = 0; j < 3 && sx < 0; ++j)
    for (int i = 0; i < 3; ++i)
      if (in[j][i]) {
        sx = i, sy = j;
        break;
      }
  std::vector<std::pair<int, int>> st{{sx, sy}};
  seen[sy][sx] = true;
  int reached = 0;
  while (!st.empty()) {
    auto [i, j] = st.back();
    st.pop_back();
    ++reached;
    for (auto [di, dj] : std::array<std::pair<int, int>, 4>{{{1, 0}, {-1, 0}, {0, 1}, {0, -1}}}) {
      const int ni = i + di, nj = j + dj;
      if (ni < 0 || nj < 0 || ni > 2 || nj > 2 || (ni == 1 && nj == 1)) continue;
      if (in[nj][ni] && !seen[nj][ni]) seen[nj][ni] = true, st.push_back({ni, nj});
    }
  }
  return reached == count;
}

bool IsCodeColour(plat::Rgb c) {
  for (int code = 1; code <= 10; ++code)
    if (CodeColour(code) == c) return true;
  return false;
}

// A blended edge colour must never read as an animal or as the background.
plat::Rgb OffCodes(plat::Rgb c) {
  while (IsCodeColour(c) || c == plat::kBlack) c.g = c.g > 0 ? uint8_t(c.g - 1) : uint8_t(c.g + 1);
  return c;
}

plat::Rgb Blend(plat::Rgb under, plat::Rgb code, double a) {
  auto m = [a](uint8_t u, uint8_t c) { return uint8_t(std::lround(u + (c - u) * a)); };
  return {m(under.r, code.r), m(under.g, code.g), m(under.b, code.b)};
}

// Outline distances up to this many pixels are worked out for every pixel of an animal's region; farther
// ones only where they are used (most pixels of a box lie far from the outline).
constexpr double kReach = 8;

struct Fitted {
  const AnimalPlacement* p = nullptr;
  Shape shape;
  double grow = 0;
  // Outline distance minus grow at each pixel centre of `region`; +inf where the outline lies farther
  // than kReach and the distance has not been asked for yet (Dist works it out then).
  mutable std::vector<double> dist;
  plat::Rect region;
  Mask full;    // where it is exact before anything drawn above it covers it
  Mask paint;   // every pixel it colours
  std::vector<float> alpha;  // edge opacity of painted pixels outside `full`
  double Dist(int x, int y) const {
    if (!region.contains({x, y})) return 1e9;
    double& d = dist[size_t(y - region.top) * region.w + (x - region.left)];
    if (std::isinf(d)) d = OutlineDistance(shape, {x + 0.5, y + 0.5}) - grow;
    return d;
  }
  // Dist(x, y) < limit, without working out a far distance that is plainly not.
  bool Below(int x, int y, double limit) const {
    if (region.contains({x, y}) && std::isinf(dist[size_t(y - region.top) * region.w + (x - region.left)]) &&
        kReach - grow >= limit)
      return false;
    return Dist(x, y) < limit;
  }
};

Shape Oriented(const AnimalPlacement& p) {
  Shape s = DrawAnimal(p.set, p.code);
  return p.face_left ? Mapped(s, -1, 1, 0, 0) : s;
}

// Thick parts change their radius by up to delta; thin ones (legs, tails, ears) stay as they are.
Shape Thickened(const Shape& s, double delta) {
  Shape out = s;
  if (delta == 0) return out;
  const double thin = 3, full = 9;  // in the shape's own units
  for (Part& p : out.parts) {
    if (p.decor || p.kind == Part::kPolygon) continue;
    const double r = std::min(p.r0, p.r1);
    const double k = std::clamp((r - thin) / (full - thin), 0.0, 1.0);
    p.r0 = std::max(0.5, p.r0 + delta * k);
    p.r1 = std::max(0.5, p.r1 + delta * k);
  }
  return out;
}

// Maps the shape so that, grown by g, it reaches just inside the box's outer pixels.
Shape FitToBox(const Shape& base, const plat::Rect& box, double g) {
  const Box2 b = Bounds(base);
  const double x0 = box.left + 0.05 + g, x1 = box.right() - 0.05 - g;
  const double y0 = box.top + 0.05 + g, y1 = box.bottom() - 0.05 - g;
  const double sx = (x1 - x0) / (b.x1 - b.x0), sy = (y1 - y0) / (b.y1 - b.y0);
  return Mapped(base, sx, sy, x0 - sx * b.x0, y0 - sy * b.y0);
}

// Fits one animal under the pixels `taken` by the animals drawn above it.
Fitted Fit(const AnimalPlacement& p, const Mask& taken) {
  Fitted f;
  f.p = &p;
  const plat::Rect box = p.box;
  f.region = {box.left - 3, box.top - 3, box.w + 6, box.h + 6};
  f.region = f.region.intersect({0, 0, W, H});
  const Shape drawn = Oriented(p);
  const Box2 db = Bounds(drawn);
  const double scale = std::sqrt(box.w * box.h / ((db.x1 - db.x0) * (db.y1 - db.y0)));
  const int want = p.pixels - p.strays;
  auto free_in_box = [&](int x, int y) { return box.contains({x, y}) && !taken[At(x, y)]; };

  // The outline grows evenly to the wanted size; a shape much too stout first slims its thick parts,
  // so that legs and tails keep their width.
  double g = 0.5, slim = 0;
  Shape base = drawn;
  std::vector<double> raw(size_t(f.region.w) * f.region.h);
  for (int attempt = 0; attempt < 4; ++attempt) {
    base = Thickened(drawn, slim / scale);
    for (int round = 0; round < 4; ++round) {
      f.shape = FitToBox(base, box, g);
      const PartGrid grid(f.shape, kReach, f.region.left, f.region.top, f.region.right(), f.region.bottom());
      // Far pixels only count; should the wanted size reach that far, every distance is worked out.
      for (bool exact : {false, true}) {
        std::vector<double> cand;
        for (int y = f.region.top; y < f.region.bottom(); ++y)
          for (int x = f.region.left; x < f.region.right(); ++x) {
            double d = exact ? OutlineDistance(f.shape, {x + 0.5, y + 0.5}) : grid.Outline({x + 0.5, y + 0.5});
            if (d > kReach) d = exact ? d : HUGE_VAL;
            raw[size_t(y - f.region.top) * f.region.w + (x - f.region.left)] = d;
            if (free_in_box(x, y)) cand.push_back(d);
          }
        const size_t n = std::clamp<size_t>(size_t(want), 1, cand.size() - 1);
        std::nth_element(cand.begin(), cand.begin() + ptrdiff_t(n), cand.end());
        const double below = *std::max_element(cand.begin(), cand.begin() + ptrdiff_t(n));
        if (std::isinf(cand[n]) && !exact) continue;
        g = (below + cand[n]) / 2;
        break;
      }
    }
    if (g > -1.0) break;
    slim += g;
  }
  f.grow = g;
  f.dist = raw;
  for (double& d : f.dist) d -= g;

  Mask s(size_t(W) * H, 0);
  for (int y = box.top; y < box.bottom(); ++y)
    for (int x = box.left; x < box.right(); ++x) s[At(x, y)] = free_in_box(x, y) && f.Below(x, y, 0);
  KeepLargest(s);
  auto add_best = [&](auto score) {
    double best = 1e18;
    int bx = -1, by = -1;
    for (int y = box.top; y < box.bottom(); ++y)
      for (int x = box.left; x < box.right(); ++x) {
        if (s[At(x, y)] || !free_in_box(x, y)) continue;
        const bool touches = (x > 0 && s[At(x - 1, y)]) || (x < W - 1 && s[At(x + 1, y)]) ||
                             (y > 0 && s[At(x, y - 1)]) || (y < H - 1 && s[At(x, y + 1)]);
        if (!touches) continue;
        const double v = score(x, y);
        if (v < best) best = v, bx = x, by = y;
      }
    if (bx < 0) return false;
    s[At(bx, by)] = 1;
    return true;
  };
  // Every edge of the box is touched: grow towards a missing edge.
  auto edge_count = [&](int e) {
    int c = 0;
    for (int y = box.top; y < box.bottom(); ++y)
      for (int x = box.left; x < box.right(); ++x)
        c += s[At(x, y)] && ((e == 0 && x == box.left) || (e == 1 && x == box.right() - 1) ||
                             (e == 2 && y == box.top) || (e == 3 && y == box.bottom() - 1));
    return c;
  };
  for (int e = 0; e < 4; ++e)
    for (int guard = 0; guard < 40 && edge_count(e) == 0; ++guard)
      add_best([&](int x, int y) {
        const int gap = e == 0 ? x - box.left : e == 1 ? box.right() - 1 - x : e == 2 ? y - box.top : box.bottom() - 1 - y;
        return gap * 100.0 + f.Dist(x, y);
      });
  // Then the exact count, by the edge pixels the outline covers most or least.
  int have = int(std::count(s.begin(), s.end(), 1));
  while (have < want && add_best([&](int x, int y) { return f.Dist(x, y); })) ++have;
  while (have > want) {
    double worst = -1e18;
    int wx = -1, wy = -1;
    for (int y = box.top; y < box.bottom(); ++y)
      for (int x = box.left; x < box.right(); ++x) {
        if (!s[At(x, y)] || f.Dist(x, y) <= worst) continue;
        if ((x == box.left || x == box.right() - 1) && edge_count(x == box.left ? 0 : 1) == 1) continue;
        if ((y == box.top || y == box.bottom() - 1) && edge_count(y == box.top ? 2 : 3) == 1) continue;
        if (!Removable(s, x, y)) continue;
        worst = f.Dist(x, y), wx = x, wy = y;
      }
    if (wx < 0) break;
    s[At(wx, wy)] = 0;
    --have;
  }

  // Under the animals above it, the silhouette goes on as the shape says (their edges blend over it).
  f.full = s;
  for (int y = box.top; y < box.bottom(); ++y)
    for (int x = box.left; x < box.right(); ++x)
      if (taken[At(x, y)] && f.Below(x, y, 0)) f.full[At(x, y)] = 1;
  // The soft edge: the first ring always, the second where the outline passes close by.
  const auto ring = RingDistance(f.full);
  f.paint = f.full;
  f.alpha.assign(f.full.size(), 0.f);
  for (int y = f.region.top; y < f.region.bottom(); ++y)
    for (int x = f.region.left; x < f.region.right(); ++x) {
      const size_t k = At(x, y);
      if (f.full[k]) continue;
      if (ring[k] == 1) {
        const double cover = std::clamp(0.5 - f.Dist(x, y), 0.0, 1.0);
        f.alpha[k] = cover >= 0.33 ? 0.65f : cover >= 0.12 ? 0.45f : 0.25f;
      } else if (ring[k] == 2 && f.Below(x, y, 1.2))
        f.alpha[k] = 0.12f;
      f.paint[k] = f.alpha[k] > 0;
    }
  return f;
}

struct Layout {
  std::vector<SceneAnimal> animals;
  plat::Bitmap map;
};

Layout BuildLayout(int set) {
  const auto order = PlacementsInDrawingOrder(set);
  std::vector<Fitted> fits(order.size());
  Mask taken(size_t(W) * H, 0);
  for (size_t i = order.size(); i-- > 0;) {
    fits[i] = Fit(*order[i], taken);
    for (size_t k = 0; k < taken.size(); ++k) taken[k] |= fits[i].paint[k];
  }

  plat::Bitmap map(W, H, plat::kBlack);
  for (const Fitted& f : fits) {
    const plat::Rgb code = f.p->colour;
    for (int y = f.region.top; y < f.region.bottom(); ++y)
      for (int x = f.region.left; x < f.region.right(); ++x) {
        const size_t k = At(x, y);
        if (f.full[k])
          map.SetPixel(x, y, code);
        else if (f.paint[k])
          map.SetPixel(x, y, OffCodes(Blend(*map.PixelAt(x, y), code, f.alpha[k])));
      }
  }

  // An edge whose animal an upper one has covered would float free: it goes back to background.
  auto exact_near = [&](int x, int y) {
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx)
        if (auto c = map.PixelAt(x + dx, y + dy); c && IsCodeColour(*c)) return true;
    return false;
  };
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const plat::Rgb c = *map.PixelAt(x, y);
      if (c != plat::kBlack && !IsCodeColour(c) && !exact_near(x, y)) map.SetPixel(x, y, plat::kBlack);
    }

  // Stray exact pixels: single pixels in the second ring of their host's edge, where nothing else draws.
  std::vector<int> painters(size_t(W) * H, 0);
  for (const Fitted& f : fits)
    for (size_t k = 0; k < painters.size(); ++k) painters[k] += f.paint[k];
  for (const Fitted& owner : fits) {
    const AnimalPlacement& p = *owner.p;
    if (!p.strays) continue;
    const int host_code = p.stray_host ? p.stray_host : p.code;
    const Fitted* host = nullptr;
    for (const Fitted& f : fits)
      if (f.p->code == host_code) host = &f;
    const auto ring = RingDistance(host->full);
    std::vector<std::pair<double, size_t>> cand;
    for (int y = 2; y < H - 2; ++y)
      for (int x = 2; x < W - 2; ++x) {
        const size_t k = At(x, y);
        if (ring[k] != 2 || painters[k] > (host->paint[k] ? 1 : 0)) continue;
        if (p.box.contains({x, y}) != (host == &owner)) continue;
        cand.push_back({host->Dist(x, y), k});
      }
    std::sort(cand.begin(), cand.end());
    std::vector<std::pair<int, int>> placed;
    for (const auto& [d, k] : cand) {
      if (int(placed.size()) == p.strays) break;
      const int x = int(k % W), y = int(k / W);
      bool alone = true;
      for (int dy = -1; dy <= 1 && alone; ++dy)
        for (int dx = -1; dx <= 1 && alone; ++dx)
          if (dx || dy) alone = *map.PixelAt(x + dx, y + dy) != p.colour;
      // Keep them apart, so that no two strays read as a speck.
      for (auto [px, py] : placed) alone = alone && std::max(std::abs(px - x), std::abs(py - y)) > 4;
      if (!alone) continue;
      map.SetPixel(x, y, p.colour);
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          if ((dx || dy) && *map.PixelAt(x + dx, y + dy) == plat::kBlack)
            map.SetPixel(x + dx, y + dy, OffCodes(Blend(plat::kBlack, host->p->colour, 0.12)));
      placed.push_back({x, y});
    }
  }

  Layout out;
  out.map = std::move(map);
  for (Fitted& f : fits) out.animals.push_back({f.p, std::move(f.shape), f.grow});
  return out;
}

// Each scene is fitted once, the scenes at the same time on threads of their own.
const Layout& LayoutOf(int set) {
  struct Entry {
    std::once_flag once;
    Layout layout;
  };
  static std::mutex mu;
  static std::map<int, std::unique_ptr<Entry>> cache;
  Entry* e;
  {
    std::lock_guard<std::mutex> lock(mu);
    auto& slot = cache[set];
    if (!slot) slot = std::make_unique<Entry>();
    e = slot.get();
  }
  std::call_once(e->once, [&] { e->layout = BuildLayout(set); });
  return e->layout;
}

}  // namespace

const std::vector<SceneAnimal>& SceneAnimals(int set) { return LayoutOf(set).animals; }

plat::Bitmap RenderHitMap(int set) { return LayoutOf(set).map; }

}  // namespace ozzel::art
