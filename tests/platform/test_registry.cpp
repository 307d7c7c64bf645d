// The registry file: REGEDIT4 text, typed values, case-insensitive names, safe concurrent updates.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

#include "platform/registry/registry.h"

using namespace plat;
namespace stdfs = std::filesystem;

namespace {

const char* kOdklon = "Software\\Orvel Team\\BM4\\Odklon";
const char* kObecne = "Software\\Orvel Team\\BM4\\Nastaveni - obecne";

RegValue Str(std::string s) { return {RegType::String, std::move(s), 0}; }
RegValue Exp(std::string s) { return {RegType::ExpandString, std::move(s), 0}; }
RegValue Dw(uint32_t d) { return {RegType::Dword, "", d}; }

std::optional<RegValue> Get(const RegData& d, const std::string& key, const std::string& name) {
  auto k = d.keys.find(key);
  if (k == d.keys.end()) return std::nullopt;
  auto v = k->second.values.find(name);
  if (v == k->second.values.end()) return std::nullopt;
  return v->second.second;
}

std::string Slurp(const std::string& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

class RegFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string t = stdfs::temp_directory_path() / "ozzel-reg-XXXXXX";
    dir_ = ::mkdtemp(t.data());
    path_ = dir_ + "/cfg/bimbalo/registry.reg";  // parent directories do not exist yet
  }
  void TearDown() override { stdfs::remove_all(dir_); }
  std::string dir_, path_;
};

const char* kSample =
    "REGEDIT4\r\n"
    "\r\n"
    "; written by another program of the suite\r\n"
    "[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Odklon]\r\n"
    "\"kde_je_BM4\"=\"C:\\\\DATA\\\\\"\r\n"
    "\"Quote\"=\"say \\\"ahoj\\\"\"\r\n"
    "@=\"default\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Nastaveni - obecne]\r\n"
    "\"Ozzel_starty\"=dword:00000003\r\n"
    "\"Cesta\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,5c,00,0d,01,\\\r\n"
    "  7e,01,00,00\r\n"
    "\"Binary\"=hex:01,02,FF\r\n"
    "\"Smazana\"=-\r\n"
    "\r\n"
    "; a removed key, as an uninstaller writes it\r\n"
    "[-HKEY_CURRENT_USER\\Software\\Orvel Team\\Stare]\r\n"
    "\"old\"=dword:00000001\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Jiny]\r\n"
    "\"x\"=dword:ffffffff\r\n";

// UTF-8 text (Basic Multilingual Plane only) as a UTF-16LE file with its byte-order mark.
std::string Utf16(const std::string& u8) {
  std::string u16 = "\xFF\xFE";
  for (size_t i = 0; i < u8.size();) {
    unsigned char c = u8[i];
    uint32_t cp = c;
    int n = 1;
    if (c >= 0xE0) cp = c & 0x0F, n = 3;
    else if (c >= 0xC0) cp = c & 0x1F, n = 2;
    for (int k = 1; k < n; ++k) cp = (cp << 6) | (u8[i + k] & 0x3F);
    u16 += char(cp & 0xFF);
    u16 += char(cp >> 8);
    i += n;
  }
  return u16;
}

}  // namespace

TEST(RegFormat, ParsesTheThreeTypesEscapesAndOtherHives) {
  auto d = ParseReg(kSample);
  ASSERT_TRUE(d);
  const std::string odklon = "software\\orvel team\\bm4\\odklon";
  EXPECT_EQ(d->keys.at(odklon).name, kOdklon);
  EXPECT_EQ(Get(*d, odklon, "kde_je_bm4"), Str("C:\\DATA\\"));
  EXPECT_EQ(Get(*d, odklon, "quote"), Str("say \"ahoj\""));
  EXPECT_EQ(Get(*d, odklon, ""), Str("default"));
  const std::string obecne = "software\\orvel team\\bm4\\nastaveni - obecne";
  EXPECT_EQ(Get(*d, obecne, "ozzel_starty"), Dw(3));
  EXPECT_EQ(Get(*d, obecne, "cesta"), Exp("%HOME%\\čž"));
  EXPECT_EQ(Get(*d, obecne, "binary"), (RegValue{RegType::Raw, "hex:01,02,ff", 0}));
  EXPECT_EQ(Get(*d, "hkey_local_machine\\software\\jiny", "x"), Dw(0xFFFFFFFF));
  EXPECT_EQ(d->keys.at(obecne).values.at("ozzel_starty").first, "Ozzel_starty");

  // Writing and reading again gives the same data, and writing is stable.
  std::string text = FormatReg(*d);
  auto again = ParseReg(text);
  ASSERT_TRUE(again);
  EXPECT_EQ(*again, *d);
  EXPECT_EQ(FormatReg(*again), text);
}

