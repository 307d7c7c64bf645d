// Screen composition (whole screen and a small damaged region, presented at scales 1, 2 and 4) and an idle ProcessMessages.
#include <benchmark/benchmark.h>

#include "platform/headless/headless.h"
#include "platform/sdl/scale.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"

namespace {

using namespace plat;

Bitmap Noise(int w, int h) {
  Bitmap b(w, h);
  uint32_t s = 12345;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      s = s * 1103515245u + 12345u;
      b.SetPixel(x, y, Rgb{uint8_t(s >> 24), uint8_t(s >> 16), 224});
    }
  return b;
}

// Presents as the SDL backend does into a window surface of 32-bit pixels, k times the screen each way.
class ScaledBackend : public HeadlessBackend {
 public:
  ScaledBackend(Size logical, int k)
      : HeadlessBackend(logical), k_(k), phys_{logical.w * k, logical.h * k}, pixels_(size_t(phys_.w) * phys_.h) {}
  void Present(const Surface& fb, const Rect& damage) override {
    HeadlessBackend::Present(fb, damage);
    ScaleBlocks(fb.row(0), fb.width(), damage, k_, {0, 0, phys_.w, phys_.h}, reinterpret_cast<uint8_t*>(pixels_.data()),
                phys_.w * 4);
    benchmark::DoNotOptimize(pixels_.data());
  }

 private:
  int k_;
  Size phys_;
  std::vector<uint32_t> pixels_;
};

// The program's two windows in miniature: a full-screen background and the centred main window
// with a scene picture, transparent corners and a label.
struct Scene {
  explicit Scene(int k = 1) : backend({1024, 768}, k) { Build(); }
  ScaledBackend backend;
  Application app{backend};
  Form bg{app, "bg"};
  Form main{app, "main"};
  void Build() {
    bg.SetBounds(0, 0, 1024, 768);
    auto& tile = bg.Add<Image>("tile");
    tile.SetBounds(0, 0, 1024, 768);
    tile.SetPicture(Noise(1024, 768));
    bg.Show();
    main.SetBounds(192, 144, 640, 480);
    auto& scene = main.Add<Image>("podklad");
    scene.SetBounds(0, 0, 640, 410);
    scene.SetPicture(Noise(640, 410));
    for (int i = 0; i < 4; ++i) {
      auto& corner = main.Add<Image>("roh" + std::to_string(i));
      corner.SetBounds(i % 2 ? 622 : 0, i / 2 ? 462 : 0, 18, 18);
      corner.SetPicture(Noise(18, 18));
      corner.SetTransparent(true);
    }
    auto& lbl = main.Add<Label>("lbl_dobre");
    lbl.SetBounds(368, 434, 50, 22);
    lbl.Transparent = true;
    lbl.SetCaption("12");
    main.Show();
  }
};

void BM_ComposeWholeScreen(benchmark::State& state) {
  Scene s;
  for (auto _ : state) benchmark::DoNotOptimize(s.app.ComposeAll().row(0));
}
BENCHMARK(BM_ComposeWholeScreen)->Unit(benchmark::kMillisecond);

// A scene button's damage shown on a display k times larger each way (1024 × 768, 2048 × 1536, 4096 × 3072):
// composed once in logical pixels, scaled to k × k blocks on presenting.
void BM_ButtonDamageAtScale(benchmark::State& state) {
  Scene s(int(state.range(0)));
  s.app.ComposeAll();
  for (auto _ : state) {
    s.main.Invalidate({42, 416, 60, 60});
    s.app.PresentNow();
  }
}
BENCHMARK(BM_ButtonDamageAtScale)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_ProcessMessagesIdle(benchmark::State& state) {
  Scene s;
  for (int i = 0; i < 8; ++i) s.main.AddTimer("t" + std::to_string(i), 100 + i, true, [](Timer&) {});
  for (auto _ : state) s.app.ProcessMessages();
}
BENCHMARK(BM_ProcessMessagesIdle);

}  // namespace
