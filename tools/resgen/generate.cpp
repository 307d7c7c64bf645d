// Assembles every generated picture and cursor into files, and PNG previews of them.
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/gdi/canvas.h"
#include "game/words.h"
#include "resources/cursor_file.h"
#include "resources/resources.h"
#include "tools/art/animals.h"
#include "tools/resgen/resgen.h"

namespace ozzel::resgen {

namespace {

namespace fsys = std::filesystem;

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

plat::Bitmap PictureByName(const std::string& name) {
  if (name == "glyph_obraz1") return BallStrip(Ball::kRed);
  if (name == "glyph_obraz2") return BallStrip(Ball::kYellow);
  if (name == "glyph_obraz3") return BallStrip(Ball::kGreen);
  if (name == "glyph_obraz4") return BallStrip(Ball::kCyan);
  if (name == "glyph_konec") return DoorStrip("KONEC");
  if (name.rfind("glyph_konec_", 0) == 0) {
    const game::Words* words = game::WordsFor(name.substr(12));
    if (!words) throw std::invalid_argument("no words for " + name);
    return DoorStrip(words->door);
  }
  if (name == "pocitadlo") return CounterBackground();
  if (name.rfind("roh_", 0) == 0) return Corner(name.substr(4));
  if (name == "pozadi") return Texture();
  if (name == "icon") return IconPicture();
  if (name == "cekani") return WaitingPicture();
  for (int set = 1; set <= 4; ++set)
    if (name == art::HitMapName(set)) return art::RenderHitMap(set);
  throw std::invalid_argument("no such picture: " + name);
}

// Nearest-neighbour enlargement so that small pictures can be judged by eye.
plat::Surface Enlarged(const plat::Bitmap& b, int k) {
  plat::Surface s(b.width() * k, b.height() * k);
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) s.row(y)[x] = b.row(y / k)[x / k];
  return s;
}

plat::Bitmap CursorOnChecker(const plat::CursorImage& c) {
  plat::Bitmap b(c.w, c.h);
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      uint32_t p = c.argb[size_t(y) * c.w + x];
      plat::Rgb bg = ((x / 4 + y / 4) % 2) ? plat::Rgb{200, 120, 200} : plat::Rgb{120, 200, 200};
      b.SetPixel(x, y, (p >> 24) ? plat::Rgb::FromPacked(p & 0xFFFFFF) : bg);
    }
  b.SetPixel(c.hotspot.x, c.hotspot.y, {255, 0, 255});
  return b;
}

}  // namespace

std::map<std::string, std::vector<uint8_t>> GenerateAll() {
  std::map<std::string, std::vector<uint8_t>> files;
  for (const std::string& name : res::PictureNames()) files[res::PictureFile(name)] = PictureByName(name).EncodeBmp();
  files[res::kIconMaskFile] = IconMask().EncodeBmp();
  for (const std::string& name : res::CursorNames()) {
    std::string text = res::FormatCursorText(MakeCursor(name));
    if (text.empty()) throw std::runtime_error("cursor " + name + " does not fit the cursor format");
    files[res::CursorFile(name)] = Bytes(text);
  }
  return files;
}

void WriteAll(const std::string& dir) {
  fsys::create_directories(dir);
  for (const auto& [name, bytes] : GenerateAll()) {
    std::ofstream out(fsys::path(dir) / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + (fsys::path(dir) / name).string());
  }
}

void WritePreviews(const std::string& dir) {
  fsys::create_directories(dir);
  for (const std::string& name : res::PictureNames()) {
    plat::Bitmap b = PictureByName(name);
    int k = b.width() >= 300 && b.height() >= 300 ? 1 : b.width() >= 200 ? 3 : b.width() >= 60 ? 4 : 8;
    plat::SavePng(Enlarged(b, k), (fsys::path(dir) / (name + ".png")).string());
  }
  for (const std::string& name : res::CursorNames())
    plat::SavePng(Enlarged(CursorOnChecker(MakeCursor(name)), 8), (fsys::path(dir) / (name + ".png")).string());
}

}  // namespace ozzel::resgen
