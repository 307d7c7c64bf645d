// Scenario file parsing and trace matching.
#include "tests/scenarios/scenario_file.h"

#include <cctype>
#include <charconv>
#include <sstream>

namespace ozzel::scenario {

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

std::vector<std::string> Tokens(const std::string& s) {
  std::vector<std::string> out;
  std::istringstream in(s);
  std::string t;
  while (in >> t) out.push_back(t);
  return out;
}

std::string Unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'n' || s[i + 1] == '\\')) {
      out += s[i + 1] == 'n' ? '\n' : '\\';
      ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

// One token against a pattern token in which `*` stands for any run of characters.
bool TokenMatches(const std::string& p, const std::string& t) {
  if (p == "*") return true;
  if (p.find('*') == std::string::npos) return p == t;
  size_t pi = 0, ti = 0, star = std::string::npos, mark = 0;
  while (ti < t.size()) {
    if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = ti;
    } else if (pi < p.size() && p[pi] == t[ti]) {
      ++pi, ++ti;
    } else if (star != std::string::npos) {
      pi = star + 1;
      ti = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

// Table over (pattern position, token position): linear in each, whatever the number of "**".
bool TokensMatch(const std::vector<std::string>& pat, const std::vector<std::string>& tok) {
  const size_t np = pat.size(), nt = tok.size();
  // ok[i][j]: pat[i..] matches tok[j..]
  std::vector<std::vector<char>> ok(np + 1, std::vector<char>(nt + 1, 0));
  ok[np][nt] = 1;
  for (size_t i = np; i-- > 0;) {
    for (size_t j = nt + 1; j-- > 0;) {
      if (pat[i] == "**") {
        ok[i][j] = ok[i + 1][j] || (j < nt && ok[i][j + 1]);
      } else {
        ok[i][j] = j < nt && TokenMatches(pat[i], tok[j]) && ok[i + 1][j + 1];
      }
    }
  }
  return ok[0][0];
}

}  // namespace

ParsedScenario ParseScenario(const std::string& text) {
  ParsedScenario r;
  Scenario& s = r.scenario;
  std::istringstream in(text);
  std::string raw;
  int n = 0;
  auto fail = [&](const std::string& why) {
    r.error = "line " + std::to_string(n) + ": " + why;
    return r;
  };
  while (std::getline(in, raw)) {
    ++n;
    if (raw.find("$MEDIUM") != std::string::npos) s.uses_medium = true;
    std::string line = Trim(raw);
    if (line.rfind("#>", 0) == 0) {
      std::string p = Trim(line.substr(2));
      if (p.empty()) return fail("empty expectation");
      s.expected.push_back({n, p});
      continue;
    }
    if (line.rfind("#!", 0) != 0) continue;
    std::string h = Trim(line.substr(2));
    size_t colon = h.find(':');
    std::string name = Trim(h.substr(0, colon));
    std::string value = colon == std::string::npos ? "" : Trim(h.substr(colon + 1));
    if (name == "args") {
      for (auto& t : Tokens(value)) s.args.push_back(t);
    } else if (name == "exit" || name == "timeout") {
      int v = 0;
      auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), v);
      if (ec != std::errc() || p != value.data() + value.size() || value.empty()) return fail("bad number");
      (name == "exit" ? s.exit_code : s.timeout_s) = v;
    } else if (name == "absent") {
      if (value.empty()) return fail("empty absent pattern");
      s.absent.push_back({n, value});
    } else if (name == "produces") {
      if (value.empty()) return fail("produces: PATH");
      s.produces.push_back(value);
    } else if (name == "stdin") {
      s.use_stdin = true;
    } else if (name == "mkdir") {
      auto t = Tokens(value);
      if (t.size() != 1) return fail("mkdir: one path");
      s.setup.push_back({SetupStep::Kind::Mkdir, t});
    } else if (name == "copy") {
      auto t = Tokens(value);
      if (t.size() != 2) return fail("copy: FROM TO");
      s.setup.push_back({SetupStep::Kind::Copy, t});
    } else if (name == "write") {
      size_t sp = value.find_first_of(" \t");
      if (value.empty()) return fail("write: PATH TEXT");
      std::string path = value.substr(0, sp);
      std::string content = sp == std::string::npos ? "" : Unescape(Trim(value.substr(sp)));
      s.setup.push_back({SetupStep::Kind::Write, {path, content}});
    } else {
      return fail("unknown header '" + name + "'");
    }
  }
  return r;
}

std::string Expand(std::string s, const std::vector<std::pair<std::string, std::string>>& vars) {
  for (const auto& [name, value] : vars) {
    std::string key = "$" + name;
    for (size_t p = s.find(key); p != std::string::npos; p = s.find(key, p + value.size())) {
      s.replace(p, key.size(), value);
    }
  }
  return s;
}

bool LineMatches(const std::string& pattern, const std::string& line) {
  std::vector<std::string> pat = Tokens(pattern);
  std::vector<std::string> tok = Tokens(line);
  if (pat.empty()) return false;
  bool timed = std::isdigit(static_cast<unsigned char>(pat[0][0])) != 0;
  if (!timed) {
    if (tok.empty()) return false;
    tok.erase(tok.begin());
  }
  return TokensMatch(pat, tok);
}

std::string CheckTrace(const Scenario& s, const std::vector<std::string>& lines) {
  std::string problems;
  size_t next = 0;
  size_t last_match = SIZE_MAX;
  for (const Expectation& e : s.expected) {
    size_t i = next;
    while (i < lines.size() && !LineMatches(e.pattern, lines[i])) ++i;
    if (i == lines.size()) {
      problems += "line " + std::to_string(e.line) + ": expected '" + e.pattern + "'";
      problems += last_match == SIZE_MAX ? " (from the start)"
                                         : " after trace line " + std::to_string(last_match + 1) + " '" +
                                               lines[last_match] + "'";
      // Say when it did appear, only too early: the usual mistake.
      for (size_t j = 0; j < next && j < lines.size(); ++j) {
        if (LineMatches(e.pattern, lines[j])) {
          problems += " (it appears earlier, at trace line " + std::to_string(j + 1) + ")";
          break;
        }
      }
      problems += "\n";
      break;  // later expectations are meaningless once the order is lost
    }
    last_match = i;
    next = i + 1;
  }
  for (const Expectation& a : s.absent) {
    for (size_t i = 0; i < lines.size(); ++i) {
      if (LineMatches(a.pattern, lines[i])) {
        problems += "line " + std::to_string(a.line) + ": '" + a.pattern + "' must not appear, but trace line " +
                    std::to_string(i + 1) + " is '" + lines[i] + "'\n";
        break;
      }
    }
  }
  return problems;
}

}  // namespace ozzel::scenario
