// The simulator's command line.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/geometry.h"

namespace ozzel::sim {

struct SimOptions {
  std::optional<std::string> data;      // written as "kde_je_BM4" before start-up
  std::optional<std::string> registry;  // settings store; a fresh temporary file when absent
  plat::Size screen{1024, 768};
  std::optional<uint32_t> seed;
  bool sound_device = true;
  std::optional<std::string> shots;   // directory for `shot`
  std::optional<std::string> script;  // stdin when absent
  bool help = false;
};

extern const char kUsage[];

// args excludes the program name. Returns the options or an error message.
std::variant<SimOptions, std::string> ParseArgs(const std::vector<std::string>& args);

}  // namespace ozzel::sim
