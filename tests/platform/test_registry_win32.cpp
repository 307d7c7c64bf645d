// The real registry on Windows: values keep their types and text, keys are made as needed.
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/registry/registry.h"

namespace plat {
namespace {

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

}  // namespace
}  // namespace plat
#endif
