// BMP and PNG reading (exact palette entries, row orders, bounds) and BMP writing, with hand-made files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/os.h"
#include "platform/gdi/bitmap.h"

using plat::Bitmap;
using plat::GdiError;
using plat::Rgb;

namespace {

struct BmpSpec {
  int w = 0, h = 0, bpp = 8;
  bool top_down = false;
  uint32_t compression = 0;
  std::vector<Rgb> palette;  // for bpp <= 8, or a display palette for true colour
  std::vector<uint8_t> pixel_data;  // already laid out as in the file (rows, padding)
  std::vector<uint32_t> masks = {};  // bit fields after the header
};

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

std::vector<uint8_t> MakeBmp(const BmpSpec& s) {
  std::vector<uint8_t> v;
  uint32_t off = 14 + 40 + uint32_t(s.masks.size()) * 4 + uint32_t(s.palette.size()) * 4;
  v.push_back('B');
  v.push_back('M');
  Put32(v, off + uint32_t(s.pixel_data.size()));
  Put32(v, 0);
  Put32(v, off);
  Put32(v, 40);
  Put32(v, uint32_t(s.w));
  Put32(v, uint32_t(s.top_down ? -s.h : s.h));
  Put16(v, 1);
  Put16(v, uint16_t(s.bpp));
  Put32(v, s.compression);
  Put32(v, uint32_t(s.pixel_data.size()));
  Put32(v, 2835);
  Put32(v, 2835);
  Put32(v, uint32_t(s.palette.size()));
  Put32(v, 0);
  for (uint32_t m : s.masks) Put32(v, m);
  for (Rgb c : s.palette) {
    v.push_back(c.b);
    v.push_back(c.g);
    v.push_back(c.r);
    v.push_back(0);
  }
  v.insert(v.end(), s.pixel_data.begin(), s.pixel_data.end());
  return v;
}

Bitmap Load(const std::vector<uint8_t>& v) { return Bitmap::LoadBmpMemory(v.data(), v.size()); }

// 3 × 2, 8-bit, five palette entries of which index 4 is never used. Rows are given top first.
const std::vector<Rgb> kPal = {{0, 0, 0}, {64, 160, 224}, {255, 0, 0}, {1, 2, 3}, {9, 9, 9}};
const uint8_t kIdx[2][3] = {{1, 2, 3}, {3, 0, 1}};

BmpSpec Palettised(bool top_down) {
  BmpSpec s{3, 2, 8, top_down, 0, kPal, {}};
  for (int i = 0; i < 2; ++i) {
    int y = top_down ? i : 1 - i;
    s.pixel_data.insert(s.pixel_data.end(), {kIdx[y][0], kIdx[y][1], kIdx[y][2], 0});
  }
  return s;
}

class TempDir {
 public:
  TempDir() {
    path_ = plat::os::MakeTempDir("ozzel-gdi-").value_or("");
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::string operator/(const std::string& n) const { return path_ + "/" + n; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

TEST(BmpRead, PalettisedReadsExactPaletteEntriesInBothRowOrders) {
  for (bool top_down : {false, true}) {
    SCOPED_TRACE(top_down ? "top-down" : "bottom-up");
    Bitmap b = Load(MakeBmp(Palettised(top_down)));
    ASSERT_EQ(b.width(), 3);
    ASSERT_EQ(b.height(), 2);
    EXPECT_EQ(b.source_bits(), 8);
    EXPECT_EQ(b.palette_size(), 5);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(b.PixelAt(x, y), kPal[kIdx[y][x]]) << x << "," << y;
  }
}

TEST(BmpRead, OutsideThePictureThereIsNoColour) {
  Bitmap b = Load(MakeBmp(Palettised(false)));
  EXPECT_FALSE(b.PixelAt(-1, 0));
  EXPECT_FALSE(b.PixelAt(0, -1));
  EXPECT_FALSE(b.PixelAt(3, 0));
  EXPECT_FALSE(b.PixelAt(0, 2));
  EXPECT_FALSE(Bitmap().PixelAt(0, 0));
  EXPECT_TRUE(b.PixelAt(2, 1));
}

TEST(BmpRead, TrueColourWithRowPadding) {
  // 3 × 2, 24-bit: 9 bytes per row padded to 12; bottom row first.
  BmpSpec s{3, 2, 24, false, 0, {}, {}};
  const Rgb px[2][3] = {{{1, 2, 3}, {250, 251, 252}, {64, 160, 224}}, {{0, 0, 0}, {255, 255, 255}, {7, 8, 9}}};
  for (int y : {1, 0}) {
    for (int x = 0; x < 3; ++x) s.pixel_data.insert(s.pixel_data.end(), {px[y][x].b, px[y][x].g, px[y][x].r});
    s.pixel_data.insert(s.pixel_data.end(), {0, 0, 0});
  }
  Bitmap b = Load(MakeBmp(s));
  EXPECT_EQ(b.source_bits(), 24);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(b.PixelAt(x, y), px[y][x]);

  // The same picture as 32-bit, top-down.
  BmpSpec s32{3, 2, 32, true, 0, {}, {}};
  for (int y : {0, 1})
    for (int x = 0; x < 3; ++x) s32.pixel_data.insert(s32.pixel_data.end(), {px[y][x].b, px[y][x].g, px[y][x].r, 0});
  Bitmap b32 = Load(MakeBmp(s32));
  EXPECT_EQ(b32.source_bits(), 32);
  EXPECT_EQ(b32.pixels(), b.pixels());
}

TEST(BmpRead, OneBitAndRle8) {
  BmpSpec mono{10, 1, 1, false, 0, {{0, 0, 128}, {255, 255, 0}}, {0b10100000, 0b01000000, 0, 0}};
  Bitmap m = Load(MakeBmp(mono));
  EXPECT_EQ(m.PixelAt(0, 0), (Rgb{255, 255, 0}));
  EXPECT_EQ(m.PixelAt(1, 0), (Rgb{0, 0, 128}));
  EXPECT_EQ(m.PixelAt(9, 0), (Rgb{255, 255, 0}));

  // 4 × 2 RLE8: bottom row four of index 1; top row 2, 2, 3, 3.
  BmpSpec rle{4, 2, 8, false, 1, {{0, 0, 0}, {10, 20, 30}, {40, 50, 60}, {70, 80, 90}},
              {4, 1, 0, 0, 2, 2, 2, 3, 0, 1}};
  Bitmap r = Load(MakeBmp(rle));
  EXPECT_EQ(r.PixelAt(0, 1), (Rgb{10, 20, 30}));
  EXPECT_EQ(r.PixelAt(3, 1), (Rgb{10, 20, 30}));
  EXPECT_EQ(r.PixelAt(1, 0), (Rgb{40, 50, 60}));
  EXPECT_EQ(r.PixelAt(2, 0), (Rgb{70, 80, 90}));
}

TEST(BmpRead, Rle4RunsOddAbsoluteRunsAndDeltas) {
  const std::vector<Rgb> pal = {{0, 0, 0}, {10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
  // 5 x 3, bottom row first: a run alternating 1 and 2; an absolute run of three (1, 2, 3, padded
  // to a word) and a run of 3; a delta over two pixels, then a run of two 2s. The delta leaves its
  // pixels at index 0.
  BmpSpec rle{5, 3, 4, false, 2, pal,
              {5, 0x12, 0, 0,
               0, 3, 0x12, 0x30, 2, 0x33, 0, 0,
               0, 2, 2, 0, 2, 0x22, 0, 1}};
  Bitmap r = Load(MakeBmp(rle));
  EXPECT_EQ(r.source_bits(), 4);
  const int want[3][5] = {{0, 0, 2, 2, 0}, {1, 2, 3, 3, 3}, {1, 2, 1, 2, 1}};  // top row first
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(r.PixelAt(x, y), pal[size_t(want[y][x])]) << x << "," << y;
  // A stream cut short anywhere, even inside an escape, is refused, never read beyond.
  for (size_t n = 0; n < rle.pixel_data.size(); ++n) {
    BmpSpec cut = rle;
    cut.pixel_data.resize(n);
    EXPECT_THROW(Load(MakeBmp(cut)), GdiError) << n;
  }
  // Runs and deltas past the row's end are clipped there: nothing wraps into the next row.
  BmpSpec wide{2, 2, 8, false, 1, pal, {255, 3, 0, 2, 200, 0, 0, 0, 0, 1}};
  Bitmap w = Load(MakeBmp(wide));
  EXPECT_EQ(w.PixelAt(1, 1), pal[3]);
  EXPECT_EQ(w.PixelAt(0, 0), pal[0]);
  EXPECT_EQ(w.PixelAt(1, 0), pal[0]);
}

TEST(BmpRead, SixteenAndThirtyTwoBitFields) {
  auto row16 = [](std::initializer_list<uint16_t> px, std::vector<uint8_t>& out) {
    for (uint16_t p : px) out.insert(out.end(), {uint8_t(p), uint8_t(p >> 8)});
    out.resize((out.size() + 3) / 4 * 4, 0);
  };
  // 5-5-5 with no masks, carrying a display palette its pixels never index; the top bit is unused.
  BmpSpec rgb555{3, 2, 16, false, 0, {{9, 9, 9}, {8, 8, 8}}, {}};
  row16({0x7C00, 0x03E0, 0x001F}, rgb555.pixel_data);  // bottom row
  row16({0x7FFF, 0x8000, 0x4210}, rgb555.pixel_data);
  Bitmap a = Load(MakeBmp(rgb555));
  EXPECT_EQ(a.source_bits(), 16);
  const Rgb want555[2][3] = {{{255, 255, 255}, {0, 0, 0}, {132, 132, 132}}, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(a.PixelAt(x, y), want555[y][x]) << x << "," << y;

  // 5-6-5 as bit fields after a plain info header, then a palette, top-down.
  BmpSpec rgb565{3, 1, 16, true, 3, {{1, 1, 1}}, {}, {0xF800, 0x07E0, 0x001F}};
  row16({0xF800, 0x0400, 0xFFFF}, rgb565.pixel_data);
  Bitmap b = Load(MakeBmp(rgb565));
  EXPECT_EQ(b.PixelAt(0, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(b.PixelAt(1, 0), (Rgb{0, 130, 0}));
  EXPECT_EQ(b.PixelAt(2, 0), (Rgb{255, 255, 255}));

  // 32-bit fields ten bits wide; a channel with no mask reads 0.
  BmpSpec ten{2, 1, 32, false, 3, {}, {}, {0x3FF00000, 0x000FFC00, 0}};
  for (uint32_t p : {0x3FF00000u | (512u << 10), 0xC00003FFu}) Put32(ten.pixel_data, p);
  Bitmap c = Load(MakeBmp(ten));
  EXPECT_EQ(c.PixelAt(0, 0), (Rgb{255, 128, 0}));
  EXPECT_EQ(c.PixelAt(1, 0), (Rgb{0, 0, 0}));

  // Bit fields on a 24-bit picture, or masks the file has no room for, are refused.
  BmpSpec bad = rgb565;
  bad.bpp = 24;
  EXPECT_THROW(Load(MakeBmp(bad)), GdiError);
  std::vector<uint8_t> no_room = MakeBmp(rgb565);
  no_room[10] = 54;  // pixels said to start right after the header, over the masks
  EXPECT_THROW(Load(no_room), GdiError);
}

// Files as ImageMagick writes them, each read the same as ImageMagick reads it back.
TEST(BmpRead, FilesImageMagickWrites) {
#ifdef _WIN32
  GTEST_SKIP() << "makes its files with the build machine's ImageMagick";
#endif
  TempDir dir;
  auto run = [](const std::string& cmd) { ASSERT_EQ(std::system((cmd + " 2>&1").c_str()), 0) << cmd; };
  // 33 wide, so 16-bit rows need padding; every pixel a different colour, half of them half transparent.
  const std::string src = dir / "src.png";
  run("convert -size 33x5 xc: -alpha set -channel R -fx 'i/32' -channel G -fx 'j/4' -channel B -fx '(i*j%7)/6' "
      "-channel A -fx 'i%2?0.5:1' +channel -type TrueColorAlpha " + src);
  const std::string opaque = dir / "opaque.png";
  run("convert " + src + " -alpha off -type TrueColor " + opaque);
  struct Case {
    const char* name;
    std::string args;
    int bits;
    bool four_bit = false;  // ImageMagick widens 4-bit fields by shifting (15 reads 240); we repeat the bits (255)
  };
  const Case cases[] = {
      {"RGB565", opaque + " -define bmp:subtype=RGB565 BMP:", 16},
      {"RGB555", opaque + " -define bmp:subtype=RGB555 BMP:", 16},
      {"ARGB4444", src + " -define bmp:subtype=ARGB4444 BMP:", 16, true},
      {"ARGB1555", src + " -define bmp:subtype=ARGB1555 BMP:", 16},
      {"ARGB8888", src + " BMP:", 32},
      {"BMP3 24-bit", opaque + " BMP3:", 24},
      {"BMP3 8-bit", opaque + " -colors 200 -type Palette BMP3:", 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bmp = dir / "t.bmp", raw = dir / "t.rgb";
    run("convert " + c.args + bmp);
    run("convert " + bmp + " -depth 8 rgb:" + raw);
    Bitmap b = Bitmap::LoadBmpFile(bmp);
    ASSERT_EQ(b.width(), 33);
    ASSERT_EQ(b.height(), 5);
    EXPECT_EQ(b.source_bits(), c.bits);
    std::ifstream in(raw, std::ios::binary);
    std::vector<uint8_t> want((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(want.size(), 33u * 5 * 3);
    if (c.four_bit)
      for (uint8_t& v : want) v = uint8_t((v >> 4) * 17);
    int wrong = 0;
    for (int i = 0; i < 33 * 5; ++i) {
      if (b.PixelAt(i % 33, i / 33) != (Rgb{want[3 * i], want[3 * i + 1], want[3 * i + 2]}) && !wrong++)
        ADD_FAILURE() << "first difference at " << i % 33 << "," << i / 33;
    }
    EXPECT_EQ(wrong, 0);
  }
  // ImageMagick 6 writes 16-bit bit fields in its BMP3 form without the masks (its own reader then
  // sees green for red): there is nothing to read the colours by, so the file is refused.
  run("convert " + opaque + " -define bmp:subtype=RGB565 BMP3:" + (dir / "m.bmp"));
  std::ifstream m(dir / "m.bmp", std::ios::binary);
  std::vector<uint8_t> v((std::istreambuf_iterator<char>(m)), {});
  if (v.size() > 54 && v[10] == 54 && v[30] == 3) {
    EXPECT_THROW(Load(v), GdiError);
  }
}

// PNGs in every colour type ImageMagick writes (its zlib: dynamic and fixed codes, every row filter), each
// read the same as ImageMagick reads it back; every cut of one is refused; a picture file is either.
TEST(PngRead, FilesImageMagickWritesAndBrokenOnes) {
#ifdef _WIN32
  GTEST_SKIP() << "makes its files with the build machine's ImageMagick";
#endif
  TempDir dir;
  auto run = [](const std::string& cmd) { ASSERT_EQ(std::system((cmd + " 2>&1").c_str()), 0) << cmd; };
  const std::string src = dir / "src.miff";
  run("convert -size 67x9 xc: -alpha set -channel R -fx 'i/66' -channel G -fx 'j/8' -channel B -fx '(i*j%7)/6' "
      "-channel A -fx 'i%2?0.5:1' +channel " + src);
  const std::pair<const char*, std::string> cases[] = {
      {"RGB 8", "-alpha off PNG24:"},      {"RGBA 8", "PNG32:"},
      {"RGB 16", "-alpha off PNG48:"},     {"palette", "-alpha off -colors 50 PNG8:"},
      {"grey 8", "-alpha off -colorspace Gray -depth 8 -type Grayscale PNG:"}, {"grey 16", "-alpha off -colorspace Gray -type Grayscale PNG:"},
      {"grey 1", "-alpha off -monochrome PNG:"},
      {"grey 4", "-alpha off -colorspace Gray -depth 4 -type Grayscale PNG:"},
      {"adaptive row filters", "-alpha off -quality 95 PNG24:"},
  };
  for (const auto& [name, args] : cases) {
    SCOPED_TRACE(name);
    const std::string png = dir / "t.bmp", raw = dir / "t.rgb";
    run("convert " + src + " " + args + png);
    run("convert " + png + " -depth 8 rgb:" + raw);
    Bitmap b = Bitmap::LoadPictureFile(png);
    ASSERT_EQ(b.width(), 67);
    ASSERT_EQ(b.height(), 9);
    std::ifstream in(raw, std::ios::binary);
    std::vector<uint8_t> want((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(want.size(), 67u * 9 * 3);
    int wrong = 0;
    for (int i = 0; i < 67 * 9; ++i)
      if (b.PixelAt(i % 67, i / 67) != (Rgb{want[3 * i], want[3 * i + 1], want[3 * i + 2]}) && !wrong++)
        ADD_FAILURE() << "first difference at " << i % 67 << "," << i / 67;
    EXPECT_EQ(wrong, 0);
  }
  run("convert " + src + " -alpha off PNG24:" + (dir / "c.png"));
  std::ifstream c(dir / "c.png", std::ios::binary);
  const std::vector<uint8_t> good((std::istreambuf_iterator<char>(c)), {});
  for (size_t n = 0; n < good.size(); ++n) EXPECT_THROW(Bitmap::LoadPngMemory(good.data(), n), GdiError) << n;
  std::vector<uint8_t> flipped = good;
  flipped[good.size() / 2] ^= 0x10;
  EXPECT_THROW(Bitmap::LoadPngMemory(flipped.data(), flipped.size()), GdiError);
  EXPECT_THROW(Bitmap::LoadPictureFile(dir / "missing.bmp"), GdiError);
}

TEST(BmpRead, BrokenFilesThrowWithoutReadingOutOfBounds) {
  const std::vector<uint8_t> good = MakeBmp(Palettised(false));
  // Every truncation of a valid file is refused.
  for (size_t n = 0; n < good.size(); ++n) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + long(n));
    EXPECT_THROW(Load(cut), GdiError) << "length " << n;
  }
  EXPECT_THROW(Bitmap::LoadBmpMemory(nullptr, 0), GdiError);

  auto patched = [&](size_t at, std::vector<uint8_t> bytes) {
    std::vector<uint8_t> v = good;
    std::copy(bytes.begin(), bytes.end(), v.begin() + long(at));
    return v;
  };
  EXPECT_THROW(Load(patched(0, {'P', 'K'})), GdiError);                  // not a BMP
  EXPECT_THROW(Load(patched(10, {0xFF, 0xFF, 0, 0})), GdiError);         // pixel offset past the end
  EXPECT_THROW(Load(patched(18, {0, 0x50, 0, 0})), GdiError);            // 20480 wide
  EXPECT_THROW(Load(patched(18, {0, 0, 0, 0})), GdiError);               // zero width
  EXPECT_THROW(Load(patched(22, {0, 0, 0, 0x80})), GdiError);            // INT_MIN height
  EXPECT_THROW(Load(patched(26, {2, 0})), GdiError);                     // two planes
  EXPECT_THROW(Load(patched(28, {2, 0})), GdiError);                     // 2-bit
  EXPECT_THROW(Load(patched(30, {2, 0, 0, 0})), GdiError);               // RLE4 on an 8-bit image
  EXPECT_THROW(Load(patched(46, {0x01, 0x01, 0, 0})), GdiError);         // 257 palette entries
  EXPECT_THROW(Load(patched(14, {41, 0, 0, 0})), GdiError);              // unknown header size
  // 16384 × 4097 passes the side limit but not the pixel count.
  EXPECT_THROW(Load(patched(18, {0, 0x40, 0, 0, 0x01, 0x10, 0, 0})), GdiError);

  std::vector<uint8_t> garbage(4096);
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = uint8_t(i * 131 + 7);
  garbage[0] = 'B';
  garbage[1] = 'M';
  EXPECT_THROW(Load(garbage), GdiError);
}

TEST(BmpRead, FilesFromDisk) {
  TempDir dir;
  EXPECT_THROW(Bitmap::LoadBmpFile(dir / "missing.bmp"), GdiError);
  EXPECT_THROW(Bitmap::LoadBmpFile(dir.path()), GdiError);
  auto bytes = MakeBmp(Palettised(true));
  std::ofstream(dir / "p.bmp", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
  EXPECT_EQ(Bitmap::LoadBmpFile(dir / "p.bmp").PixelAt(1, 0), kPal[2]);
}

TEST(BmpWrite, FewColoursGiveAPalettisedFileThatReadsBackExactly) {
  Bitmap b(5, 3, Rgb{64, 160, 224});
  b.SetPixel(4, 2, Rgb{0, 0, 128});
  b.SetPixel(1, 1, Rgb{255, 255, 255});
  b.SetPixel(-1, 0, Rgb{1, 1, 1});  // ignored
  std::vector<uint8_t> v = b.EncodeBmp();
  EXPECT_EQ(v[28], 8);
  EXPECT_EQ(v[46], 3);  // palette holds exactly the colours used
  // First palette entry is the top-left colour, in file order B, G, R.
  EXPECT_EQ(v[54], 224);
  EXPECT_EQ(v[55], 160);
  EXPECT_EQ(v[56], 64);
  EXPECT_EQ(v.size(), 14u + 40 + 3 * 4 + 3 * 8);  // rows padded to 8 bytes
  EXPECT_EQ(v, b.EncodeBmp());

  Bitmap r = Load(v);
  EXPECT_EQ(r.pixels(), b.pixels());
  EXPECT_EQ(r.source_bits(), 8);
  EXPECT_EQ(r.palette_size(), 3);
}

TEST(BmpWrite, ManyColoursGiveTrueColour) {
  Bitmap b(17, 17);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 17; ++x) b.SetPixel(x, y, Rgb{uint8_t(x * 15), uint8_t(y * 15), uint8_t(x ^ y)});
  std::vector<uint8_t> v = b.EncodeBmp();
  EXPECT_EQ(v[28], 24);
  Bitmap r = Load(v);
  EXPECT_EQ(r.pixels(), b.pixels());

  // Exactly 256 colours still fit a palette.
  Bitmap p(16, 16);
  for (int i = 0; i < 256; ++i) p.SetPixel(i % 16, i / 16, Rgb{uint8_t(i), 0, uint8_t(255 - i)});
  EXPECT_EQ(p.EncodeBmp()[28], 8);
  EXPECT_EQ(Load(p.EncodeBmp()).pixels(), p.pixels());

  EXPECT_THROW(Bitmap().EncodeBmp(), GdiError);
}

TEST(BmpWrite, SaveReplacesTheFileWhole) {
  TempDir dir;
  Bitmap b(4, 4, Rgb{9, 8, 7});
  b.SaveBmpFile(dir / "a.bmp");
  Bitmap c(2, 2, Rgb{1, 2, 3});
  c.SaveBmpFile(dir / "a.bmp");
  EXPECT_EQ(Bitmap::LoadBmpFile(dir / "a.bmp").pixels(), c.pixels());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no temp file left
  EXPECT_THROW(b.SaveBmpFile(dir / "no/such/dir/a.bmp"), GdiError);
}
