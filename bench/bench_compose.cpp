// Screen composition (whole screen and a small damaged region, presented at whole and filling scales), an idle
// ProcessMessages, and boxes given megabytes of text.
#include <benchmark/benchmark.h>

#include "platform/headless/headless.h"
#include "platform/scale.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialogs.h"
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

// Presents as the SDL backend does into a window surface of 32-bit pixels, the scale times the screen each way.
class ScaledBackend : public HeadlessBackend {
 public:
  ScaledBackend(Size logical, ScreenScale s)
      : HeadlessBackend(logical),
        phys_{logical.w * s.num / s.den, logical.h * s.num / s.den},
        scaler_(s, phys_),
        pixels_(size_t(phys_.w) * phys_.h) {}
  void Present(const Surface& fb, const Rect& damage) override {
    HeadlessBackend::Present(fb, damage);
    scaler_.Draw(fb.row(0), {fb.width(), fb.height()}, fb.width(), damage, {0, 0, phys_.w, phys_.h},
                 reinterpret_cast<uint8_t*>(pixels_.data()), phys_.w * 4);
    benchmark::DoNotOptimize(pixels_.data());
  }

 private:
  Size phys_;
  Scaler scaler_;
  std::vector<uint32_t> pixels_;
};

// The benchmarks' scales by argument: whole blocks of 1, 2 and 4, and the filling 1.6, 2.25 and 4.5.
constexpr ScreenScale kScales[] = {{1, 1}, {2, 1}, {4, 1}, {8, 5}, {9, 4}, {9, 2}};

// The program's two windows in miniature: a full-screen background and the centred main window
// with a scene picture, transparent corners and a label.
struct Scene {
  explicit Scene(ScreenScale s = {}) : backend({1024, 768}, s) { Build(); }
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

// A scene button's damage shown on a display the scale times larger each way: composed once in logical
// pixels, scaled on presenting.
void BM_ButtonDamageAtScale(benchmark::State& state) {
  const ScreenScale scale = kScales[state.range(0)];
  state.SetLabel(std::to_string(scale.num) + "/" + std::to_string(scale.den));
  Scene s(scale);
  s.app.ComposeAll();
  for (auto _ : state) {
    s.main.Invalidate({42, 416, 60, 60});
    s.app.PresentNow();
  }
}
BENCHMARK(BM_ButtonDamageAtScale)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

// The whole screen presented at each scale, as on the first frame.
void BM_WholeScreenAtScale(benchmark::State& state) {
  const ScreenScale scale = kScales[state.range(0)];
  state.SetLabel(std::to_string(scale.num) + "/" + std::to_string(scale.den));
  Scene s(scale);
  s.app.ComposeAll();
  for (auto _ : state) {
    s.bg.Invalidate({0, 0, 1024, 768});
    s.app.PresentNow();
  }
}
BENCHMARK(BM_WholeScreenAtScale)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

void BM_ProcessMessagesIdle(benchmark::State& state) {
  Scene s;
  for (int i = 0; i < 8; ++i) s.main.AddTimer("t" + std::to_string(i), 100 + i, true, [](Timer&) {});
  for (auto _ : state) s.app.ProcessMessages();
}
BENCHMARK(BM_ProcessMessagesIdle);

// A message box and the input box with a 2 MB data path (a damaged settings value), opened, drawn
// and answered: what showing such a value costs.
void BM_BoxesWithAHugePath(benchmark::State& state) {
  HeadlessBackend backend({1024, 768});
  Application app(backend);
  backend.OnIdle = [&](uint64_t) {
    app.ComposeAll();
    InputEvent ok;
    ok.kind = InputEvent::Kind::DialogOk;
    backend.Inject(ok);
  };
  const std::string huge = "/" + std::string(2u << 20, 'a');
  for (auto _ : state) {
    MessageBox("Nenalezen zvuk: " + huge);
    benchmark::DoNotOptimize(InputBox("c", "p", huge));
  }
}
BENCHMARK(BM_BoxesWithAHugePath)->Unit(benchmark::kMillisecond);

}  // namespace
