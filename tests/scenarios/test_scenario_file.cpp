// The scenario harness's own logic: headers, expansion and trace matching.
#include <gtest/gtest.h>

#include "tests/scenarios/scenario_file.h"

namespace ozzel::scenario {
namespace {

TEST(ScenarioFile, ReadsHeadersAndExpectations) {
  ParsedScenario p = ParseScenario(
      "# start-up on a clean store\n"
      "#! args: --seed 1   --data $MEDIUM\n"
      "#! args: --no-sound-device\n"
      "#! exit: 3\n"
      "#! timeout: 20\n"
      "#! stdin\n"
      "#! produces: $TMP/a.png\n"
      "#! absent: msgbox error *\n"
      "#! mkdir: $TMP/cd/bm4\n"
      "#! copy: $MEDIUM/bm4 $TMP/cd/bm4\n"
      "#! write: $TMP/r.reg REGEDIT4\\n\\n[x]\\\\y\n"
      "wait 500\n"
      "  #>   show   form_ozzel \n"
      "#> 500 timer starter off\n");
  ASSERT_EQ(p.error, "");
  const Scenario& s = p.scenario;
  EXPECT_EQ(s.args, (std::vector<std::string>{"--seed", "1", "--data", "$MEDIUM", "--no-sound-device"}));
  EXPECT_EQ(s.exit_code, 3);
  EXPECT_EQ(s.timeout_s, 20);
  EXPECT_TRUE(s.use_stdin);
  EXPECT_TRUE(s.uses_medium);
  ASSERT_EQ(s.absent.size(), 1u);
  EXPECT_EQ(s.absent[0].pattern, "msgbox error *");
  ASSERT_EQ(s.expected.size(), 2u);
  EXPECT_EQ(s.expected[0].pattern, "show   form_ozzel");
  EXPECT_EQ(s.expected[0].line, 13);
  EXPECT_EQ(s.produces, std::vector<std::string>{"$TMP/a.png"});
  ASSERT_EQ(s.setup.size(), 3u);
  EXPECT_EQ(s.setup[1].args, (std::vector<std::string>{"$MEDIUM/bm4", "$TMP/cd/bm4"}));
  EXPECT_EQ(s.setup[2].args[1], "REGEDIT4\n\n[x]\\y");
}

TEST(ScenarioFile, DefaultsAndErrors) {
  ParsedScenario p = ParseScenario("wait 10\n");
  ASSERT_EQ(p.error, "");
  EXPECT_EQ(p.scenario.exit_code, 0);
  EXPECT_FALSE(p.scenario.use_stdin);
  EXPECT_FALSE(p.scenario.uses_medium);
  EXPECT_EQ(ParseScenario("wait 1\n#! exit: x\n").error, "line 2: bad number");
  EXPECT_EQ(ParseScenario("#! colour: red\n").error, "line 1: unknown header 'colour'");
  EXPECT_EQ(ParseScenario("#>\n").error, "line 1: empty expectation");
  EXPECT_NE(ParseScenario("#! copy: a\n").error, "");
}

TEST(ScenarioFile, ExpandsEveryOccurrence) {
  std::vector<std::pair<std::string, std::string>> v{{"TMP", "/tmp/x"}, {"MEDIUM", "/m"}};
  EXPECT_EQ(Expand("--registry $TMP/r.reg", v), "--registry /tmp/x/r.reg");
  EXPECT_EQ(Expand("$TMP:$TMP:$MEDIUM", v), "/tmp/x:/tmp/x:/m");
  EXPECT_EQ(Expand("$TMPDIR", {{"TMP", "$TMP"}}), "$TMPDIR");  // a value holding its own name does not loop
}

TEST(ScenarioMatch, TimeIsOptionalAndWildcardsCoverTokens) {
  const std::string line = "500 wav open C:\\DATA\\bm4\\_ozzel\\zvuky\\oz_uvod.wav";
  EXPECT_TRUE(LineMatches("wav open C:\\DATA\\bm4\\_ozzel\\zvuky\\oz_uvod.wav", line));
  EXPECT_TRUE(LineMatches("500 wav open *", line));
  EXPECT_FALSE(LineMatches("501 wav open *", line));
  EXPECT_TRUE(LineMatches("* open *", line));
  EXPECT_FALSE(LineMatches("wav open", line));          // a line is matched whole
  EXPECT_FALSE(LineMatches("wav open * extra", line));
  EXPECT_FALSE(LineMatches("wav", "wav"));               // the first token of a line is its time
  EXPECT_TRUE(LineMatches("wav **", line));
  EXPECT_TRUE(LineMatches("** oz_uvod.wav", "0 x oz_uvod.wav"));
  EXPECT_TRUE(LineMatches("state ** QuitRequested=1 **", "9 state A=1 QuitRequested=1 B=0"));
  EXPECT_FALSE(LineMatches("state ** QuitRequested=1 **", "9 state A=1 QuitRequested=0 B=0"));
  EXPECT_TRUE(LineMatches("end running **", "9 end running"));
  // Inside a token, `*` is any run of characters.
  const std::string reg = "9 registry write Software\\Orvel Team\\BM4\\Odklon|kde_je_BM4|/media/cd";
  EXPECT_TRUE(LineMatches("registry write ** *|kde_je_BM4|*", reg));
  EXPECT_FALSE(LineMatches("registry write ** *|WAV*", reg));
  EXPECT_TRUE(LineMatches("wav open *oz_uvod.wav", line));
  EXPECT_FALSE(LineMatches("wav open *oz_uvod.WAV", line));
}

Scenario WithExpectations(std::vector<std::string> expected, std::vector<std::string> absent = {}) {
  Scenario s;
  int n = 1;
  for (auto& e : expected) s.expected.push_back({n++, e});
  for (auto& a : absent) s.absent.push_back({n++, a});
  return s;
}

TEST(ScenarioMatch, ExpectationsMustAppearInOrder) {
  std::vector<std::string> trace{"0 show FORMPozadi", "0 show form_ozzel", "500 timer starter off",
                                 "500 wav open X", "500 wav play", "2000 wav end"};
  EXPECT_EQ(CheckTrace(WithExpectations({"show form_ozzel", "wav open *", "wav end"}), trace), "");
  // The same line cannot satisfy two expectations.
  EXPECT_NE(CheckTrace(WithExpectations({"wav play", "wav play"}), trace), "");
  std::string out = CheckTrace(WithExpectations({"wav play", "timer starter off"}), trace);
  EXPECT_NE(out.find("line 2: expected 'timer starter off' after trace line 5 '500 wav play'"), std::string::npos)
      << out;
  EXPECT_NE(out.find("appears earlier, at trace line 3"), std::string::npos) << out;
  EXPECT_NE(CheckTrace(WithExpectations({"exit 0"}), trace).find("(from the start)"), std::string::npos);
}

TEST(ScenarioMatch, AbsentLinesAreSearchedEverywhere) {
  std::vector<std::string> trace{"0 show form_ozzel", "10 msgbox error Error|Soubor nenalezen"};
  EXPECT_EQ(CheckTrace(WithExpectations({}, {"msgbox plain **"}), trace), "");
  std::string out = CheckTrace(WithExpectations({}, {"msgbox error **"}), trace);
  EXPECT_NE(out.find("must not appear, but trace line 2"), std::string::npos) << out;
  EXPECT_EQ(CheckTrace(WithExpectations({}), {}), "");
}

}  // namespace
}  // namespace ozzel::scenario
