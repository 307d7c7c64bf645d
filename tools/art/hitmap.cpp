// Colour hit maps: one solid, connected, exactly coloured silhouette per animal with a soft blended edge.
#include <algorithm>
#include <array>
#include <cmath>

#include "tools/art/animals.h"

namespace ozzel::art {

namespace {

using Mask = std::vector<uint8_t>;

// Labels the 4-connected components of mask (value != 0); returns per-pixel labels (0 = none) and sizes.
std::vector<int> Components(const Mask& m, int w, int h, std::vector<int>& sizes) {
  std::vector<int> label(m.size(), 0);
  sizes.assign(1, 0);
  std::vector<int> stack;
  for (int i = 0; i < int(m.size()); ++i) {
    if (!m[i] || label[i]) continue;
    int id = int(sizes.size());
    sizes.push_back(0);
    stack.push_back(i);
    label[i] = id;
    while (!stack.empty()) {
      int j = stack.back();
      stack.pop_back();
      ++sizes[id];
      int x = j % w, y = j / w;
      const std::array<std::pair<int, int>, 4> nb{{{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}};
      for (auto [nx, ny] : nb) {
        if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
        int k = ny * w + nx;
        if (m[k] && !label[k]) {
          label[k] = id;
          stack.push_back(k);
        }
      }
    }
  }
  return label;
}

// Keeps only the largest component and fills every hole inside it.
Mask Solidify(const Mask& m, int w, int h) {
  std::vector<int> sizes;
  auto label = Components(m, w, h, sizes);
  int best = 0;
  for (int i = 1; i < int(sizes.size()); ++i)
    if (best == 0 || sizes[i] > sizes[best]) best = i;
  Mask keep(m.size(), 0);
  if (best == 0) return keep;
  for (size_t i = 0; i < m.size(); ++i) keep[i] = label[i] == best;
  // Everything outside that the border cannot reach is a hole.
  Mask outside(m.size(), 0);
  std::vector<int> stack;
  auto seed = [&](int x, int y) {
    int k = y * w + x;
    if (!keep[k] && !outside[k]) outside[k] = 1, stack.push_back(k);
  };
  for (int x = 0; x < w; ++x) seed(x, 0), seed(x, h - 1);
  for (int y = 0; y < h; ++y) seed(0, y), seed(w - 1, y);
  while (!stack.empty()) {
    int j = stack.back();
    stack.pop_back();
    int x = j % w, y = j / w;
    if (x > 0) seed(x - 1, y);
    if (x < w - 1) seed(x + 1, y);
    if (y > 0) seed(x, y - 1);
    if (y < h - 1) seed(x, y + 1);
  }
  for (size_t i = 0; i < m.size(); ++i) keep[i] = !outside[i];
  return keep;
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

struct Px { float r = 0, g = 0, b = 0; };

}  // namespace

plat::Bitmap RenderHitMap(int set) {
  const int W = kSceneWidth, H = kSceneHeight;
  std::vector<Px> colour(size_t(W) * H);
  std::vector<int> exact(size_t(W) * H, 0);  // code whose exact colour the pixel has, 0 = blended/black

  for (const AnimalPlacement* p : PlacementsInDrawingOrder(set)) {
    RgbaImage img = DrawAnimalRGBA(*p);
    Mask m(size_t(img.w) * img.h);
    for (size_t i = 0; i < m.size(); ++i) m[i] = (img.argb[i] >> 24) >= kSolidAlpha;
    Mask solid = Solidify(m, img.w, img.h);
    const Px code{float(p->colour.r), float(p->colour.g), float(p->colour.b)};
    for (int y = 0; y < img.h; ++y)
      for (int x = 0; x < img.w; ++x) {
        int sx = p->box.left + x, sy = p->box.top + y;
        if (sx < 0 || sy < 0 || sx >= W || sy >= H) continue;
        size_t i = size_t(y) * img.w + x, k = size_t(sy) * W + sx;
        if (solid[i]) {
          colour[k] = code;
          exact[k] = p->code;
          continue;
        }
        // Soft edge, in few steps so the map keeps a small palette; a dropped stray speck counts as edge.
        double a = (img.argb[i] >> 24) / 255.0;
        a = m[i] ? 0.4 : std::min(0.4, std::round(a * 10) / 10);
        if (a <= 0) continue;
        Px& c = colour[k];
        c = {float(c.r * (1 - a) + code.r * a), float(c.g * (1 - a) + code.g * a), float(c.b * (1 - a) + code.b * a)};
        exact[k] = 0;
      }
  }

  // An animal drawn on top may cut one below into pieces: the lower one keeps its largest piece.
  for (int code = 1; code <= 10; ++code) {
    Mask m(exact.size());
    bool any = false;
    for (size_t i = 0; i < m.size(); ++i) any |= (m[i] = exact[i] == code) != 0;
    if (!any) continue;
    std::vector<int> sizes;
    auto label = Components(m, W, H, sizes);
    int best = int(std::max_element(sizes.begin() + 1, sizes.end()) - sizes.begin());
    for (size_t i = 0; i < m.size(); ++i)
      if (m[i] && label[i] != best) {
        plat::Rgb c = CodeColour(code);
        colour[i] = {c.r * 0.4f, c.g * 0.4f, c.b * 0.4f};
        exact[i] = 0;
      }
  }

  // Faint whiskers and tail tips away from any solid part would be specks in the background: drop them.
  auto near_solid = [&](int x, int y) {
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx) {
        int nx = x + dx, ny = y + dy;
        if (nx >= 0 && ny >= 0 && nx < W && ny < H && exact[size_t(ny) * W + nx]) return true;
      }
    return false;
  };

  plat::Bitmap out(W, H, plat::kBlack);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      size_t k = size_t(y) * W + x;
      if (exact[k]) {
        out.SetPixel(x, y, CodeColour(exact[k]));
        continue;
      }
      if (!near_solid(x, y)) continue;
      const Px& c = colour[k];
      plat::Rgb v{uint8_t(std::lround(c.r)), uint8_t(std::lround(c.g)), uint8_t(std::lround(c.b))};
      if (v == plat::kBlack) continue;
      out.SetPixel(x, y, OffCodes(v));
    }
  return out;
}

}  // namespace ozzel::art
