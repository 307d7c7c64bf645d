// The datagen command as the run command and the tests use it: build, check, register, fail loudly.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/fs/fs.h"
#include "platform/registry/registry.h"

namespace {

namespace stdfs = std::filesystem;

struct Result {
  int code = -1;
  std::string output;  // stdout and stderr together
};

Result Datagen(const std::string& env, const std::string& args) {
  const std::string cmd = env + " '" OZZEL_BINARY_DIR "/tools/datagen/datagen' " + args + " 2>&1";
  Result r;
  std::FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) r.output.append(buf.data(), n);
  const int status = ::pclose(p);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

class DatagenCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!stdfs::exists(OZZEL_BINARY_DIR "/tools/datagen/datagen")) GTEST_SKIP() << "datagen is not built";
    dir_ = stdfs::temp_directory_path() / ("datagen_cli_" + std::to_string(::getpid()));
    stdfs::remove_all(dir_);
    stdfs::create_directories(dir_);
  }
  void TearDown() override { stdfs::remove_all(dir_); }
  stdfs::path dir_;
};

TEST_F(DatagenCommand, RegisterWritesTheAbsoluteRootIntoTheSettingsStore) {
  const std::string reg = (dir_ / "registry.reg").string();
  const Result r = Datagen("cd '" + dir_.string() + "' && OZZEL_REGISTRY='" + reg + "'", "--quiet --register medium");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(r.output, "");
  const auto v = plat::Registry(reg).Read("Software\\Orvel Team\\BM4\\Odklon", "kde_je_BM4");
  ASSERT_TRUE(v);
  EXPECT_EQ(v->text, (dir_ / "medium").string());
}

// Festival speaks Czech (dita) and English (slt); espeak-ng the rest, and Czech too when Festival is
// missing or cannot load the voice, saying why.
TEST_F(DatagenCommand, TheVoiceAndItsFallback) {
  EXPECT_EQ(Datagen("", "--voice").output, "Festival czech_dita\n");
  EXPECT_EQ(Datagen("", "--voice --language en").output, "Festival cmu_us_slt_arctic_hts\n");
  EXPECT_EQ(Datagen("", "--voice --language de").output, "espeak-ng de+f3\n");
  EXPECT_EQ(Datagen("OZZEL_FESTIVAL=/nonexistent/festival", "--voice").output,
            "espeak-ng cs+f3 (Festival not found; packages festival festival-czech festvox-czech-dita)\n");
  // A Festival that cannot find the voice answers as Festival does, with a Scheme error.
  const stdfs::path fake = dir_ / "festival";
  std::ofstream(fake) << "#!/bin/sh\nwhile read -r line; do case \"$line\" in\n"
                         "  *voice_*) echo 'SIOD ERROR: unbound variable : voice_czech_dita' >&2;;\n"
                         "  *ozzel-done*) echo ozzel-done >&2;;\nesac; done\n";
  stdfs::permissions(fake, stdfs::perms::owner_all);
  const Result r = Datagen("OZZEL_FESTIVAL='" + fake.string() + "'", "--voice");
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(r.output.rfind("espeak-ng cs+f3 (Festival has no voice czech_dita (SIOD ERROR: unbound variable", 0), 0u)
      << r.output;
}

// Festival installed but failing at a first start (a passing fault): the medium espeak-ng spoke is stamped as
// the fallback's, kept while Festival still fails, and made again by Festival once it works.
TEST_F(DatagenCommand, AMediumOfTheFallbackVoiceIsMadeAgainOnceFestivalWorks) {
  const stdfs::path fake = dir_ / "festival";
  std::ofstream(fake) << "#!/bin/sh\nexit 1\n";
  stdfs::permissions(fake, stdfs::perms::owner_all);
  const std::string failing = "OZZEL_FESTIVAL='" + fake.string() + "'", root = (dir_ / "medium").string();
  const std::string stamp = root + "/bm4/_ozzel/.datagen-stamp";
  Result r = Datagen(failing, "--quiet --language cs '" + root + "'");
  ASSERT_EQ(r.code, 0) << r.output;
  const auto first = plat::fs::ReadFile(stamp);
  ASSERT_TRUE(first);
  EXPECT_NE(first->find(" fallback\n"), std::string::npos) << *first;
  EXPECT_NE(first->find("voice espeak-ng cs+f3 (Festival"), std::string::npos) << *first;
  EXPECT_EQ(Datagen(failing, "--check --language cs '" + root + "'").code, 1);
  EXPECT_EQ(Datagen("", "--check --language cs '" + root + "'").code, 1);

  const auto made = stdfs::last_write_time(stamp);
  r = Datagen(failing, "--quiet --language cs '" + root + "'");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(stdfs::last_write_time(stamp), made);  // still failing: kept, not made again

  r = Datagen("", "--quiet --language cs '" + root + "'");
  ASSERT_EQ(r.code, 0) << r.output;
  const auto proper = plat::fs::ReadFile(stamp);
  ASSERT_TRUE(proper);
  EXPECT_EQ(proper->find("fallback"), std::string::npos) << *proper;
  EXPECT_NE(proper->find("voice Festival czech_dita\n"), std::string::npos) << *proper;
  EXPECT_EQ(Datagen("", "--check --language cs '" + root + "'").code, 0);
}

TEST_F(DatagenCommand, LocaleAndOverrideChooseTheLanguage) {
  EXPECT_EQ(Datagen("env -u OZZEL_LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=de_DE.UTF-8", "--locale").output, "de\n");
  EXPECT_EQ(Datagen("env -u OZZEL_LANGUAGE LC_ALL= LC_MESSAGES=pl_PL.UTF-8 LANG=de_DE.UTF-8", "--locale").output,
            "pl\n");
  EXPECT_EQ(Datagen("env -u OZZEL_LANGUAGE LC_ALL=ja_JP.UTF-8", "--locale").output, "cs\n");
  EXPECT_EQ(Datagen("env OZZEL_LANGUAGE=fr LC_ALL=de_DE.UTF-8", "--locale").output, "fr\n");
  EXPECT_EQ(Datagen("", "--language xx --check /nonexistent").code, 2);
}

TEST_F(DatagenCommand, WrongUsageIsRefused) {
  EXPECT_EQ(Datagen("", "").code, 2);
  EXPECT_EQ(Datagen("", "--register").code, 2);
  EXPECT_EQ(Datagen("", "--bogus x").code, 2);
}

}  // namespace
