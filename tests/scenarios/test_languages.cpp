// The demo medium in every language it can be built in: the game asks, the child answers, the examiner praises.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/scenarios/sim_session.h"

namespace ozzel::scenario {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool Has(const std::vector<std::string>& lines, const std::string& body) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return SimSession::Body(l) == body; });
}

class Language : public ::testing::TestWithParam<std::string> {};

TEST_P(Language, QuestionsAreAskedAnsweredAndPraised) {
  const std::string lang = GetParam();
  std::string why;
  auto medium = BuiltDemoMedium(why, lang);
  if (!medium) GTEST_SKIP() << why;
  const fs::path data = fs::path(*medium) / "bm4" / "_ozzel";
  EXPECT_NE(Slurp(data / ".datagen-stamp").find("\nlanguage " + lang + "\n"), std::string::npos);
  if (lang != "cs") {
    std::string czech_why;
    if (auto czech = BuiltDemoMedium(czech_why)) {
      EXPECT_NE(Slurp(data / "zvuky" / "oz_D_a5.wav"), Slurp(fs::path(*czech) / "bm4/_ozzel/zvuky/oz_D_a5.wav"))
          << "the question is not in " << lang;
    }
  }

  char tmpl[] = "/tmp/ozzel-lang-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const fs::path tmp = tmpl;
  SimSession s({"--data", *medium, "--registry", (tmp / "registry.reg").string(), "--seed", "1"}, tmp, 120);
  ASSERT_TRUE(s.started());
  const std::string dir = *medium + "\\bm4\\_ozzel\\zvuky\\";
  s.Step("wait 600");
  s.Step("key esc");
  s.Step("wait 100");
  s.Step("click 72 446");  // the home animals
  s.Step("wait 2000");
  EXPECT_TRUE(Has(s.trace(), "wav open " + dir + "oz_D_a5.wav")) << s.Tail();
  ASSERT_GE(s.questions().size(), 2u) << s.Tail();
  EXPECT_EQ(s.questions()[0], "1:D:5");
  auto got = s.Step("animal 5");
  int x = 0, y = 0;
  for (const std::string& l : got)
    if (SimSession::IsEvent(l, "animal")) std::sscanf(SimSession::Body(l).c_str(), "animal 5 %d %d", &x, &y);
  ASSERT_GT(x + y, 0) << s.Tail();
  s.Step("click " + std::to_string(x) + " " + std::to_string(y));
  s.Step("wait 8000");
  EXPECT_EQ(s.Int("GoodCount"), 1) << s.Tail();
  for (const char* file : {"oz_brav.wav", "oz_D_J5.wav", "oz_D_b6.wav"})
    EXPECT_TRUE(Has(s.trace(), "wav open " + dir + file)) << file << "\n" << s.Tail();
  for (const std::string& l : s.trace())
    for (const char* bad : {"open-fail", "picture-fail", "msgbox"})
      EXPECT_EQ(l.find(bad), std::string::npos) << l;
  s.Step("click 580 440");  // the exit button
  s.Step("wait 3000");
  EXPECT_EQ(s.Finish(), 0) << s.Tail();
  std::error_code ec;
  if (!HasFailure()) fs::remove_all(tmp, ec);
}

INSTANTIATE_TEST_SUITE_P(Medium, Language, ::testing::Values("cs", "sk", "en", "de", "pl", "fr", "es"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace ozzel::scenario