// Registry editors read REGEDIT4 in the ANSI code page, its hex(2) and hex(7) data as ANSI too: what
// that form cannot carry goes out in the UTF-16 form, and both read back to the same values.
TEST(RegFormat, WritesRegedit4WhileItIsFaithfulAndTheUnicodeFormOtherwise) {
  RegData d;
  auto& k = d.keys["software\\orvel team\\bm4\\odklon"];
  k.name = kOdklon;
  k.values["kde_je_bm4"] = {"kde_je_BM4", Str("/media/cdrom")};
  k.values["ozzel_starty"] = {"Ozzel_starty", Dw(3)};
  EXPECT_EQ(FormatReg(d),
            "REGEDIT4\n\n"
            "[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Odklon]\n"
            "\"kde_je_BM4\"=\"/media/cdrom\"\n"
            "\"Ozzel_starty\"=dword:00000003\n");
  for (const RegValue& v : {Str("/média/ÁČŘ"), Exp("%HOME%"), Str("a\nb"),
                            RegValue{RegType::Raw, "hex(7):61,00,00,00,62,00,00,00,00,00", 0}}) {
    RegData u = d;
    u.keys.begin()->second.values["x"] = {"x", v};
    std::string text = FormatReg(u);
    EXPECT_EQ(text.substr(0, 2), "\xFF\xFE") << v.text;
    auto back = ParseReg(text);
    ASSERT_TRUE(back) << v.text;
    EXPECT_EQ(*back, u);
    EXPECT_EQ(FormatReg(*back), text);
  }
  k.values["e"] = {"E", Exp("A")};
  EXPECT_EQ(FormatReg(d), Utf16("Windows Registry Editor Version 5.00\r\n\r\n"
                                "[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Odklon]\r\n"
                                "\"E\"=hex(2):41,00,00,00\r\n"
                                "\"kde_je_BM4\"=\"/media/cdrom\"\r\n"
                                "\"Ozzel_starty\"=dword:00000003\r\n"));
  // A real editor's REGEDIT4 export: ANSI text, ANSI expandable and multi-string data.
  auto ansi = ParseReg("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\a]\r\n\"s\"=\"\xC1\"\r\n"
                       "\"e\"=hex(2):25,48,4f,4d,45,25,00\r\n\"m\"=hex(7):61,00,62,00,00\r\n");
  ASSERT_TRUE(ansi);
  EXPECT_EQ(Get(*ansi, "a", "s"), Str("Á"));
  EXPECT_EQ(Get(*ansi, "a", "e"), Exp("%HOME%"));
  EXPECT_EQ(Get(*ansi, "a", "m"), (RegValue{RegType::Raw, "hex(7):61,00,00,00,62,00,00,00,00,00", 0}));

  // Long expandable strings wrap; line breaks inside plain strings survive as hex(1).
  k.values["e"].second = Exp(std::string(200, 'x'));
  k.values["nl"] = {"nl", Str("a\nb")};
  std::string text = FormatReg(d);
  EXPECT_NE(text.find(Utf16(",\\\r\n  ").substr(2)), std::string::npos);
  auto back = ParseReg(text);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, d);
}

TEST(RegFormat, RefusesWhatIsNotARegistryFile) {
  EXPECT_FALSE(ParseReg("hello\n"));
  EXPECT_FALSE(ParseReg("REGEDIT4\n\"a\"=dword:1\n"));                        // value before any key
  EXPECT_FALSE(ParseReg("REGEDIT4\n[HKEY_CURRENT_USER\\a]\ngarbage\n"));      // stray line
  EXPECT_FALSE(ParseReg("REGEDIT4\n[HKEY_CURRENT_USER\\a]\n\"a\"=dword:123456789\n"));
  EXPECT_FALSE(ParseReg("REGEDIT4\n[HKEY_CURRENT_USER\\a]\n\"a\"=\"open\n"));
  EXPECT_FALSE(ParseReg("REGEDIT4\n[HKEY_CURRENT_USER\\a]\n\"a\"=hex:1g\n"));
  EXPECT_FALSE(ParseReg("REGEDIT4\n[HKEY_CURRENT_USER\\a\n"));
  // Empty text is an empty registry, not a broken one.
  auto empty = ParseReg("");
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->keys.empty());
}

