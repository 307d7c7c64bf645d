// Reading and writing the text cursor format, strictly: a damaged file gives no cursor, never a crash.
#include "resources/cursor_file.h"

#include <array>
#include <cstdio>
#include <map>
#include <vector>

namespace ozzel::res {

namespace {

// Keys in the order the writer hands them out: readable ones first.
constexpr std::string_view kKeys =
    ".#oabcdefghijklmnpqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+*=-_/\\|:;,!?@$%&^~<>()[]{}";

class Lines {
 public:
  explicit Lines(std::string_view t) : t_(t) {}
  bool Next(std::string_view& line) {
    if (pos_ >= t_.size()) return false;
    size_t e = t_.find('\n', pos_);
    if (e == std::string_view::npos) e = t_.size();
    line = t_.substr(pos_, e - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = e + 1;
    return true;
  }

 private:
  std::string_view t_;
  size_t pos_ = 0;
};

// Splits on single spaces; rejects empty fields.
std::vector<std::string_view> Fields(std::string_view s) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i <= s.size()) {
    size_t e = s.find(' ', i);
    if (e == std::string_view::npos) e = s.size();
    out.push_back(s.substr(i, e - i));
    if (out.back().empty() || out.size() > 8) return {};
    i = e + 1;
  }
  return out;
}

bool ParseInt(std::string_view s, int lo, int hi, int& out) {
  if (s.empty() || s.size() > 4) return false;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v < lo || v > hi) return false;
  out = v;
  return true;
}

bool ParseHex32(std::string_view s, uint32_t& out) {
  if (s.size() != 8) return false;
  uint32_t v = 0;
  for (char c : s) {
    int d = (c >= '0' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
    if (d < 0) return false;
    v = (v << 4) | uint32_t(d);
  }
  out = v;
  return true;
}

}  // namespace

std::optional<plat::CursorImage> ParseCursorText(std::string_view text) {
  Lines lines(text);
  std::string_view line;
  if (!lines.Next(line) || line != "OZZCUR 1") return std::nullopt;

  plat::CursorImage img;
  if (!lines.Next(line)) return std::nullopt;
  auto f = Fields(line);
  if (f.size() != 2 || !ParseInt(f[0], 1, kMaxCursorSide, img.w) || !ParseInt(f[1], 1, kMaxCursorSide, img.h))
    return std::nullopt;

  if (!lines.Next(line)) return std::nullopt;
  f = Fields(line);
  if (f.size() != 3 || f[0] != "hotspot" || !ParseInt(f[1], 0, img.w - 1, img.hotspot.x) ||
      !ParseInt(f[2], 0, img.h - 1, img.hotspot.y))
    return std::nullopt;

  int n = 0;
  if (!lines.Next(line)) return std::nullopt;
  f = Fields(line);
  if (f.size() != 2 || f[0] != "colors" || !ParseInt(f[1], 1, int(kKeys.size()), n)) return std::nullopt;

  std::array<int, 128> slot;
  slot.fill(-1);
  std::vector<uint32_t> colours;
  for (int i = 0; i < n; ++i) {
    if (!lines.Next(line)) return std::nullopt;
    f = Fields(line);
    uint32_t c = 0;
    if (f.size() != 2 || f[0].size() != 1 || !ParseHex32(f[1], c)) return std::nullopt;
    unsigned char k = static_cast<unsigned char>(f[0][0]);
    if (k <= ' ' || k >= 127 || slot[k] >= 0) return std::nullopt;
    slot[k] = int(colours.size());
    colours.push_back(c);
  }

  img.argb.reserve(size_t(img.w) * img.h);
  for (int y = 0; y < img.h; ++y) {
    if (!lines.Next(line) || int(line.size()) != img.w) return std::nullopt;
    for (char ch : line) {
      unsigned char k = static_cast<unsigned char>(ch);
      if (k >= 128 || slot[k] < 0) return std::nullopt;
      img.argb.push_back(colours[size_t(slot[k])]);
    }
  }
  // Only blank lines may follow.
  while (lines.Next(line))
    if (!line.empty()) return std::nullopt;
  return img;
}

std::string FormatCursorText(const plat::CursorImage& img) {
  if (img.w < 1 || img.h < 1 || img.w > kMaxCursorSide || img.h > kMaxCursorSide ||
      img.argb.size() != size_t(img.w) * img.h || img.hotspot.x < 0 || img.hotspot.y < 0 ||
      img.hotspot.x >= img.w || img.hotspot.y >= img.h)
    return {};
  std::map<uint32_t, char> key;
  std::vector<uint32_t> order;
  for (uint32_t c : img.argb) {
    if (key.count(c)) continue;
    if (order.size() == kKeys.size()) return {};
    key[c] = kKeys[order.size()];
    order.push_back(c);
  }
  std::string out = "OZZCUR 1\n" + std::to_string(img.w) + " " + std::to_string(img.h) + "\nhotspot " +
                    std::to_string(img.hotspot.x) + " " + std::to_string(img.hotspot.y) + "\ncolors " +
                    std::to_string(order.size()) + "\n";
  for (uint32_t c : order) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", unsigned(c));
    out += key[c];
    out += ' ';
    out += hex;
    out += '\n';
  }
  for (int y = 0; y < img.h; ++y) {
    for (int x = 0; x < img.w; ++x) out += key[img.argb[size_t(y) * img.w + x]];
    out += '\n';
  }
  return out;
}

}  // namespace ozzel::res
