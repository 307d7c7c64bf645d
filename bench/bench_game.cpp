// The quiz's hot spots: the hit test of a click, building a scene's question list, and composing
// the real program's screen (both windows, the play layout) in full and for a button-sized damage.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "app/ozz_main.h"
#include "app/pozadi.h"
#include "game/colour_codes.h"
#include "game/random.h"
#include "game/sets.h"
#include "platform/gdi/bitmap.h"
#include "platform/headless/headless.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "resources/resources.h"

namespace {

using namespace ozzel;

// Scattered points over the scene, so that the benchmark does not walk memory in order.
std::vector<plat::Point> ScenePoints() {
  std::vector<plat::Point> pts;
  uint32_t s = 2024;
  for (int i = 0; i < 4096; ++i) {
    s = s * 1103515245u + 12345u;
    pts.push_back({int((s >> 8) % 640), int((s >> 20) % 410)});
  }
  return pts;
}

void BM_AnimalCodeOfMapPixel(benchmark::State& state) {
  const plat::Bitmap map = res::Picture("RGB_doma");
  const auto pts = ScenePoints();
  size_t i = 0;
  for (auto _ : state) {
    const plat::Point& p = pts[i++ & 4095];
    benchmark::DoNotOptimize(game::AnimalCode(map.PixelAt(p.x, p.y)));
  }
}
BENCHMARK(BM_AnimalCodeOfMapPixel);

// The program itself, created on the headless backend; its start-up boxes are answered at once.
struct Program {
  plat::HeadlessBackend backend{{1024, 768}};
  std::unique_ptr<plat::Application> app;
  std::unique_ptr<Tform_ozzel> form;
  Program() {
    backend.OnIdle = [this](uint64_t deadline) {
      if (app && app->ActiveModal()) {
        plat::InputEvent ok;
        ok.kind = plat::InputEvent::Kind::DialogOk;
        backend.Inject(ok);
        return;
      }
      if (deadline != plat::kNever) backend.vclock().AdvanceTo(deadline);
    };
    app = std::make_unique<plat::Application>(backend);
    ResetSharedState();
    g_seed_override = 1;
    pozadi_Initialize(*app);
    form = std::make_unique<Tform_ozzel>(*app);
    form->SetBounds(192, 144, 640, 480);
    form->Show();
    // The home scene, laid out by the switch handler itself; its picture stands in for the medium's.
    shared.RequestedSet = 1;
    form->pozadavek_na_prepnuti_sadyTimer(*form->pozadavek_na_prepnuti_sady);
    form->podklad->SetPicture(res::Picture("pozadi"));
  }
  ~Program() {
    form.reset();
    pozadi_Destroy();
  }
};

void BM_HitTestOfTheForm(benchmark::State& state) {
  Program p;
  const auto pts = ScenePoints();
  size_t i = 0;
  for (auto _ : state) {
    const plat::Point& q = pts[i++ & 4095];
    benchmark::DoNotOptimize(p.form->HitTest(q.x, q.y));
  }
}
BENCHMARK(BM_HitTestOfTheForm);

// What a scene switch does to the list: build, 200 exchanges, the two neighbour passes.
void BM_BuildShuffleSeparate(benchmark::State& state) {
  game::Randomize(1);
  game::QuestionList q;
  int set = 0;
  for (auto _ : state) {
    set = set % 4 + 1;
    int n = game::BuildList(q, set);
    game::Shuffle(q, n, game::Random);
    game::SeparateNeighbours(q, n);
    benchmark::DoNotOptimize(q[1].animal);
  }
}
BENCHMARK(BM_BuildShuffleSeparate)->Unit(benchmark::kMicrosecond);

void BM_SeparateNeighboursOnly(benchmark::State& state) {
  game::Randomize(1);
  game::QuestionList base;
  int n = game::BuildList(base, 2);
  game::Shuffle(base, n, game::Random);
  for (auto _ : state) {
    game::QuestionList q = base;
    game::SeparateNeighbours(q, n);
    benchmark::DoNotOptimize(q[1].animal);
  }
}
BENCHMARK(BM_SeparateNeighboursOnly)->Unit(benchmark::kMicrosecond);

void BM_ComposeProgramScreen(benchmark::State& state) {
  Program p;
  for (auto _ : state) benchmark::DoNotOptimize(p.app->ComposeAll().row(0));
}
BENCHMARK(BM_ComposeProgramScreen)->Unit(benchmark::kMillisecond);

// A scene button's redraw (hover frame, blinking): 60 × 60 pixels.
void BM_ComposeProgramButtonDamage(benchmark::State& state) {
  Program p;
  p.app->ComposeAll();
  for (auto _ : state) {
    p.form->Invalidate({20, 416, 60, 60});
    p.app->PresentNow();
  }
}
BENCHMARK(BM_ComposeProgramButtonDamage)->Unit(benchmark::kMicrosecond);

// The counter after an answer: the label's area only.
void BM_ComposeProgramCounterDamage(benchmark::State& state) {
  Program p;
  p.app->ComposeAll();
  int n = 0;
  for (auto _ : state) {
    p.form->lbl_dobre->SetCaption(std::to_string(++n % 100));
    p.app->PresentNow();
  }
}
BENCHMARK(BM_ComposeProgramCounterDamage)->Unit(benchmark::kMicrosecond);

}  // namespace