TEST(RegFormat, ReadsUtf16FilesOfNewerEditors) {
  auto d = ParseReg(Utf16("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Č]\r\n\"v\"=\"žluť\"\r\n"));
  ASSERT_TRUE(d);
  EXPECT_EQ(Get(*d, "software\\Č", "v"), Str("žluť"));
}

TEST_F(RegFile, ValuesRoundTripWithNamesInAnyCase) {
  Registry r(path_);
  EXPECT_FALSE(r.Read(kOdklon, "kde_je_BM4"));
  EXPECT_FALSE(r.KeyExists(kOdklon));
  ASSERT_TRUE(r.Write(kOdklon, "kde_je_BM4", Str("/media/cdrom")));
  ASSERT_TRUE(r.Write(kObecne, "Ozzel_starty", Dw(3)));
  ASSERT_TRUE(r.Write(kObecne, "Cesta", Exp("%HOME%\\data")));
  ASSERT_TRUE(r.Write(kObecne, "", Str("výchozí")));

  Registry again(path_);
  EXPECT_EQ(again.Read("SOFTWARE\\orvel team\\bm4\\ODKLON", "KDE_JE_bm4"), Str("/media/cdrom"));
  EXPECT_EQ(again.Read(kObecne, "ozzel_STARTY"), Dw(3));
  EXPECT_EQ(again.Read(kObecne, "cesta"), Exp("%HOME%\\data"));
  EXPECT_EQ(again.Read(kObecne, ""), Str("výchozí"));
  // A differently spelt write replaces the value and keeps the first spelling.
  ASSERT_TRUE(again.Write(kObecne, "OZZEL_STARTY", Dw(4)));
  std::string text = Slurp(path_);
  // Non-ASCII text and an expandable string: the UTF-16 form.
  EXPECT_NE(text.find(Utf16("\"Ozzel_starty\"=dword:00000004\r\n").substr(2)), std::string::npos);
  EXPECT_NE(text.find(Utf16("@=\"výchozí\"\r\n").substr(2)), std::string::npos);
  EXPECT_EQ(text.find(Utf16("OZZEL_STARTY").substr(2)), std::string::npos);

  EXPECT_TRUE(again.KeyExists("Software\\Orvel Team"));  // parents of a key exist
  EXPECT_FALSE(again.KeyExists("Software\\Orvel"));
  EXPECT_FALSE(again.Write(kObecne, "bad\nname", Dw(1)));
}

TEST_F(RegFile, CreateKeyWritesOnlyWhenMissing) {
  Registry r(path_);
  ASSERT_TRUE(r.CreateKey("Software\\Orvel Team\\BM4"));
  EXPECT_TRUE(r.KeyExists("software\\orvel team\\bm4"));
  EXPECT_NE(Slurp(path_).find("[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4]"), std::string::npos);
  auto before = stdfs::last_write_time(path_);
  ASSERT_TRUE(r.CreateKey("SOFTWARE\\Orvel Team"));
  EXPECT_EQ(stdfs::last_write_time(path_), before);
}

TEST_F(RegFile, OtherProgramsValuesSurviveOurWrite) {
  stdfs::create_directories(stdfs::path(path_).parent_path());
  std::ofstream(path_, std::ios::binary) << kSample;
  Registry r(path_);
  ASSERT_TRUE(r.Write(kObecne, "Ozzel_starty", Dw(4)));
  auto d = ParseReg(Slurp(path_));
  auto orig = ParseReg(kSample);
  ASSERT_TRUE(d && orig);
  orig->keys.at("software\\orvel team\\bm4\\nastaveni - obecne").values.at("ozzel_starty").second = Dw(4);
  EXPECT_EQ(*d, *orig);
}

