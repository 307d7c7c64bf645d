// AVI reader: exact decoding of uncompressed and RLE8 frames, and refusal of anything it cannot play.
#include <gtest/gtest.h>

#include <random>

#include "platform/animate/avi.h"
#include "tests/platform/avi_test_writer.h"
#include "tests/platform/crafted_files.h"

namespace {

using avitest::Bytes;
using plat::ParseAvi;

std::optional<plat::AviClip> Parse(const Bytes& b, std::string* err = nullptr) {
  return ParseAvi(b.data(), b.size(), err);
}

uint32_t Px(const plat::Bitmap& b, int x, int y) { return b.PixelAt(x, y)->packed(); }

std::vector<uint32_t> Pixels(const plat::Bitmap& b) {
  std::vector<uint32_t> v;
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) v.push_back(Px(b, x, y));
  return v;
}

uint32_t Le32(const Bytes& b, size_t off) {
  return uint32_t(b[off]) | uint32_t(b[off + 1]) << 8 | uint32_t(b[off + 2]) << 16 | uint32_t(b[off + 3]) << 24;
}

const std::vector<uint32_t> kPal = {0x000000, 0x111111, 0x222222, 0x333333, 0x444444,
                                    0x555555, 0x666666, 0x777777, 0x888888, 0x999999};

TEST(AviUncompressed, EightBitFramesComeTopRowFirstWithExactPaletteColours) {
  avitest::Spec s;
  s.width = 3;  // rows padded to 4 bytes
  s.height = 2;
  s.palette = kPal;
  s.usec_per_frame = 66667;
  s.frames.push_back(avitest::Rgb8Frame({1, 2, 3, 4, 5, 6}, 3, 2));
  s.frames.push_back(avitest::Rgb8Frame({9, 8, 7, 0, 0, 1}, 3, 2));
  Bytes file = avitest::Build(s);
  // The main header sits where the program's fixed offsets expect it.
  ASSERT_EQ(Le32(file, 48), 2u);
  ASSERT_EQ(Le32(file, 64), 3u);
  ASSERT_EQ(Le32(file, 68), 2u);

  std::string err;
  auto clip = Parse(file, &err);
  ASSERT_TRUE(clip) << err;
  EXPECT_EQ(clip->usec_per_frame, 66667u);
  EXPECT_EQ(clip->total_frames, 2u);
  EXPECT_EQ(clip->width, 3u);
  EXPECT_EQ(clip->height, 2u);
  ASSERT_EQ(clip->frames.size(), 2u);
  EXPECT_EQ(Pixels(clip->frames[0]),
            (std::vector<uint32_t>{0x111111, 0x222222, 0x333333, 0x444444, 0x555555, 0x666666}));
  EXPECT_EQ(Pixels(clip->frames[1]),
            (std::vector<uint32_t>{0x999999, 0x888888, 0x777777, 0x000000, 0x000000, 0x111111}));
}

TEST(AviUncompressed, NegativeHeightMeansRowsStoredTopDown) {
  avitest::Spec s;
  s.width = 2;
  s.height = -2;
  s.palette = kPal;
  s.frames.push_back(avitest::Rgb8Frame({1, 2, 3, 4}, 2, 2, /*bottom_up=*/false));
  auto clip = Parse(avitest::Build(s));
  ASSERT_TRUE(clip);
  EXPECT_EQ(Pixels(clip->frames[0]), (std::vector<uint32_t>{0x111111, 0x222222, 0x333333, 0x444444}));
}

TEST(AviUncompressed, TwentyFourBitFramesAreBgrWithPaddedRows) {
  avitest::Spec s;
  s.width = 3;  // 9 bytes a row, padded to 12
  s.height = 2;
  s.bits = 24;
  std::vector<uint32_t> px = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xABCDEF, 0x40A0E0};
  s.frames.push_back(avitest::Rgb24Frame(px, 3, 2));
  auto clip = Parse(avitest::Build(s));
  ASSERT_TRUE(clip);
  EXPECT_EQ(Pixels(clip->frames[0]), px);
}

