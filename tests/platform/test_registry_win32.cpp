// The settings on Windows: the real registry keeps types and text; the .reg file behaves as on Linux.
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/registry/registry.h"
#include "platform/win32/utf.h"

namespace plat {
namespace {

namespace stdfs = std::filesystem;

TEST(SystemRegistry, ValuesRoundTripWithTheirTypesUnderHkcu) {
  const std::string key = "Software\\Ozzel\\Test-" + std::to_string(GetCurrentProcessId());
  Registry reg("");  // no file: the system's registry
  EXPECT_FALSE(reg.KeyExists(key));
  RegValue text{RegType::String, "C:\\Hry\\Bimbalo \xc5\xbelu\xc5\xa5ou\xc4\x8dk\xc3\xbd", 0};
  RegValue expand{RegType::ExpandString, "%USERPROFILE%\\x", 0};
  RegValue count{RegType::Dword, "", 4000000000u};
  ASSERT_TRUE(reg.Write("HKEY_CURRENT_USER\\" + key + "\\", "kde_je_BM4", text));
  ASSERT_TRUE(reg.Write(key, "e", expand));
  ASSERT_TRUE(reg.Write(key, "Ozzel_starty", count));
  EXPECT_TRUE(reg.KeyExists(key));
  EXPECT_EQ(reg.Read(key, "KDE_JE_bm4"), text);  // names without regard to case
  EXPECT_EQ(reg.Read(key, "e"), expand);
  EXPECT_EQ(reg.Read(key, "Ozzel_starty"), count);
  EXPECT_EQ(reg.Read(key, "missing"), std::nullopt);
  EXPECT_FALSE(reg.Write(key, "line\nbreak", count));
  EXPECT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, std::wstring(key.begin(), key.end()).c_str()), ERROR_SUCCESS);
}

class RegFileWin : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = stdfs::temp_directory_path() / ("ozzel-reg-" + std::to_string(GetCurrentProcessId()));
    stdfs::create_directories(dir_);
    path_ = (dir_ / "registry.reg").string();
  }
  void TearDown() override { stdfs::remove_all(dir_); }
  stdfs::path dir_;
  std::string path_;
  const char* key_ = "Software\\Orvel Team\\BM4\\Nastaveni - obecne";
  const RegValue one_{RegType::Dword, "", 1};
};

// What cannot be a settings file is named on stderr, neither read nor replaced; one too large to be
// ours is set aside, said so, and the settings start afresh.
TEST_F(RegFileWin, WhatIsNotASettingsFileIsSaidOnStderrAsOnLinux) {
  auto said = [&](const std::string& path, const std::string& what) {
    ::testing::internal::CaptureStderr();
    Registry r(path);
    EXPECT_FALSE(r.Read(key_, "Ozzel_starty"));
    EXPECT_FALSE(r.Write(key_, "Ozzel_starty", one_)) << what;
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(path + ": " + what), std::string::npos) << err;
    EXPECT_NE(err.find("; no settings are read from it or saved to it"), std::string::npos) << err;
  };
  stdfs::create_directory(path_);
  said(path_, "is a directory, not a settings file; no settings are read from it or saved to it");
  stdfs::remove(path_);

  const std::string pipe = "\\\\.\\pipe\\ozzel-reg-" + std::to_string(GetCurrentProcessId());
  HANDLE server = CreateNamedPipeW(win32::Wide(pipe).c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE,
                                   PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  // Looking at a pipe connects to it, so the read may find it busy: either way it is named, never waited on.
  said(pipe, "");
  CloseHandle(server);

  std::ofstream(path_, std::ios::binary) << "REGEDIT4\n";
  HANDLE held = CreateFileW(win32::Wide(path_).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  said(path_, "cannot be read: ");  // the system's words for a file another program holds
  CloseHandle(held);

  std::ofstream(path_, std::ios::binary) << "REGEDIT4\n" << std::string(17u << 20, ';');
  ::testing::internal::CaptureStderr();
  Registry r(path_);
  EXPECT_TRUE(r.Write(key_, "Ozzel_starty", one_));
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(path_ + ": larger than 16 MB, so not a settings file; set aside as " + path_ + ".corrupt-"),
            std::string::npos) << err;
  EXPECT_EQ(r.Read(key_, "Ozzel_starty"), one_);
  int aside = 0;
  for (auto& e : stdfs::directory_iterator(dir_))
    aside += e.path().filename().string().rfind("registry.reg.corrupt-", 0) == 0 && stdfs::file_size(e) > (16u << 20);
  EXPECT_EQ(aside, 1);
}

// A settled file is parsed once; a change made in place, its size kept, is still seen.
TEST_F(RegFileWin, AFileChangedInPlaceIsReadAgain) {
  std::ofstream(path_, std::ios::binary) << "REGEDIT4\n\n[HKEY_CURRENT_USER\\" << key_ << "]\n\"v\"=\"a\"\n";
  HANDLE h = CreateFileW(win32::Wide(path_).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
  t.QuadPart -= 3600ull * 10000000;  // an hour ago
  FILETIME old{t.LowPart, t.HighPart};
  ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &old));
  CloseHandle(h);
  Registry r(path_);
  EXPECT_EQ(r.Read(key_, "v"), (RegValue{RegType::String, "a", 0}));
  {
    std::fstream f(path_, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(-3, std::ios::end);
    f << "b";
  }
  EXPECT_EQ(r.Read(key_, "v"), (RegValue{RegType::String, "b", 0}));
}

}  // namespace
}  // namespace plat
#endif
