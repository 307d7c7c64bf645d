// Script parsing: strict, so that a typo fails loudly with its line number instead of running a
// different scenario.
#include "sim/script.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <sstream>

namespace ozzel::sim {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The line without its comment and surrounding whitespace.
std::string StripComment(const std::string& line) {
  size_t end = line.size();
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '#' && (i == 0 || IsSpace(line[i - 1]))) {
      end = i;
      break;
    }
  }
  size_t b = 0;
  while (b < end && IsSpace(line[b])) ++b;
  while (end > b && IsSpace(line[end - 1])) --end;
  return line.substr(b, end - b);
}

std::vector<std::string> Split(const std::string& s) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && IsSpace(s[i])) ++i;
    size_t b = i;
    while (i < s.size() && !IsSpace(s[i])) ++i;
    if (i > b) out.push_back(s.substr(b, i - b));
  }
  return out;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

template <class T>
bool ParseNumber(const std::string& s, T lo, T hi, T& out) {
  T v{};
  const char* b = s.data();
  const char* e = s.data() + s.size();
  if (b != e && *b == '+') ++b;  // from_chars does not take a plus sign
  auto [p, ec] = std::from_chars(b, e, v);
  if (ec != std::errc() || p != e || b == e) return false;
  if (v < lo || v > hi) return false;
  out = v;
  return true;
}