TEST(AviUncompressed, EmptyChunkRepeatsThePreviousFrame) {
  avitest::Spec s;
  s.width = 2;
  s.height = 1;
  s.palette = kPal;
  s.frames.push_back(avitest::Rgb8Frame({3, 4}, 2, 1));
  s.frames.push_back({});
  auto clip = Parse(avitest::Build(s));
  ASSERT_TRUE(clip);
  ASSERT_EQ(clip->frames.size(), 2u);
  EXPECT_EQ(Pixels(clip->frames[1]), (std::vector<uint32_t>{0x333333, 0x444444}));
}

// 4 × 3, rows coded bottom row first.
avitest::Spec RleSpec() {
  avitest::Spec s;
  s.width = 4;
  s.height = 3;
  s.compression = 1;
  s.palette = kPal;
  // Full frame: a run, an odd absolute run with its pad byte, end of line, end of bitmap.
  s.frames.push_back({4, 1, 0, 0,                //
                      0, 3, 2, 3, 4, 0, 1, 5, 0, 0,  //
                      2, 6, 2, 7, 0, 1});
  // Delta to (1, 1) and two new pixels: the rest keeps the previous frame.
  s.frames.push_back({0, 2, 1, 1, 2, 8, 0, 1});
  // End of line skips the bottom row untouched.
  s.frames.push_back({0, 0, 1, 9, 0, 1});
  return s;
}

TEST(AviRle8, DecodesRunsAbsoluteRunsAndLineEnds) {
  auto clip = Parse(avitest::Build(RleSpec()));
  ASSERT_TRUE(clip);
  ASSERT_EQ(clip->frames.size(), 3u);
  EXPECT_EQ(Pixels(clip->frames[0]),
            (std::vector<uint32_t>{0x666666, 0x666666, 0x777777, 0x777777,  //
                                   0x222222, 0x333333, 0x444444, 0x555555,  //
                                   0x111111, 0x111111, 0x111111, 0x111111}));
}

TEST(AviRle8, SkippedPixelsKeepThePreviousFrame) {
  auto clip = Parse(avitest::Build(RleSpec()));
  ASSERT_TRUE(clip);
  EXPECT_EQ(Pixels(clip->frames[1]),
            (std::vector<uint32_t>{0x666666, 0x666666, 0x777777, 0x777777,  //
                                   0x222222, 0x888888, 0x888888, 0x555555,  //
                                   0x111111, 0x111111, 0x111111, 0x111111}));
  EXPECT_EQ(Pixels(clip->frames[2]),
            (std::vector<uint32_t>{0x666666, 0x666666, 0x777777, 0x777777,  //
                                   0x999999, 0x888888, 0x888888, 0x555555,  //
                                   0x111111, 0x111111, 0x111111, 0x111111}));
}

TEST(AviRle8, RunsPastTheEdgesAreClippedNotWritten) {
  avitest::Spec s = RleSpec();
  s.frames = {{200, 2,           // far longer than the row
               0, 0,             //
               0, 5, 3, 4},      // absolute run cut short by the end of the data
              {0, 2, 255, 255,   // delta far outside the frame
               4, 9}};
  auto clip = Parse(avitest::Build(s));
  ASSERT_TRUE(clip);
  EXPECT_EQ(Pixels(clip->frames[0]),
            (std::vector<uint32_t>{0, 0, 0, 0,                      //
                                   0x333333, 0x444444, 0, 0,        //
                                   0x222222, 0x222222, 0x222222, 0x222222}));
  EXPECT_EQ(Pixels(clip->frames[1]), Pixels(clip->frames[0]));
}