// As the registry editor imports: every value that parses is kept, the damaged lines are skipped and
// named once on stderr, and the original stays beside the file for whoever wants the rest.
TEST_F(RegFile, ADamagedLineCostsOnlyItselfAndTheOriginalIsKeptBeside) {
  const std::string text =
      "regedit4\n"
      "[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Odklon]\n"
      "\"kde_je_BM4\"=\"/media/cdrom\"\n"
      "[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Nastaveni - obecne]\n"
      "\"KORDO SERIE\"=dword:123456789\n"
      "\"Ozzel_starty\"=dword:00000007\n"
      "garbage\n"
      "\"Bin\"=hex:01,02,\\\n"
      "\"WAV HLASITOST\"=dword:00000064\n"
      "[HKEY_CURRENT_USER\\Software\\Broken\n"
      "\"lost\"=dword:1\n"
      "[HKEY_CURRENT_USER\\Software\\Jiny]\n"
      "\"Tail\"=hex(2):41,00,\\\n";
  stdfs::create_directories(stdfs::path(path_).parent_path());
  std::ofstream(path_, std::ios::binary) << text;
  auto copies = [&] {
    std::vector<std::string> found;
    for (auto& e : stdfs::directory_iterator(stdfs::path(path_).parent_path()))
      if (e.path().filename().string().rfind("registry.reg.corrupt-", 0) == 0) found.push_back(Slurp(e.path()));
    return found;
  };

  Registry r(path_);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(r.Read(kOdklon, "kde_je_BM4"), Str("/media/cdrom"));
  EXPECT_EQ(r.Read(kObecne, "Ozzel_starty"), Dw(7));
  EXPECT_EQ(r.Read(kObecne, "WAV HLASITOST"), Dw(100));
  EXPECT_FALSE(r.Read(kObecne, "KORDO SERIE"));
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("skipped lines 5, 7, 8, 10, 11, 13 that could not be read"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << "said once: " << err;
  EXPECT_EQ(Slurp(path_), text) << "reading changes nothing";
  EXPECT_EQ(copies(), std::vector<std::string>{text});

  ASSERT_TRUE(r.Write(kObecne, "Ozzel_starty", Dw(8)));
  auto d = ParseReg(Slurp(path_));
  ASSERT_TRUE(d) << "the file is whole again";
  EXPECT_EQ(Get(*d, "software\\orvel team\\bm4\\odklon", "kde_je_bm4"), Str("/media/cdrom"));
  EXPECT_EQ(Get(*d, "software\\orvel team\\bm4\\nastaveni - obecne", "wav hlasitost"), Dw(100));
  EXPECT_EQ(Get(*d, "software\\orvel team\\bm4\\nastaveni - obecne", "ozzel_starty"), Dw(8));
  EXPECT_EQ(copies(), std::vector<std::string>{text}) << "one copy, the original";

  // Not a settings file at all: nothing to keep but the copy; the store starts empty.
  std::ofstream(path_, std::ios::binary) << "this is not a registry\n";
  EXPECT_FALSE(r.Read(kOdklon, "kde_je_BM4"));
  ASSERT_TRUE(r.Write(kObecne, "KORDO SERIE", Dw(1)));
  EXPECT_EQ(r.Read(kObecne, "kordo serie"), Dw(1));
  EXPECT_EQ(copies().size(), 2u);
}

TEST_F(RegFile, ALinkIsWrittenThroughAndAReadOnlyFileNotAtAll) {
  stdfs::create_directories(stdfs::path(path_).parent_path());
  stdfs::create_directories(dir_ + "/real");
  const std::string target = dir_ + "/real/settings.reg";
  std::ofstream(target, std::ios::binary) << kSample;
  stdfs::create_symlink("../../real/settings.reg", path_);
  Registry r(path_);
  ASSERT_TRUE(r.Write(kObecne, "Ozzel_starty", Dw(9)));
  EXPECT_TRUE(stdfs::is_symlink(path_)) << "the link stays a link";
  EXPECT_EQ(Registry(target).Read(kObecne, "Ozzel_starty"), Dw(9));
  EXPECT_EQ(Registry(target).Read(kOdklon, "Quote"), Str("say \"ahoj\""));

  const std::string before = Slurp(target);
  stdfs::permissions(target, stdfs::perms::owner_read | stdfs::perms::group_read | stdfs::perms::others_read);
  EXPECT_FALSE(r.Write(kObecne, "Ozzel_starty", Dw(10)));
  EXPECT_FALSE(Registry(target).Write(kObecne, "Ozzel_starty", Dw(10)));
  EXPECT_EQ(Slurp(target), before) << "byte for byte";
  EXPECT_EQ(r.Read(kObecne, "Ozzel_starty"), Dw(9));
  stdfs::permissions(target, stdfs::perms::owner_write, stdfs::perm_options::add);
}

// Text the quoted form cannot hold goes out as UTF-16 hex and comes back exactly; nothing raw.
TEST_F(RegFile, LineBreaksAndNulsReadBackExactly) {
  const std::vector<RegValue> values = {Str("a\nb"), Str("x\r"), Str(std::string("a\0b", 3)),
                                        Str(std::string("end\0", 4)), Exp(std::string("p\0", 2)), Str("")};
  Registry r(path_);
  for (size_t i = 0; i < values.size(); ++i) ASSERT_TRUE(r.Write(kObecne, "v" + std::to_string(i), values[i]));
  for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(r.Read(kObecne, "v" + std::to_string(i)), values[i]) << i;
  std::string text = Slurp(path_);
  EXPECT_EQ(text.substr(0, 2), "\xFF\xFE") << "hex(1) text is UTF-16: the whole file is";
  EXPECT_EQ(text.find(Utf16("a\nb").substr(2)), std::string::npos);
  EXPECT_TRUE(ParseReg(text));
  // What UTF-16 cannot carry is refused, not mangled.
  EXPECT_FALSE(r.Write(kObecne, "bad", Str(std::string("\xff\n", 2))));
  EXPECT_FALSE(r.Read(kObecne, "bad"));
}

// A rewrite keeps the file's mode, and its owner where the writer may set it (root rewriting a
// user's file leaves it the user's); a new file gets the umask's mode.
TEST_F(RegFile, ARewriteKeepsModeAndOwnerAndANewFileFollowsTheUmask) {
  const mode_t old_mask = ::umask(022);
  Registry r(path_);
  ASSERT_TRUE(r.Write(kObecne, "Ozzel_starty", Dw(1)));
  struct stat st;
  ASSERT_EQ(::stat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
  ::umask(old_mask);

  ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(path_.c_str(), 4321, 4321), 0);
  }
  ASSERT_TRUE(r.Write(kObecne, "Ozzel_starty", Dw(2)));
  ASSERT_EQ(::stat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4321u);
    ASSERT_EQ(::stat((path_ + ".lock").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u) << "the user must be able to take the lock again";
  }
  EXPECT_EQ(r.Read(kObecne, "Ozzel_starty"), Dw(2));
}

