// Scenario files (*.scn): a simulator script plus "#!" headers and "#>" trace expectations.
//
//   #! args: --seed 1 --data $MEDIUM     sim arguments ($MEDIUM: the demo medium, $TMP: a fresh dir)
//   #! exit: 0                           expected exit code (0 when not given)
//   #! absent: msgbox *                  no trace line may match this
//   #! mkdir: $TMP/cd/bm4/_ozzel/obrazky set-up before the run: make a directory,
//   #! copy: $MEDIUM/bm4 $TMP/cd/bm4     copy a file or tree,
//   #! write: $TMP/r.reg REGEDIT4\n...   write a file (\n and \\ escapes)
//   #! produces: $TMP/shots/menu.png     a non-empty file the run must leave behind
//   #! stdin                             feed the script through stdin instead of --script
//   #! timeout: 60                       real seconds before the run is killed
//   #> 500 show btn_obraz1               this line must follow the previous expectation's line
//
// $MEDIUM and $TMP expand everywhere in the file, script lines and expectations included.
// An expectation without a leading time matches the line after its time stamp. In patterns, `*`
// stands for one token and `**` for any number of tokens (none included); inside a longer token,
// `*` stands for any run of characters (`*|kde_je_BM4|*`).
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace ozzel::scenario {

struct SetupStep {
  enum class Kind { Mkdir, Copy, Write } kind;
  std::vector<std::string> args;  // Mkdir: path; Copy: from, to; Write: path, content
};

struct Expectation {
  int line = 0;  // in the .scn file
  std::string pattern;
};

struct Scenario {
  std::vector<std::string> args;
  int exit_code = 0;
  std::vector<Expectation> expected;
  std::vector<Expectation> absent;
  std::vector<SetupStep> setup;
  std::vector<std::string> produces;
  bool use_stdin = false;
  int timeout_s = 60;
  bool uses_medium = false;  // $MEDIUM appears anywhere
};

// Parses the headers and expectations; errors name the line.
struct ParsedScenario {
  Scenario scenario;
  std::string error;
};
ParsedScenario ParseScenario(const std::string& text);

// Replaces every "$NAME" of vars in s.
std::string Expand(std::string s, const std::vector<std::pair<std::string, std::string>>& vars);

// Does a trace line ("T EVENT ARGS") match a pattern? Without a leading number the pattern is
// compared with the line minus its time.
bool LineMatches(const std::string& pattern, const std::string& line);

// Checks the ordered expectations and the absent patterns against the trace; an empty string when all
// hold, else what went wrong.
std::string CheckTrace(const Scenario& s, const std::vector<std::string>& lines);

}  // namespace ozzel::scenario
