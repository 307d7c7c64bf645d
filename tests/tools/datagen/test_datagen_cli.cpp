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

TEST_F(DatagenCommand, WrongUsageIsRefused) {
  EXPECT_EQ(Datagen("", "").code, 2);
  EXPECT_EQ(Datagen("", "--register").code, 2);
  EXPECT_EQ(Datagen("", "--bogus x").code, 2);
}

}  // namespace
