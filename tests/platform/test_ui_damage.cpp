// Damaged areas of the screen are composed and presented apart unless they overlap.
#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"

namespace plat {
namespace {

struct RecordingBackend : HeadlessBackend {
  using HeadlessBackend::HeadlessBackend;
  void Present(const Surface& fb, const Rect& damage) override {
    HeadlessBackend::Present(fb, damage);
    presented.push_back(damage);
  }
  std::vector<Rect> presented;
};

TEST(Damage, DistantAreasArePresentedApartOverlappingOnesAsOne) {
  RecordingBackend backend{{800, 600}};
  Application app{backend};
  // Four buttons in a row, as the blinking scene buttons: each costs only its own pixels.
  for (int i = 0; i < 4; ++i) app.InvalidateScreen({42 + 130 * i, 416, 60, 60});
  app.PresentNow();
  ASSERT_EQ(backend.presented.size(), 4u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(backend.presented[i], (Rect{42 + 130 * i, 416, 60, 60}));

  // A third area that overlaps two others joins them into one; off-screen parts are dropped.
  backend.presented.clear();
  app.InvalidateScreen({0, 0, 50, 50});
  app.InvalidateScreen({100, 0, 50, 50});
  app.InvalidateScreen({40, 10, 70, 10});
  app.InvalidateScreen({780, 590, 100, 100});
  app.PresentNow();
  ASSERT_EQ(backend.presented.size(), 2u);
  EXPECT_EQ(backend.presented[0], (Rect{0, 0, 150, 50}));
  EXPECT_EQ(backend.presented[1], (Rect{780, 590, 20, 10}));

  // Many scattered areas: a few covering ones instead, and every area is among them.
  backend.presented.clear();
  for (int i = 0; i < 20; ++i) app.InvalidateScreen({i * 40, i * 20, 10, 10});
  app.PresentNow();
  EXPECT_LE(backend.presented.size(), 8u);
  for (int i = 0; i < 20; ++i) {
    const Rect r{i * 40, i * 20, 10, 10};
    int covered = 0;
    for (const Rect& p : backend.presented) covered += p.intersect(r) == r;
    EXPECT_EQ(covered, 1) << i;
  }
  backend.presented.clear();
  app.PresentNow();
  EXPECT_TRUE(backend.presented.empty()) << "nothing left to present";
}

}  // namespace
}  // namespace plat
