// The REGEDIT4 text format: parsing (bounds-checked, untrusted input) and deterministic writing.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"

namespace plat {

namespace {

constexpr std::string_view kHkcu = "HKEY_CURRENT_USER";
constexpr std::string_view kOtherHives[] = {"HKEY_LOCAL_MACHINE", "HKEY_CLASSES_ROOT", "HKEY_USERS",
                                            "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA", "HKEY_PERFORMANCE_DATA"};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool StartsNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && Lower(s.substr(0, prefix.size())) == Lower(prefix);
}

// "HIVE" or "HIVE\..." for the given hive name.
bool InHive(std::string_view path, std::string_view hive) {
  return StartsNoCase(path, hive) && (path.size() == hive.size() || path[hive.size()] == '\\');
}

bool IsOtherHive(std::string_view path) {
  for (auto h : kOtherHives)
    if (InHive(path, h)) return true;
  return false;
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return s;
}
std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}
std::string_view Trim(std::string_view s) { return TrimLeft(TrimRight(s)); }

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

// UTF-16LE → UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const std::vector<uint16_t>& u) {
  std::string out;
  for (size_t i = 0; i < u.size(); ++i) {
    uint32_t c = u[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < u.size() && u[i + 1] >= 0xDC00 && u[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (u[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

// UTF-8 → UTF-16; malformed sequences become U+FFFD.
std::vector<uint16_t> Utf8ToUtf16(std::string_view s) {
  std::vector<uint16_t> out;
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = s[i];
    uint32_t cp = 0xFFFD;
    size_t len = 1;
    auto cont = [&](size_t k) { return i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80; };
    if (c < 0x80) {
      cp = c;
    } else if ((c & 0xE0) == 0xC0 && cont(1)) {
      cp = ((c & 0x1Fu) << 6) | (s[i + 1] & 0x3F);
      len = 2;
      if (cp < 0x80) cp = 0xFFFD;
    } else if ((c & 0xF0) == 0xE0 && cont(1) && cont(2)) {
      cp = ((c & 0x0Fu) << 12) | ((s[i + 1] & 0x3Fu) << 6) | (s[i + 2] & 0x3F);
      len = 3;
      if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    } else if ((c & 0xF8) == 0xF0 && cont(1) && cont(2) && cont(3)) {
      cp = ((c & 0x07u) << 18) | ((s[i + 1] & 0x3Fu) << 12) | ((s[i + 2] & 0x3Fu) << 6) | (s[i + 3] & 0x3F);
      len = 4;
      if (cp < 0x10000 || cp > 0x10FFFF) cp = 0xFFFD;
    }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(uint16_t(0xD800 + (cp >> 10)));
      out.push_back(uint16_t(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(uint16_t(cp));
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "aa,bb, cc" → bytes; false on anything else. An empty list is allowed.
bool ParseHexBytes(std::string_view s, std::vector<uint8_t>& out) {
  s = Trim(s);
  if (s.empty()) return true;
  size_t i = 0;
  for (;;) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    int v = 0, digits = 0;
    while (i < s.size() && HexDigit(s[i]) >= 0 && digits < 2) v = v * 16 + HexDigit(s[i++]), ++digits;
    if (digits == 0) return false;
    out.push_back(uint8_t(v));
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    if (i == s.size()) return true;
    if (s[i] != ',') return false;
    ++i;
  }
}

// A quoted string starting at s[0] == '"', with \\ and \" escapes; other backslashes are literal.
// Returns the characters consumed, 0 when unterminated.
size_t ParseQuoted(std::string_view s, std::string& out) {
  for (size_t i = 1; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') return i + 1;
    if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
      out += s[++i];
    } else {
      out += c;
    }
  }
  return 0;
}

enum class DataResult { Ok, Delete, Bad };

// Text data in a REGEDIT4 file is in the writer's ANSI code page, one byte a character, unless it is
// UTF-16 as this program wrote it before it wrote the other form (even length, a NUL terminator, and
// high bytes below 0x20 throughout, which ANSI text never has: every other character a control).
bool LooksUtf16(const std::vector<uint8_t>& b) {
  if (b.size() < 2 || b.size() % 2 != 0 || b[b.size() - 1] != 0 || b[b.size() - 2] != 0) return false;
  for (size_t i = 1; i < b.size(); i += 2)
    if (b[i] >= 0x20) return false;
  return true;
}

// ANSI bytes as UTF-16 code units, read as Latin-1 (the code page itself is not recorded).
std::vector<uint16_t> AnsiUnits(const std::vector<uint8_t>& b) { return std::vector<uint16_t>(b.begin(), b.end()); }

DataResult ParseData(std::string_view d, RegValue& v, bool ansi = false) {
  d = Trim(d);
  if (d == "-") return DataResult::Delete;
  if (!d.empty() && d[0] == '"') {
    std::string text;
    size_t n = ParseQuoted(d, text);
    if (n == 0 || !Trim(d.substr(n)).empty()) return DataResult::Bad;
    v = RegValue{RegType::String, std::move(text), 0};
    return DataResult::Ok;
  }
  if (StartsNoCase(d, "dword:")) {
    std::string_view h = Trim(d.substr(6));
    if (h.empty() || h.size() > 8) return DataResult::Bad;
    uint32_t x = 0;
    for (char c : h) {
      int k = HexDigit(c);
      if (k < 0) return DataResult::Bad;
      x = x * 16 + uint32_t(k);
    }
    v = RegValue{RegType::Dword, "", x};
    return DataResult::Ok;
  }
  if (StartsNoCase(d, "hex")) {
    std::string_view rest = d.substr(3);
    uint32_t type = 3;  // plain "hex:" is binary
    if (!rest.empty() && rest[0] == '(') {
      size_t close = rest.find(')');
      if (close == std::string_view::npos || close < 2 || close > 9) return DataResult::Bad;
      type = 0;
      for (char c : rest.substr(1, close - 1)) {
        int k = HexDigit(c);
        if (k < 0) return DataResult::Bad;
        type = type * 16 + uint32_t(k);
      }
      rest = rest.substr(close + 1);
    }
    if (rest.empty() || rest[0] != ':') return DataResult::Bad;
    std::vector<uint8_t> bytes;
    if (!ParseHexBytes(rest.substr(1), bytes)) return DataResult::Bad;
    const bool from_ansi = ansi && (type == 1 || type == 2 || type == 7) && !LooksUtf16(bytes);
    if (from_ansi && type == 7) {
      // Kept as the UTF-16 a registry holds, so that it means the same in whichever form is written.
      std::vector<uint8_t> wide;
      for (uint8_t c : bytes) wide.push_back(c), wide.push_back(0);
      bytes = std::move(wide);
    }
    if (type == 1 || type == 2) {
      std::vector<uint16_t> u;
      if (from_ansi)
        u = AnsiUnits(bytes);
      else
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) u.push_back(uint16_t(bytes[i] | (bytes[i + 1] << 8)));
      if (!u.empty() && u.back() == 0) u.pop_back();  // the terminating NUL; any before it is data
      v = RegValue{type == 1 ? RegType::String : RegType::ExpandString, Utf16ToUtf8(u), 0};
    } else if (type == 4 && bytes.size() == 4) {
      v = RegValue{RegType::Dword, "",
                   uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24};
    } else {
      // Kept in a canonical spelling so that writing it back and reading it again gives the same value.
      std::string text = type == 3 ? "hex:" : "hex(" + [&] {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%x", type);
        return std::string(buf);
      }() + "):";
      for (size_t i = 0; i < bytes.size(); ++i) {
        char buf[4];
        std::snprintf(buf, sizeof buf, i ? ",%02x" : "%02x", bytes[i]);
        text += buf;
      }
      v = RegValue{RegType::Raw, std::move(text), 0};
    }
    return DataResult::Ok;
  }
  return DataResult::Bad;
}

bool ValidUtf8(std::string_view s) { return Utf16ToUtf8(Utf8ToUtf16(s)) == s; }

// A text file in UTF-8, or UTF-16LE with its byte-order mark (what newer registry editors save), or
// else in an ANSI code page (what older ones save), read as Latin-1.
std::string ToUtf8(const std::string& text) {
  if (text.size() >= 2 && uint8_t(text[0]) == 0xFF && uint8_t(text[1]) == 0xFE) {
    std::vector<uint16_t> u;
    u.reserve(text.size() / 2);
    for (size_t i = 2; i + 1 < text.size(); i += 2) u.push_back(uint16_t(uint8_t(text[i]) | uint8_t(text[i + 1]) << 8));
    return Utf16ToUtf8(u);
  }
  std::string_view body(text);
  if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
  if (ValidUtf8(body)) return std::string(body);
  std::string out;
  for (unsigned char c : body) AppendUtf8(out, c);
  return out;
}

bool NeedsHex(std::string_view s) { return s.find_first_of(std::string_view("\n\r\0", 3)) != std::string_view::npos; }

void WriteQuoted(std::string& out, std::string_view s) {
  out += '"';
  for (char c : s) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
}

// "hex(2):" and its bytes, wrapped the way registry editors wrap them.
void WriteHex(std::string& out, size_t line_start, std::string_view prefix, const std::vector<uint8_t>& bytes) {
  out += prefix;
  for (size_t i = 0; i < bytes.size(); ++i) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02x", bytes[i]);
    out += buf;
    if (i + 1 < bytes.size()) {
      out += ',';
      if (out.size() - line_start > 76) {
        out += "\\\n  ";
        line_start = out.size() - 2;
      }
    }
  }
}

std::vector<uint8_t> Utf16Bytes(std::string_view s) {
  std::vector<uint8_t> b;
  for (uint16_t u : Utf8ToUtf16(s)) {
    b.push_back(uint8_t(u));
    b.push_back(uint8_t(u >> 8));
  }
  b.push_back(0);
  b.push_back(0);
  return b;
}

}  // namespace

RegParse ParseRegLenient(const std::string& raw) {
  const std::string text = ToUtf8(raw);
  std::vector<std::string_view> lines;
  std::string_view all(text);
  for (size_t i = 0; i <= all.size();) {
    size_t j = all.find('\n', i);
    if (j == std::string_view::npos) j = all.size();
    lines.push_back(TrimRight(all.substr(i, j - i)));
    i = j + 1;
  }

  RegParse out;
  RegData& data = out.data;
  auto skip = [&](size_t k) {
    if (out.skipped.empty() || out.skipped.back() != int(k + 1)) out.skipped.push_back(int(k + 1));
  };
  size_t k = 0;
  while (k < lines.size() && Trim(lines[k]).empty()) ++k;
  if (k == lines.size()) return out;  // an empty file holds no values
  const std::string header = Lower(Trim(lines[k]));
  const bool ansi = header == "regedit4";
  if (ansi || header == "windows registry editor version 5.00")
    ++k;
  else
    skip(k);  // no header: whatever follows is read as far as it can be

  RegData::Key* key = nullptr;
  bool skipping = false;  // inside a "[-key]" deletion section
  for (; k < lines.size(); ++k) {
    std::string_view line = TrimLeft(lines[k]);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      key = nullptr;
      skipping = false;
      // A broken header loses its section: its values cannot be placed anywhere.
      if (line.back() != ']') {
        skip(k);
        continue;
      }
      std::string_view path = line.substr(1, line.size() - 2);
      skipping = !path.empty() && path[0] == '-';
      if (skipping) continue;
      std::string name(path);
      if (InHive(path, kHkcu)) name = std::string(path.substr(std::min(path.size(), kHkcu.size() + 1)));
      auto [it, fresh] = data.keys.try_emplace(Lower(name));
      if (fresh) it->second.name = name;
      key = &it->second;
      continue;
    }
    const size_t first = k;
    // A raw NUL or carriage return is not part of any value we write: the line is damaged.
    bool bad = (line[0] != '"' && line[0] != '@') || (!key && !skipping) ||
               line.find_first_of(std::string_view("\0\r", 2)) != std::string_view::npos;
    std::string name;
    size_t used = 1;
    if (!bad && line[0] == '"') {
      used = ParseQuoted(line, name);
      bad = used == 0;
    }
    std::string_view rest = bad ? std::string_view() : TrimLeft(line.substr(used));
    bad = bad || rest.empty() || rest[0] != '=';
    std::string joined(bad ? std::string_view() : rest.substr(1));
    // Hex data may go on over lines that end with a backslash; a continuation that never comes (the
    // file ends, or the next line starts something else) leaves the value incomplete.
    if (!bad && StartsNoCase(Trim(joined), "hex")) {
      while (!TrimRight(joined).empty() && TrimRight(joined).back() == '\\') {
        joined = std::string(TrimRight(joined));
        joined.pop_back();
        std::string_view next = k + 1 < lines.size() ? Trim(lines[k + 1]) : std::string_view();
        if (next.empty() || next[0] == '"' || next[0] == '@' || next[0] == '[' || next[0] == ';') {
          bad = true;
          break;
        }
        joined += next;
        ++k;
      }
    }
    RegValue v;
    DataResult r = bad ? DataResult::Bad : ParseData(joined, v, ansi);
    if (r == DataResult::Bad) {
      skip(first);
      continue;
    }
    if (skipping) continue;
    std::string lname = Lower(name);
    if (r == DataResult::Delete) {
      key->values.erase(lname);
      continue;
    }
    auto it = key->values.find(lname);
    if (it == key->values.end())
      key->values.emplace(lname, std::make_pair(name, std::move(v)));
    else
      it->second.second = std::move(v);
  }
  return out;
}

std::optional<RegData> ParseReg(const std::string& text) {
  RegParse p = ParseRegLenient(text);
  if (!p.skipped.empty()) return std::nullopt;
  return std::move(p.data);
}

bool RegFormattable(const RegValue& v) {
  return (v.type != RegType::String && v.type != RegType::ExpandString) || ValidUtf8(v.text);
}

namespace {

bool Ascii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A REGEDIT4 file is read by registry editors in the ANSI code page, its hex(2) and hex(7) data as
// ANSI too: only ASCII names and plain ASCII strings come through it unchanged.
bool FitsRegedit4(const RegData& data) {
  for (const auto& [lkey, key] : data.keys) {
    if (!Ascii(key.name)) return false;
    for (const auto& [lname, entry] : key.values) {
      const auto& [name, v] = entry;
      if (!Ascii(name)) return false;
      switch (v.type) {
        case RegType::String:
          if (!Ascii(v.text) || NeedsHex(v.text)) return false;
          break;
        case RegType::ExpandString:
          return false;
        case RegType::Raw:
          if (StartsNoCase(v.text, "hex(7)")) return false;
          break;
        case RegType::Dword:
          break;
      }
    }
  }
  return true;
}

// The "Windows Registry Editor Version 5.00" file: UTF-16LE with its byte-order mark, CR LF lines.
std::string Utf16File(const std::string& utf8) {
  std::string out = "\xFF\xFE";
  for (uint16_t u : Utf8ToUtf16(utf8)) {
    if (u == '\n') out += std::string("\r\0", 2);
    out += char(u & 0xFF);
    out += char(u >> 8);
  }
  return out;
}

}  // namespace

std::string FormatReg(const RegData& data) {
  const bool regedit4 = FitsRegedit4(data);
  std::string out = regedit4 ? "REGEDIT4\n" : "Windows Registry Editor Version 5.00\n";
  for (const auto& [lkey, key] : data.keys) {
    out += "\n[";
    if (!IsOtherHive(key.name)) {
      out += kHkcu;
      if (!key.name.empty()) out += '\\';
    }
    out += key.name;
    out += "]\n";
    for (const auto& [lname, entry] : key.values) {
      const auto& [name, v] = entry;
      size_t line_start = out.size();
      if (name.empty())
        out += '@';
      else
        WriteQuoted(out, name);
      out += '=';
      switch (v.type) {
        case RegType::String:
          // A line break or a NUL cannot stand inside a quoted string; such text goes out as hex(1).
          if (!NeedsHex(v.text))
            WriteQuoted(out, v.text);
          else
            WriteHex(out, line_start, "hex(1):", Utf16Bytes(v.text));
          break;
        case RegType::ExpandString:
          WriteHex(out, line_start, "hex(2):", Utf16Bytes(v.text));
          break;
        case RegType::Dword: {
          char buf[16];
          std::snprintf(buf, sizeof buf, "dword:%08x", v.dword);
          out += buf;
          break;
        }
        case RegType::Raw: {
          RegValue check;
          if (ParseData(v.text, check) == DataResult::Ok && check.type == RegType::Raw) {
            size_t colon = check.text.find(':');
            std::vector<uint8_t> bytes;
            ParseHexBytes(std::string_view(check.text).substr(colon + 1), bytes);
            WriteHex(out, line_start, std::string_view(check.text).substr(0, colon + 1), bytes);
          } else {
            out += "hex:";  // not raw data at all: an empty binary value rather than a broken file
          }
          break;
        }
      }
      out += '\n';
    }
  }
  return regedit4 ? out : Utf16File(out);
}

std::string RegFold(const std::string& s) { return Lower(s); }

std::optional<std::string> RegKeyPath(const std::string& key) {
  if (key.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) return std::nullopt;
  std::string k = key;
  if (InHive(k, kHkcu)) k.erase(0, kHkcu.size());
  while (!k.empty() && k.front() == '\\') k.erase(0, 1);
  while (!k.empty() && k.back() == '\\') k.pop_back();
  return k;
}

bool RegNameStorable(const std::string& name) {
  return name.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

RegData::Key& RegEnsureKey(RegData& d, const std::string& key) {
  auto [it, fresh] = d.keys.try_emplace(Lower(key));
  if (fresh) it->second.name = key;
  return it->second;
}

bool RegHasKey(const RegData& d, const std::string& key) {
  if (key.empty()) return true;
  std::string lk = Lower(key);
  auto it = d.keys.lower_bound(lk);
  if (it == d.keys.end()) return false;
  if (it->first == lk) return true;
  auto sub = d.keys.lower_bound(lk + "\\");
  return sub != d.keys.end() && sub->first.compare(0, lk.size() + 1, lk + "\\") == 0;
}

}  // namespace plat
