// The take pack's text-headed format: readable in a pager, bounded in every count and length.
#include "media/voice_pack.h"

#include <cctype>
#include <charconv>
#include <cstring>

namespace ozzel {

namespace {

constexpr const char* kMagic = "OZZELVOICE 1\n";

void Line(std::vector<uint8_t>& out, const std::string& s) {
  out.insert(out.end(), s.begin(), s.end());
  out.push_back('\n');
}

bool PlainName(const std::string& n) {
  if (n.empty() || n.size() > 64 || n[0] == '.') return false;
  for (char c : n)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '-')) return false;
  return true;
}

}  // namespace

std::vector<uint8_t> WritePack(const VoicePack& pack) {
  std::vector<uint8_t> out(kMagic, kMagic + std::strlen(kMagic));
  Line(out, "language " + pack.language);
  for (const PackedTake& t : pack.takes) {
    Line(out, "take " + t.name + " " + std::to_string(t.wav.size()));
    out.insert(out.end(), t.wav.begin(), t.wav.end());
  }
  Line(out, "end");
  return out;
}

std::optional<VoicePack> ReadPack(const uint8_t* data, size_t size, std::string* error) {
  auto fail = [error](const std::string& why) {
    if (error) *error = why;
    return std::nullopt;
  };
  if (size > kPackMaxBytes) return fail("larger than any pack of takes");
  const size_t magic = std::strlen(kMagic);
  if (size < magic || std::memcmp(data, kMagic, magic) != 0) return fail("not a pack of takes");
  size_t at = magic;
  // One header line of at most 200 bytes.
  auto line = [&](std::string& out) {
    out.clear();
    while (at < size && data[at] != '\n') {
      if (out.size() >= 200) return false;
      out += char(data[at++]);
    }
    if (at >= size) return false;
    ++at;
    return true;
  };
  VoicePack pack;
  std::string l;
  if (!line(l) || l.rfind("language ", 0) != 0 || l.size() > 9 + 8) return fail("no language line");
  pack.language = l.substr(9);
  for (;;) {
    if (!line(l)) return fail("cut short");
    if (l == "end") break;
    if (l.rfind("take ", 0) != 0) return fail("damaged");
    const size_t sp = l.rfind(' ');
    if (sp <= 5) return fail("damaged");
    PackedTake t;
    t.name = l.substr(5, sp - 5);
    size_t bytes = 0;
    const char* first = l.data() + sp + 1;
    const char* last = l.data() + l.size();
    auto [p, ec] = std::from_chars(first, last, bytes);
    if (ec != std::errc() || p != last || first == last || (*first == '0' && last - first > 1)) return fail("damaged");
    if (!PlainName(t.name)) return fail("a take with a name that is not a plain file name");
    if (bytes > kPackMaxTakeBytes) return fail("a take larger than any take");
    if (pack.takes.size() >= kPackMaxTakes) return fail("more takes than any medium has lines");
    if (bytes > size - at) return fail("cut short");
    t.wav.assign(data + at, data + at + bytes);
    at += bytes;
    pack.takes.push_back(std::move(t));
  }
  if (at != size) return fail("something follows its end");
  return pack;
}

}  // namespace ozzel