// What cannot be a settings file is named on stderr with what happened to it, and never waited on.
TEST_F(RegFile, WhatIsNotASettingsFileIsSaidOnStderr) {
  stdfs::create_directories(stdfs::path(path_).parent_path());
  auto said = [&](const std::function<void()>& make, const std::string& what) {
    stdfs::remove_all(path_);
    make();
    ::testing::internal::CaptureStderr();
    Registry r(path_);
    EXPECT_FALSE(r.Read(kObecne, "Ozzel_starty"));
    EXPECT_FALSE(r.Write(kObecne, "Ozzel_starty", Dw(1))) << what;
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(path_ + ": " + what), std::string::npos) << err;
  };
  said([&] { stdfs::create_directory(path_); }, "is a directory");
  said([&] { ASSERT_EQ(::mkfifo(path_.c_str(), 0644), 0); }, "is not a regular file");
  said([&] { stdfs::create_symlink(path_, path_); }, "cannot be read: Too many levels of symbolic links");

  // Too large to be ours: set aside (and said so), and the settings start afresh.
  stdfs::remove_all(path_);
  std::ofstream(path_, std::ios::binary) << "REGEDIT4\n" << std::string(17u << 20, ';');
  ::testing::internal::CaptureStderr();
  Registry r(path_);
  EXPECT_TRUE(r.Write(kObecne, "Ozzel_starty", Dw(1)));
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(path_ + ": larger than 16 MB"), std::string::npos) << err;
  EXPECT_EQ(r.Read(kObecne, "Ozzel_starty"), Dw(1));
}

