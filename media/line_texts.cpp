// Reads texty.txt: bounded, every line checked on its own, nothing trusted.
#include "media/line_texts.h"

#include "platform/fs/fs.h"

namespace ozzel {

namespace {

bool ValidUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    uint32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    for (size_t k = 1; k < n; ++k) {
      const unsigned char d = static_cast<unsigned char>(s[i + k]);
      if ((d >> 6) != 0x2) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    // Overlong forms, surrogates, beyond Unicode, control characters.
    static const uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) || cp < 0x20 || cp == 0x7F) return false;
    i += n;
  }
  return true;
}

bool PlainName(const std::string& name) {
  if (name.empty() || name.size() > 64 || name == "." || name == "..") return false;
  for (unsigned char c : name)
    if (c <= 0x20 || c >= 0x7F || c == '/' || c == '\\' || c == ':') return false;
  return true;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

}  // namespace

std::map<std::string, std::string> ParseLineTexts(const uint8_t* data, size_t size) {
  std::map<std::string, std::string> out;
  const std::string all(reinterpret_cast<const char*>(data), size < kMaxLineTextsBytes ? size : kMaxLineTextsBytes);
  size_t at = 0, lines = 0;
  // A byte-order mark is no part of the first name.
  if (all.compare(0, 3, "\xEF\xBB\xBF") == 0) at = 3;
  while (at < all.size() && lines++ < kMaxLineTexts) {
    size_t end = all.find('\n', at);
    if (end == std::string::npos) end = all.size();
    std::string line = all.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    const std::string name = line.substr(0, tab), text = line.substr(tab + 1);
    if (!PlainName(name) || text.empty() || text.size() > kMaxLineTextBytes || !ValidUtf8(text)) continue;
    out.emplace(Lower(name), text);
  }
  return out;
}

std::map<std::string, std::string> ReadLineTexts(const std::string& data_dir) {
  std::string bytes;
  if (plat::fs::ReadRegularFile(plat::fs::HostPath(data_dir + "\\" + kLineTextsFile), kMaxLineTextsBytes, bytes) !=
      plat::fs::ReadState::Ok)
    return {};
  return ParseLineTexts(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace ozzel