// Decodes s when it is exactly one UTF-8 encoded character.
std::optional<unsigned> OneCharacter(const std::string& s) {
  if (s.empty()) return std::nullopt;
  auto u = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  unsigned c0 = u(0);
  size_t n;
  unsigned cp;
  if (c0 < 0x80) {
    n = 1, cp = c0;
  } else if ((c0 & 0xE0) == 0xC0) {
    n = 2, cp = c0 & 0x1F;
  } else if ((c0 & 0xF0) == 0xE0) {
    n = 3, cp = c0 & 0x0F;
  } else if ((c0 & 0xF8) == 0xF0) {
    n = 4, cp = c0 & 0x07;
  } else {
    return std::nullopt;
  }
  if (s.size() != n) return std::nullopt;
  for (size_t i = 1; i < n; ++i) {
    if ((u(i) & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (u(i) & 0x3F);
  }
  static const unsigned kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  return cp;
}

// A control's name where a command takes X Y: a letter or '_' first, then letters, digits and '_'.
bool IsControlName(const std::string& s) {
  if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_')) return false;
  for (char ch : s)
    if (!(std::isalnum(static_cast<unsigned char>(ch)) || ch == '_')) return false;
  return true;
}

// The keys a script may name, with the character a press of each also types (0: none).
struct NamedKey {
  const char* name;
  plat::Key key;
  unsigned ch;
};
constexpr NamedKey kNamedKeys[] = {
    {"esc", plat::Key::Esc, 27},    {"enter", plat::Key::Enter, 13}, {"space", plat::Key::Space, ' '},
    {"tab", plat::Key::Tab, 0},     {"left", plat::Key::Left, 0},    {"right", plat::Key::Right, 0},
    {"up", plat::Key::Up, 0},       {"down", plat::Key::Down, 0},    {"parents", plat::Key::Parents, 0},
};

const NamedKey* FindKey(const std::string& lower) {
  for (const NamedKey& k : kNamedKeys)
    if (lower == k.name) return &k;
  return nullptr;
}

constexpr int kCoordLimit = 100000;
constexpr uint64_t kMaxWaitMs = 1000ull * 60 * 60 * 24 * 365;  // a year of virtual time

struct Spec {
  const char* name;
  Command::Kind kind;
  size_t min_args, max_args;
  const char* usage;
  bool takes_point = false;  // X Y, or a control's name in their place
};

const Spec kSpecs[] = {
    {"wait", Command::Kind::Wait, 1, 1, "wait MS"},
    {"move", Command::Kind::Move, 2, 2, "move X Y|CONTROL", true},
    {"click", Command::Kind::Click, 2, 3, "click X Y|CONTROL [left|right|middle]", true},
    {"down", Command::Kind::Down, 2, 3, "down X Y|CONTROL [left|right|middle]", true},
    {"up", Command::Kind::Up, 2, 3, "up X Y|CONTROL [left|right|middle]", true},
    {"dblclick", Command::Kind::DblClick, 2, 2, "dblclick X Y|CONTROL", true},
    {"key", Command::Kind::Key, 1, 1, "key esc|enter|space|tab|left|right|up|down|parents|C"},
    {"keydown", Command::Kind::KeyDown, 1, 1, "keydown esc|enter|space|tab|left|right|up|down|parents"},
    {"keyup", Command::Kind::KeyUp, 1, 1, "keyup esc|enter|space|tab|left|right|up|down|parents"},
    {"tap", Command::Kind::Tap, 2, 2, "tap X Y|CONTROL", true},
    {"touch", Command::Kind::Touch, 2, 2, "touch down|move|up X Y|CONTROL", true},
    {"type", Command::Kind::Type, 1, SIZE_MAX, "type TEXT"},
    {"ok", Command::Kind::Ok, 0, 0, "ok"},
    {"cancel", Command::Kind::Cancel, 0, 0, "cancel"},
    {"animal", Command::Kind::Animal, 1, 1, "animal N"},
    {"dump", Command::Kind::Dump, 0, 0, "dump"},
    {"shot", Command::Kind::Shot, 1, 1, "shot NAME"},
    {"microphone", Command::Kind::Microphone, 1, 1, "microphone FILE.wav|none"},
};

}  // namespace

LineResult ParseLine(const std::string& raw, int line_no) {
  auto fail = [&](const std::string& why) {
    return ParseError{"script line " + std::to_string(line_no) + ": " + why};
  };
  std::string line = StripComment(raw);
  if (line.empty()) return Blank{};
  std::vector<std::string> tok = Split(line);
  const std::string& word = tok[0];
  const Spec* spec = nullptr;
  for (const Spec& s : kSpecs) {
    if (word == s.name) spec = &s;
  }
  if (!spec) return fail("unknown command '" + word + "'");
  plat::InputEvent::Kind touch = plat::InputEvent::Kind::TouchDown;
  if (spec->kind == Command::Kind::Touch) {
    // The phase comes first; the point follows as for any mouse command.
    std::string phase = tok.size() > 1 ? Lower(tok[1]) : "";
    if (phase == "move") {
      touch = plat::InputEvent::Kind::TouchMove;
    } else if (phase == "up") {
      touch = plat::InputEvent::Kind::TouchUp;
    } else if (phase != "down") {
      return fail("bad touch '" + (tok.size() > 1 ? tok[1] : std::string()) + "'; usage: " + spec->usage);
    }
    tok.erase(tok.begin() + 1);
  }
  size_t nargs = tok.size() - 1;
  // A control's name stands for both coordinates; "move x 1" is still a bad X coordinate.
  int ignored;
  bool named = spec->takes_point && nargs >= 1 && IsControlName(tok[1]) &&
               (nargs == 1 || !ParseNumber(tok[2], INT_MIN, INT_MAX, ignored));
  if (named) {
    tok.insert(tok.begin() + 2, "");
    ++nargs;
  }
  if (nargs < spec->min_args || nargs > spec->max_args) {
    return fail(std::string(nargs < spec->min_args ? "missing" : "extra") + " argument; usage: " + spec->usage);
  }

  Command c;
  c.kind = spec->kind;
  c.line = line_no;
  c.touch = touch;
  auto coords = [&]() -> std::optional<ParseError> {
    if (named) {
      c.control = tok[1];
      return std::nullopt;
    }
    if (!ParseNumber(tok[1], -kCoordLimit, kCoordLimit, c.x)) return fail("bad X coordinate '" + tok[1] + "'");
    if (!ParseNumber(tok[2], -kCoordLimit, kCoordLimit, c.y)) return fail("bad Y coordinate '" + tok[2] + "'");
    return std::nullopt;
  };

  switch (c.kind) {
    case Command::Kind::Wait:
      if (!ParseNumber<uint64_t>(tok[1], 0, kMaxWaitMs, c.ms)) return fail("bad time '" + tok[1] + "'");
      break;
    case Command::Kind::Move:
    case Command::Kind::DblClick:
    case Command::Kind::Tap:
    case Command::Kind::Touch:
      if (auto e = coords()) return *e;
      break;
    case Command::Kind::Click:
    case Command::Kind::Down:
    case Command::Kind::Up:
      if (auto e = coords()) return *e;
      if (nargs == 3) {
        std::string b = Lower(tok[3]);
        if (b == "left") {
          c.button = 0;
        } else if (b == "right") {
          c.button = 1;
        } else if (b == "middle") {
          c.button = 2;
        } else {
          return fail("bad button '" + tok[3] + "' (left, right or middle)");
        }
      }
      break;
    case Command::Kind::Key: {
      std::string k = Lower(tok[1]);
      if (const NamedKey* named = FindKey(k)) {
        c.key = named->key;
        c.ch = named->ch;
      } else if (k == "backspace") {
        c.ch = 8;
      } else if (auto ch = OneCharacter(tok[1])) {
        c.ch = *ch;
      } else {
        return fail("bad key '" + tok[1] + "' (a key's name or one character)");
      }
      break;
    }
    case Command::Kind::KeyDown:
    case Command::Kind::KeyUp: {
      const NamedKey* named = FindKey(Lower(tok[1]));
      if (!named) return fail("bad key '" + tok[1] + "' (esc, enter, space, tab, left, right, up, down or parents)");
      c.key = named->key;
      if (c.kind == Command::Kind::KeyDown) c.ch = named->ch;
      break;
    }
    case Command::Kind::Type: {
      // The text keeps its inner spacing: everything after the command word.
      size_t p = line.find_first_of(" \t\r\n\v\f");
      while (p < line.size() && IsSpace(line[p])) ++p;
      c.text = line.substr(p);
      break;
    }
    case Command::Kind::Animal:
      if (!ParseNumber(tok[1], 0, 1000000, c.code)) return fail("bad animal code '" + tok[1] + "'");
      break;
    case Command::Kind::Shot:
      if (tok[1] == "." || tok[1] == ".." || tok[1].find_first_of("/\\") != std::string::npos) {
        return fail("bad shot name '" + tok[1] + "' (a plain file name)");
      }
      c.text = tok[1];
      break;
    case Command::Kind::Microphone:
      c.text = tok[1] == "none" ? "" : tok[1];
      break;
    case Command::Kind::Ok:
    case Command::Kind::Cancel:
    case Command::Kind::Dump:
      break;
  }
  return c;
}

Script ParseScript(const std::string& text) {
  Script s;
  std::istringstream in(text);
  std::string line;
  int n = 0;
  while (std::getline(in, line)) {
    ++n;
    LineResult r = ParseLine(line, n);
    if (auto* e = std::get_if<ParseError>(&r)) {
      s.error = *e;
      s.commands.clear();
      return s;
    }
    if (auto* c = std::get_if<Command>(&r)) s.commands.push_back(std::move(*c));
  }
  return s;
}

}  // namespace ozzel::sim