// The writer never makes a file the reader would set aside: a change that would grow it past the
// reader's bound is refused and the file kept as it was. A large file is parsed once, and a change
// to it (by anyone) is still seen.
TEST_F(RegFile, NoWriteGrowsTheFilePastWhatIsReadAndALargeFileIsReadOnce) {
  stdfs::create_directories(stdfs::path(path_).parent_path());
  {
    std::ofstream f(path_, std::ios::binary);
    f << "REGEDIT4\n\n[HKEY_CURRENT_USER\\" << kObecne << "]\n";
    // 9 MB of ASCII values: as UTF-16 (which one non-ASCII value asks for) the file would be 18 MB.
    for (int i = 0; i < 9 * 1024; ++i) f << "\"v" << i << "\"=\"" << std::string(1000, 'a') << "\"\n";
  }
  const std::string before = Slurp(path_);
  // Settled a while ago, as a settings file usually is.
  const timespec old[2] = {{std::time(nullptr) - 3600, 0}, {std::time(nullptr) - 3600, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path_.c_str(), old, 0), 0);
  Registry r(path_);
  ASSERT_EQ(r.Read(kObecne, "v7"), Str(std::string(1000, 'a')));
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(r.Write(kOdklon, "kde_je_BM4", Str("/home/dítě/medium")));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find(path_ + ": the settings would grow past 16 MB"), std::string::npos);
  EXPECT_EQ(Slurp(path_), before);
  EXPECT_EQ(r.Read(kObecne, "v8"), Str(std::string(1000, 'a')));

  // Changed in place, the size kept: seen at the next read.
  {
    std::fstream f(path_, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(long(before.find("\"v8\"=\"") + 6));
    f << "b";
  }
  EXPECT_EQ(r.Read(kObecne, "v8"), Str("b" + std::string(999, 'a')));
  EXPECT_TRUE(r.Write(kObecne, "v9", Dw(9)));
  EXPECT_EQ(Registry(path_).Read(kObecne, "v9"), Dw(9));
}

TEST_F(RegFile, ConcurrentWritersLoseNothing) {
  constexpr int kRounds = 150;
  pid_t kids[2];
  for (int k = 0; k < 2; ++k) {
    kids[k] = ::fork();
    ASSERT_GE(kids[k], 0);
    if (kids[k] == 0) {
      Registry r(path_);
      bool ok = true;
      for (int i = 0; i < kRounds; ++i) ok = r.Write(kObecne, "writer" + std::to_string(k), Dw(uint32_t(i))) && ok;
      std::_Exit(ok ? 0 : 1);
    }
  }
  for (pid_t p : kids) {
    int status = 0;
    ASSERT_EQ(::waitpid(p, &status, 0), p);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  Registry r(path_);
  EXPECT_EQ(r.Read(kObecne, "writer0"), Dw(kRounds - 1));
  EXPECT_EQ(r.Read(kObecne, "writer1"), Dw(kRounds - 1));
  for (auto& e : stdfs::directory_iterator(stdfs::path(path_).parent_path()))
    EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
}

TEST(RegPath, DefaultPathFollowsTheEnvironment) {
  auto keep = [](const char* n) { const char* v = std::getenv(n); return v ? std::optional<std::string>(v) : std::nullopt; };
  auto restore = [](const char* n, const std::optional<std::string>& v) {
    if (v) ::setenv(n, v->c_str(), 1); else ::unsetenv(n);
  };
  auto reg = keep("OZZEL_REGISTRY"), xdg = keep("XDG_CONFIG_HOME"), home = keep("HOME");
  ::setenv("OZZEL_REGISTRY", "/x/y.reg", 1);
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  ::setenv("HOME", "/home/u", 1);
  EXPECT_EQ(Registry::DefaultPath(), "/x/y.reg");
  ::unsetenv("OZZEL_REGISTRY");
  EXPECT_EQ(Registry::DefaultPath(), "/cfg/bimbalo/registry.reg");
  ::setenv("XDG_CONFIG_HOME", "", 1);
  EXPECT_EQ(Registry::DefaultPath(), "/home/u/.config/bimbalo/registry.reg");
  restore("OZZEL_REGISTRY", reg);
  restore("XDG_CONFIG_HOME", xdg);
  restore("HOME", home);
}
