// Finding, decoding and caching the program's own pictures and cursors.
#include "resources/resources.h"


#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "platform/fs/fs.h"
#include "platform/os.h"
#include "platform/start_dir.h"
#include "resources/cursor_file.h"

#ifndef OZZEL_RESOURCE_DIR
#define OZZEL_RESOURCE_DIR "resources/data"
#endif

namespace ozzel::res {

namespace {

namespace fsys = std::filesystem;

// Cursor files are small; anything bigger is not one of ours.
constexpr std::uintmax_t kMaxCursorFileBytes = 256 * 1024;

struct Cache {
  std::mutex mu;
  std::map<std::string, plat::Bitmap> pictures;
  std::map<std::string, std::shared_ptr<const plat::CursorImage>> cursors;
  std::shared_ptr<const plat::CursorImage> icon;
  bool icon_tried = false;
};

// The program's strings are UTF-8; a plain std::string path on Windows would be read in the ANSI code
// page, losing a folder named outside it (a user called Jiří).
fsys::path PathOf(const std::string& utf8) {
#ifdef _WIN32
  return fsys::path(std::u8string(utf8.begin(), utf8.end()));
#else
  return fsys::path(utf8);
#endif
}

std::string Utf8(const fsys::path& p) {
#ifdef _WIN32
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
#else
  return p.string();
#endif
}

// The resource folder's environment override, read as UTF-8 on every system.
std::string ResourceEnv() {
#ifdef _WIN32
  const wchar_t* w = _wgetenv(L"OZZEL_RESOURCES");
  return w ? Utf8(fsys::path(w)) : std::string();
#else
  const char* env = std::getenv("OZZEL_RESOURCES");
  return env ? env : "";
#endif
}

Cache& TheCache() {
  static Cache c;
  return c;
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

std::shared_ptr<const plat::CursorImage> LoadCursor(const std::string& lower_name) {
  fsys::path p = PathOf(ResourceDir()) / CursorFile(lower_name);
  // Through the one reader that refuses pipes and devices without waiting on them.
  auto text = plat::fs::ReadFile(Utf8(p), kMaxCursorFileBytes);
  if (!text) return nullptr;
  auto img = ParseCursorText(*text);
  if (!img) return nullptr;
  return std::make_shared<const plat::CursorImage>(std::move(*img));
}

}  // namespace

std::string ResourceDir() {
  if (const std::string env = ResourceEnv(); !env.empty()) return plat::FromStartDir(env);
  std::error_code ec;
  if (std::string exe_dir = plat::os::ExeDir(); !exe_dir.empty()) {
    // Installed: beside the program (Windows) or under share/ (Linux).
    for (fsys::path installed : {PathOf(exe_dir) / ".." / "share" / "ozzel" / "resources", PathOf(exe_dir) / "resources"})
      if (fsys::is_directory(installed, ec)) return Utf8(fsys::weakly_canonical(installed, ec));
  }
  return OZZEL_RESOURCE_DIR;
}

const std::vector<std::string>& PictureNames() {
  static const std::vector<std::string> names = {
      "glyph_obraz1", "glyph_obraz2", "glyph_obraz3", "glyph_obraz4", "glyph_konec", "pocitadlo",
      "roh_LH",       "roh_PH",       "roh_LD",       "roh_PD",       "pozadi",      "icon",
      "RGB_doma",     "RGB_uzitecna", "RGB_lesni",    "RGB_safari",
      // The exit door with its word in the other languages a medium can be made in.
      "glyph_konec_sk", "glyph_konec_en", "glyph_konec_de", "glyph_konec_pl", "glyph_konec_fr", "glyph_konec_es",
      // The waiting screen of a first start.
      "cekani"};
  return names;
}

const std::vector<std::string>& CursorNames() {
  static const std::vector<std::string> names = {"SIPKA1", "SIPKA2", "RUKA1", "HODINY1", "PASTELKA"};
  return names;
}

std::string PictureFile(const std::string& name) { return name + ".bmp"; }
std::string CursorFile(const std::string& name) { return Lower(name) + ".cur"; }

plat::Bitmap Picture(const std::string& name) {
  Cache& c = TheCache();
  {
    std::lock_guard<std::mutex> lock(c.mu);
    auto it = c.pictures.find(name);
    if (it != c.pictures.end()) return it->second;
  }
  const auto& names = PictureNames();
  if (std::find(names.begin(), names.end(), name) == names.end())
    throw plat::GdiError("no such picture: " + name);
  plat::Bitmap bmp = plat::Bitmap::LoadBmpFile(Utf8(PathOf(ResourceDir()) / PictureFile(name)));
  std::lock_guard<std::mutex> lock(c.mu);
  return c.pictures.emplace(name, std::move(bmp)).first->second;
}

std::shared_ptr<const plat::CursorImage> Cursor(const std::string& name) {
  std::string lower = Lower(name);
  bool known = false;
  for (const auto& n : CursorNames()) known |= Lower(n) == lower;
  if (!known) return nullptr;
  Cache& c = TheCache();
  std::lock_guard<std::mutex> lock(c.mu);
  auto it = c.cursors.find(lower);
  if (it != c.cursors.end()) return it->second;
  auto cur = LoadCursor(lower);
  if (cur) c.cursors.emplace(lower, cur);
  return cur;
}

std::shared_ptr<const plat::CursorImage> Icon() {
  Cache& c = TheCache();
  {
    std::lock_guard<std::mutex> lock(c.mu);
    if (c.icon_tried) return c.icon;
  }
  std::shared_ptr<const plat::CursorImage> icon;
  try {
    plat::Bitmap colour = Picture("icon");
    plat::Bitmap mask = plat::Bitmap::LoadBmpFile(Utf8(PathOf(ResourceDir()) / kIconMaskFile));
    if (mask.width() == colour.width() && mask.height() == colour.height()) {
      auto img = std::make_shared<plat::CursorImage>();
      img->w = colour.width();
      img->h = colour.height();
      img->argb.resize(size_t(img->w) * img->h);
      for (int y = 0; y < img->h; ++y)
        for (int x = 0; x < img->w; ++x) {
          bool opaque = mask.PixelAt(x, y)->r >= 128;
          img->argb[size_t(y) * img->w + x] = opaque ? (0xFF000000u | colour.PixelAt(x, y)->packed()) : 0u;
        }
      icon = std::move(img);
    }
  } catch (const plat::GdiError&) {
  }
  std::lock_guard<std::mutex> lock(c.mu);
  c.icon_tried = true;
  c.icon = icon;
  return icon;
}

void ClearCache() {
  Cache& c = TheCache();
  std::lock_guard<std::mutex> lock(c.mu);
  c.pictures.clear();
  c.cursors.clear();
  c.icon.reset();
  c.icon_tried = false;
}

}  // namespace ozzel::res