// Over 2^31 pixels of runs in one row of four once carried the column past INT_MAX and wrote 2 GiB
// before the frame (under UBSan: signed overflow).
TEST(AviRle8, MillionsOfRunsInOneRowStayInside) {
  auto clip = Parse(crafted::EndlessRowClip());
  ASSERT_TRUE(clip);
  ASSERT_EQ(clip->frames.size(), 1u);
  EXPECT_EQ(Pixels(clip->frames[0]), (std::vector<uint32_t>(4, 0xFF8000)));
}

TEST(AviRejects, EveryTruncationOfAValidFile) {
  Bytes file = avitest::Build(RleSpec());
  ASSERT_TRUE(Parse(file));
  for (size_t n = 0; n < file.size(); ++n) {
    Bytes cut(file.begin(), file.begin() + long(n));
    std::string err;
    EXPECT_FALSE(Parse(cut, &err)) << "prefix of " << n << " bytes";
    EXPECT_FALSE(err.empty());
  }
}

TEST(AviRejects, AFrameShorterThanItsRows) {
  avitest::Spec s;
  s.width = 4;
  s.height = 2;
  s.palette = kPal;
  s.frames.push_back(Bytes(7, 1));  // needs 8
  std::string err;
  EXPECT_FALSE(Parse(avitest::Build(s), &err));
  EXPECT_NE(err.find("truncated"), std::string::npos) << err;
}

TEST(AviRejects, ClipsWithSound) {
  avitest::Spec s;
  s.width = 2;
  s.height = 1;
  s.palette = kPal;
  s.audio = true;
  s.frames.push_back(avitest::Rgb8Frame({1, 2}, 2, 1));
  std::string err;
  EXPECT_FALSE(Parse(avitest::Build(s), &err));
  EXPECT_NE(err.find("sound"), std::string::npos) << err;
}

TEST(AviRejects, AbsurdSizesBeforeAllocating) {
  avitest::Spec s;
  s.compression = 1;
  s.palette = kPal;
  s.frames = {{0, 1}};
  s.width = 5000;
  s.height = 10;
  EXPECT_FALSE(Parse(avitest::Build(s)));
  s.width = 10;
  s.height = -5000;
  EXPECT_FALSE(Parse(avitest::Build(s)));
  s.height = 10;
  s.total_frames = 200000;
  EXPECT_FALSE(Parse(avitest::Build(s)));
  // Five empty 4096 × 4096 frames would decode to 320 MiB.
  s.total_frames = UINT32_MAX;
  s.width = 4096;
  s.height = 4096;
  s.frames = {{}, {}, {}, {}, {}};
  std::string err;
  EXPECT_FALSE(Parse(avitest::Build(s), &err));
  EXPECT_NE(err.find("large"), std::string::npos) << err;
}

TEST(AviRejects, OtherFormatsAndGarbage) {
  std::string err;
  Bytes wav = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};
  EXPECT_FALSE(Parse(wav, &err));
  EXPECT_FALSE(ParseAvi(nullptr, 0, &err));
  avitest::Spec s;
  s.palette = kPal;
  s.frames.push_back(Bytes(8, 1));
  s.compression = 0x47504A4D;  // 'MJPG'
  EXPECT_FALSE(Parse(avitest::Build(s), &err));
  s.compression = 0;
  s.bits = 16;
  EXPECT_FALSE(Parse(avitest::Build(s), &err));
  s.bits = 8;
  s.frames.clear();
  EXPECT_FALSE(Parse(avitest::Build(s), &err));
  EXPECT_EQ(err, "no frames");
}

TEST(AviRobustness, RandomDamageNeverCrashes) {
  Bytes good = avitest::Build(RleSpec());
  std::mt19937 rng(1234);
  for (int i = 0; i < 3000; ++i) {
    Bytes b = good;
    int flips = 1 + int(rng() % 6);
    for (int k = 0; k < flips; ++k) b[rng() % b.size()] = uint8_t(rng());
    std::string err;
    if (!Parse(b, &err)) {
      EXPECT_FALSE(err.empty());
    }
  }
}

}  // namespace
