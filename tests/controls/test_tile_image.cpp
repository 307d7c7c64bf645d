// Tiled image: the tile grid anchored at the corner, cut-off edges, single drawing, repaint rules.
#include <gtest/gtest.h>

#include "controls/tile_image.h"
#include "platform/headless/headless.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"

namespace ozzel {
namespace {

using plat::Rgb;

// Every pixel of the texture differs, so a tile drawn at the wrong offset shows.
plat::Bitmap Texture(int w, int h) {
  plat::Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, Rgb{14, uint8_t(x * 7), uint8_t(y * 7)});
  return b;
}

struct TileTest : ::testing::Test {
  plat::HeadlessBackend backend{{1024, 768}};
  plat::Application app{backend};
  plat::Form form{app, "FORMPozadi"};
  TTileImage* tile = nullptr;

  TileTest() {
    form.SetBounds(0, 0, 1024, 768);
    form.Color = plat::kWindowBlue;
    form.Show();
    tile = &form.Add<TTileImage>("TileImage1");
  }
  const plat::Surface& Screen() { return app.ComposeAll(); }
};

TEST_F(TileTest, DefaultsToAnUntiledEmptyPictureOf105) {
  EXPECT_EQ(tile->Width(), 105);
  EXPECT_EQ(tile->Height(), 105);
  EXPECT_FALSE(tile->TileImage());
  EXPECT_TRUE(tile->Picture().empty());
}

TEST_F(TileTest, TilesAThirtyFiveTextureOverTheScreen) {
  tile->SetBounds(0, 0, 1024, 768);
  tile->SetPicture(Texture(35, 35));
  tile->SetTileImage(true);
  const plat::Surface& s = Screen();
  int bad = 0;
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x)
      if (s.At(x, y) != *tile->Picture().PixelAt(x % 35, y % 35) && bad++ < 3)
        ADD_FAILURE() << "pixel " << x << "," << y;
  // 30 columns and 22 rows: the last ones start at 1015 and 735 and are cut off.
  EXPECT_EQ(s.At(1015, 735), *tile->Picture().PixelAt(0, 0));
  EXPECT_EQ(s.At(1023, 767), *tile->Picture().PixelAt(8, 32));
}

TEST_F(TileTest, ExactMultipleEndsWithAWholeTile) {
  tile->SetBounds(10, 20, 70, 105);
  tile->SetPicture(Texture(35, 35));
  tile->SetTileImage(true);
  const plat::Surface& s = Screen();
  EXPECT_EQ(s.At(10 + 69, 20 + 104), *tile->Picture().PixelAt(34, 34));
  EXPECT_EQ(s.At(10 + 70, 20 + 104), plat::kWindowBlue) << "nothing beyond the control";
  EXPECT_EQ(s.At(10 + 35, 20 + 70), *tile->Picture().PixelAt(0, 0));
}

TEST_F(TileTest, WithoutTilingThePictureIsDrawnOnceAtTheCorner) {
  tile->SetBounds(0, 0, 100, 100);
  tile->SetPicture(Texture(35, 35));
  const plat::Surface& s = Screen();
  EXPECT_EQ(s.At(34, 34), *tile->Picture().PixelAt(34, 34));
  EXPECT_EQ(s.At(35, 0), plat::kWindowBlue);
  EXPECT_EQ(s.At(0, 35), plat::kWindowBlue);
}

TEST_F(TileTest, SmallerControlShowsOnlyThePicturesCorner) {
  tile->SetBounds(0, 0, 20, 10);
  tile->SetPicture(Texture(35, 35));
  for (bool tiled : {false, true}) {
    tile->SetTileImage(tiled);
    const plat::Surface& s = Screen();
    EXPECT_EQ(s.At(19, 9), *tile->Picture().PixelAt(19, 9));
    EXPECT_EQ(s.At(20, 9), plat::kWindowBlue);
    EXPECT_EQ(s.At(19, 10), plat::kWindowBlue);
  }
}

TEST_F(TileTest, EmptyPictureLeavesTheParentsColour) {
  tile->SetBounds(0, 0, 200, 200);
  tile->SetTileImage(true);
  EXPECT_EQ(Screen().At(50, 50), plat::kWindowBlue);
  tile->SetPicture(plat::Bitmap(0, 35));
  EXPECT_EQ(Screen().At(50, 50), plat::kWindowBlue);
}

TEST_F(TileTest, ChangesRepaintButTheSameTilingValueDoesNot) {
  app.ProcessMessages();
  int before = tile->RepaintRequests();
  tile->SetTileImage(false);
  EXPECT_EQ(tile->RepaintRequests(), before);
  tile->SetTileImage(true);
  EXPECT_EQ(tile->RepaintRequests(), before + 1);
  tile->SetPicture(Texture(5, 5));
  EXPECT_EQ(tile->RepaintRequests(), before + 2);
  // Painting itself asks for nothing more.
  Screen();
  EXPECT_EQ(tile->RepaintRequests(), before + 2);
  EXPECT_FALSE(tile->Drawing());
  // And the screen follows at the next presentation.
  int presents = backend.presents();
  tile->SetTileImage(false);
  app.PresentNow();
  EXPECT_GT(backend.presents(), presents);
  presents = backend.presents();
  tile->SetTileImage(false);
  app.PresentNow();
  EXPECT_EQ(backend.presents(), presents);
}

}  // namespace
}  // namespace ozzel
