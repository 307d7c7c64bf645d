// DOS-style paths on the host: drive letters, separators, case-insensitive lookup, chdir, reads.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>

#include "platform/fs/fs.h"

namespace fs = plat::fs;
namespace stdfs = std::filesystem;

namespace {

class FsTree : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string t = stdfs::temp_directory_path() / "ozzel-fs-XXXXXX";
    root_ = ::mkdtemp(t.data());
    stdfs::create_directories(root_ + "/Bm4/_OZZEL/Zvuky");
    stdfs::create_directories(root_ + "/Bm4/_OZZEL/obrazky");
    std::ofstream(root_ + "/Bm4/_OZZEL/Zvuky/OZ_IKO1.WAV") << "RIFF";
    char cwd[PATH_MAX];
    cwd_ = ::getcwd(cwd, sizeof cwd) ? cwd : "/";
  }
  void TearDown() override {
    if (::chdir(cwd_.c_str()) != 0) ADD_FAILURE() << "cannot restore cwd";
    stdfs::remove_all(root_);
  }
  std::string root_, cwd_;
};

}  // namespace

TEST(FsHostPath, DriveLettersAndSeparators) {
  EXPECT_EQ(fs::HostPath("D:\\"), "/");
  EXPECT_EQ(fs::HostPath("D:"), "/");
  EXPECT_EQ(fs::HostPath("\\"), "/");
  EXPECT_EQ(fs::HostPath("d:\\no_such_dir_ozzel\\x.bmp"), "/no_such_dir_ozzel/x.bmp");
  EXPECT_EQ(fs::HostPath("\\no_such_dir_ozzel\\a\\"), "/no_such_dir_ozzel/a/");
  EXPECT_EQ(fs::HostPath(""), "");
}

TEST_F(FsTree, ComponentsMatchWithoutRegardToCase) {
  // A Linux root followed by DOS components, as the data directory is built.
  EXPECT_EQ(fs::HostPath(root_ + "\\bm4\\_ozzel\\zvuky\\oz_iko1.wav"), root_ + "/Bm4/_OZZEL/Zvuky/OZ_IKO1.WAV");
  EXPECT_EQ(fs::HostPath(root_ + "\\BM4\\_Ozzel\\OBRAZKY"), root_ + "/Bm4/_OZZEL/obrazky");
  // The part that does not exist is kept as written.
  EXPECT_EQ(fs::HostPath(root_ + "\\bm4\\Hudba\\Music.MID"), root_ + "/Bm4/Hudba/Music.MID");
  EXPECT_TRUE(fs::DirectoryExists(root_ + "\\bm4\\_ozzel\\OBRAZKY"));
  EXPECT_FALSE(fs::DirectoryExists(root_ + "\\bm4\\_ozzel\\zvuky\\oz_iko1.wav"));
  EXPECT_TRUE(fs::FileExists(root_ + "\\BM4\\_OZZEL\\ZVUKY\\Oz_Iko1.wav"));
  EXPECT_FALSE(fs::FileExists(root_ + "\\bm4\\_ozzel\\zvuky"));
  EXPECT_FALSE(fs::FileExists(root_ + "\\bm4\\_ozzel\\zvuky\\oz_iko2.wav"));
}

TEST_F(FsTree, ExactSpellingWinsOverOtherCases) {
  stdfs::create_directories(root_ + "/dup/abc");
  stdfs::create_directories(root_ + "/dup/ABC");
  EXPECT_EQ(fs::HostPath(root_ + "/dup/ABC"), root_ + "/dup/ABC");
  EXPECT_EQ(fs::HostPath(root_ + "/dup/abc"), root_ + "/dup/abc");
  // No exact match: the choice must not depend on directory order.
  EXPECT_EQ(fs::HostPath(root_ + "/dup/Abc"), root_ + "/dup/ABC");
}

TEST_F(FsTree, CurrentDirectoryIsReallyChanged) {
  ASSERT_TRUE(fs::SetCurrentDir(root_ + "\\BM4\\"));
  EXPECT_EQ(stdfs::current_path(), stdfs::path(root_ + "/Bm4"));
  // Relative paths now resolve from there and stay relative.
  EXPECT_EQ(fs::HostPath("_ozzel\\ZVUKY"), "_OZZEL/Zvuky");
  EXPECT_TRUE(fs::DirectoryExists("_ozzel\\obrazky"));
  EXPECT_FALSE(fs::SetCurrentDir(root_ + "\\missing"));
  EXPECT_FALSE(fs::SetCurrentDir(""));
  EXPECT_EQ(stdfs::current_path(), stdfs::path(root_ + "/Bm4"));
}

TEST_F(FsTree, ReadFileHonoursTheCap) {
  std::string f = root_ + "/Bm4/_OZZEL/Zvuky/OZ_IKO1.WAV";
  EXPECT_EQ(fs::ReadFile(f), "RIFF");
  EXPECT_EQ(fs::ReadFile(f, 4), "RIFF");
  EXPECT_FALSE(fs::ReadFile(f, 3));
  EXPECT_FALSE(fs::ReadFile(root_ + "/none"));
  EXPECT_FALSE(fs::ReadFile(root_));
  std::ofstream(root_ + "/empty");
  EXPECT_EQ(fs::ReadFile(root_ + "/empty"), "");
}
