// Command-line parsing for ozzel-sim.
#include "sim/options.h"

#include <charconv>

namespace ozzel::sim {

const char kUsage[] =
    "usage: ozzel-sim [--data ROOT] [--registry FILE] [--screen WxH] [--seed N] [--no-sound-device]\n"
    "                 [--shots DIR] [--script FILE]        (script from stdin when --script is absent)\n";

namespace {

template <class T>
bool Number(const std::string& s, T lo, T hi, T& out) {
  T v{};
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size() || s.empty() || v < lo || v > hi) return false;
  out = v;
  return true;
}

}  // namespace

std::variant<SimOptions, std::string> ParseArgs(const std::vector<std::string>& args) {
  SimOptions o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) -> bool {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--no-sound-device") {
      o.sound_device = false;
    } else if (a == "--data" || a == "--registry" || a == "--shots" || a == "--script" || a == "--screen" ||
               a == "--seed") {
      if (!value(v)) return a + " needs a value";
      if (a == "--data") {
        o.data = v;
      } else if (a == "--registry") {
        if (v.empty()) return "--registry needs a file name";
        o.registry = v;
      } else if (a == "--shots") {
        if (v.empty()) return "--shots needs a directory";
        o.shots = v;
      } else if (a == "--script") {
        if (v.empty()) return "--script needs a file name";
        o.script = v;
      } else if (a == "--screen") {
        size_t x = v.find_first_of("xX");
        int w = 0, h = 0;
        if (x == std::string::npos || !Number(v.substr(0, x), 1, 16384, w) ||
            !Number(v.substr(x + 1), 1, 16384, h)) {
          return "bad --screen '" + v + "' (WxH)";
        }
        o.screen = {w, h};
      } else {
        uint32_t s = 0;
        if (!Number<uint32_t>(v, 0, UINT32_MAX, s)) return "bad --seed '" + v + "'";
        o.seed = s;
      }
    } else {
      return "unknown option '" + a + "'";
    }
  }
  return o;
}

}  // namespace ozzel::sim
