// A whole session on media whose every data file is damaged or missing: only the program's own
// messages appear, it ends normally and the counters reach the settings store.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include <signal.h>
#include <sys/stat.h>

#include "game/names.h"
#include "game/sets.h"
#include "platform/registry/registry.h"
#include "tests/platform/crafted_files.h"
#include "tests/scenarios/sim_session.h"

namespace ozzel::scenario {
namespace {

namespace fs = std::filesystem;

constexpr char kTitle[] = "Ozzel - Bimbalo 4";

// The message texts the program itself shows, as "plain|error TEXT"; the two with a path are
// prefixes followed by a data path.
bool OwnMessage(const std::string& body, const std::string& data_dir) {
  const std::string plain = std::string("msgbox plain ") + kTitle + "|";
  const std::string error = "msgbox error Error|";
  static const std::vector<std::string> exact = {
      plain + "Nelze prehrat zvuk s uvodnim proslovem.",
      plain + "Nenalezena animace mluviciho Tibory...",
      plain + "BM4-Ozzel: Nelze uvolnit pozadi aplikace...",
      plain + "Nelze sa vypnout zvuk, WINDOWS nedovolil prístup ke karte (pravdepodobne branu karty blokuje "
              "obsluha jiného programu) ",
      error + "Chyba umístění programu (nenalezen adresář OBRAZKY) v místě programu ozzel.EXE.",
      error + "Znovu nenalezeno. Program se nyní pokusí pokračovat, ale pravděpodobně nebude fungovat správně...",
  };
  if (std::find(exact.begin(), exact.end(), body) != exact.end()) return true;
  if (body == plain + "Nenalez soubor s hudbou:" + data_dir + game::MusicFile()) return true;
  const std::string sound = error + "Nenalezen zvuk: " + data_dir + "\\zvuky\\";
  return body.compare(0, sound.size(), sound) == 0;
}

std::string HostPath(const fs::path& root, const std::string& dos_rel) {
  std::string p = dos_rel;
  std::replace(p.begin(), p.end(), '\\', '/');
  return (root / "bm4" / "_ozzel").string() + p;
}

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class DamagedMedium : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/ozzel-damaged-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    tmp_ = tmpl;
    root_ = tmp_ / "cd";
    fs::create_directories(root_ / "bm4" / "_ozzel" / "obrazky");
    registry_ = (tmp_ / "registry.reg").string();
  }
  void TearDown() override {
    std::error_code ec;
    if (!HasFailure() && !std::getenv("OZZEL_KEEP_TRACE")) fs::remove_all(tmp_, ec);
    else std::cerr << "files kept in " << tmp_ << "\n";
  }

  // A writable copy of a built medium as root_ (the copy brings its own folders, in its own case).
  // False with `why` when the medium is not built; a failed copy fails the test.
  bool CopyMedium(Medium m, std::string& why) {
    auto medium = BuiltMedium(m, why);
    if (!medium) return false;
    std::error_code ec;
    fs::remove_all(root_ / "bm4", ec);
    CopyFromMedium(*medium + "/bm4", (root_ / "bm4").string(), ec);
    if (!ec) return true;
    ADD_FAILURE() << ec.message();
    why = "the copy failed";
    return false;
  }

  // Every data file damaged, the three kinds in turn: the first half of the demo file, empty, noise.
  void DamageEveryFile(const fs::path& demo) {
    std::mt19937 noise(20240601);
    int i = 0;
    for (const std::string& rel : game::AllDataFiles()) {
      std::string path = HostPath(root_, rel);
      fs::create_directories(fs::path(path).parent_path());
      std::string bytes;
      switch (i++ % 3) {
        case 0: {
          std::string whole = Slurp(OnMedium(HostPath(demo, rel)));
          ASSERT_FALSE(whole.empty()) << rel << " missing from the demo medium";
          bytes = whole.substr(0, whole.size() / 2);
          break;
        }
        case 1:
          break;
        case 2:
          bytes.resize(200 + noise() % 4000);
          for (char& c : bytes) c = char(noise());
          break;
      }
      std::ofstream(path, std::ios::binary) << bytes;
    }
  }

  // Answers every box with OK as it opens and checks that it is one of the program's own.
  std::vector<std::string> Step(SimSession& s, const std::string& cmd) {
    std::vector<std::string> lines = s.Step(cmd);
    std::vector<std::string> all = lines;
    for (int guard = 0; guard < 50; ++guard) {
      int boxes = 0;
      for (const std::string& l : lines) {
        std::string body = SimSession::Body(l);
        if (SimSession::IsEvent(l, "msgbox")) {
          ++boxes;
          boxes_.push_back(body);
          EXPECT_TRUE(OwnMessage(body, data_dir_)) << "not one of the program's messages: " << body;
        } else if (SimSession::IsEvent(l, "input")) {
          ++boxes;
          ADD_FAILURE() << "unexpected input box: " << body;
        }
      }
      if (boxes == 0) break;
      lines.clear();
      for (int k = 0; k < boxes; ++k) {
        auto more = s.Step("ok");
        lines.insert(lines.end(), more.begin(), more.end());
      }
      all.insert(all.end(), lines.begin(), lines.end());
    }
    return all;
  }

  // Intro (with a click on the examiner), skip, every scene with a click on each of its animals,
  // a miss and the score, then the exit button.
  void PlayWholeSession(SimSession& s) {
    Step(s, "wait 800");
    Step(s, "click 587 318");  // the examiner repeats the introduction
    Step(s, "wait 700");
    Step(s, "key esc");
    Step(s, "wait 300");
    for (int set = 1; set <= 4; ++set) {
      // The scene buttons move to the left of the bottom bar once a scene is shown.
      static const int menu_x[] = {0, 42, 178, 315, 451}, play_x[] = {0, 20, 86, 153, 219};
      Step(s, "click " + std::to_string((set == 1 ? menu_x : play_x)[set] + 30) + " 446");
      Step(s, "wait 1500");
      EXPECT_EQ(s.Int("CurrentSet"), set) << s.Tail();
      for (int code : game::AnimalsPresent(set)) {
        std::vector<std::string> got = Step(s, "animal " + std::to_string(code));
        std::string x, y;
        for (const std::string& l : got) {
          if (!SimSession::IsEvent(l, "animal")) continue;
          std::istringstream in(SimSession::Body(l));
          std::string word, n;
          in >> word >> n >> x >> y;
        }
        ASSERT_FALSE(x.empty() || x == "none") << "no point for animal " << code << "\n" << s.Tail();
        Step(s, "click " + x + " " + y);
        Step(s, "wait 2500");
        if (s.ended()) return;
      }
      Step(s, "click 600 20");   // sky: a miss
      Step(s, "wait 1500");
      Step(s, "click 330 446");  // the score counter
      Step(s, "wait 1500");
    }
    Step(s, "click 587 448");
    Step(s, "wait 3000");
  }

  void CheckEndAndStore(SimSession& s, int code) {
    if (std::getenv("OZZEL_KEEP_TRACE")) {
      std::ofstream out(tmp_ / "trace.txt");
      for (const std::string& l : s.trace()) out << l << "\n";
      std::cerr << "trace in " << (tmp_ / "trace.txt") << "\n";
    }
    EXPECT_FALSE(s.timed_out()) << s.Tail();
    EXPECT_EQ(code, 0) << s.Tail();
    ASSERT_FALSE(s.trace().empty());
    EXPECT_EQ(SimSession::Body(s.trace().back()), "exit 0") << s.Tail();
    auto data = plat::ParseReg(Slurp(registry_));
    ASSERT_TRUE(data) << Slurp(registry_);
    plat::Registry reg(registry_);
    const char* key = "Software\\Orvel Team\\BM4\\Nastaveni - obecne";
    auto starts = reg.Read(key, "Ozzel_starty");
    auto kordo = reg.Read(key, "KORDO SERIE");
    ASSERT_TRUE(starts && kordo) << Slurp(registry_);
    EXPECT_EQ(starts->type, plat::RegType::Dword);
    EXPECT_EQ(starts->dword, 1u);
    EXPECT_EQ(kordo->dword, 1u);
  }

  bool Saw(const std::string& body) const { return std::find(boxes_.begin(), boxes_.end(), body) != boxes_.end(); }

  fs::path tmp_, root_;
  std::string registry_, data_dir_;
  std::vector<std::string> boxes_;
};

// Both media: the damage starts from files of every format the program reads.
class DamagedMediumFrom : public DamagedMedium, public ::testing::WithParamInterface<Medium> {};

TEST_P(DamagedMediumFrom, EveryFileTruncatedEmptyOrNoise) {
  std::string why;
  auto demo = BuiltMedium(GetParam(), why);
  if (!demo) GTEST_SKIP() << why;
  DamageEveryFile(*demo);
  data_dir_ = root_.string() + "\\bm4\\_ozzel";

  SimSession s({"--data", root_.string(), "--registry", registry_, "--seed", "7"}, tmp_, 120);
  ASSERT_TRUE(s.started());
  PlayWholeSession(s);
  int code = s.Finish();
  CheckEndAndStore(s, code);
  // The whole quiz ran: every set was reached, and clicks were judged in the last one.
  EXPECT_GT(std::count_if(s.trace().begin(), s.trace().end(),
                          [](const std::string& l) { return SimSession::Body(l).rfind("caption lbl_", 0) == 0; }),
            8);
}

TEST_F(DamagedMedium, OnlyThePicturesFolder) {
  data_dir_ = root_.string() + "\\bm4\\_ozzel";
  SimSession s({"--data", root_.string(), "--registry", registry_, "--seed", "7"}, tmp_, 120);
  ASSERT_TRUE(s.started());
  PlayWholeSession(s);
  int code = s.Finish();
  CheckEndAndStore(s, code);
  const std::string plain = std::string("msgbox plain ") + kTitle + "|";
  EXPECT_TRUE(Saw(plain + "Nenalezena animace mluviciho Tibory..."));
  EXPECT_TRUE(Saw(plain + "Nenalez soubor s hudbou:" + data_dir_ + game::MusicFile()));
  EXPECT_TRUE(Saw(plain + "Nelze prehrat zvuk s uvodnim proslovem."));
  // The button sounds name their missing files.
  EXPECT_TRUE(std::any_of(boxes_.begin(), boxes_.end(),
                          [](const std::string& b) { return b.find("Nenalezen zvuk: ") != std::string::npos; }));
}

// Recordings cut down to their header hold no sound at all: each counts as spoken at once, so the
// queue drains, the praise ends and the next question comes.
TEST_P(DamagedMediumFrom, RecordingsWithNoSamples) {
  std::string why;
  if (!CopyMedium(GetParam(), why)) GTEST_SKIP() << why;
  int cut = 0;
  for (const auto& e : fs::directory_iterator(OnMedium((root_ / "bm4" / "_ozzel" / "zvuky").string()))) {
    std::string whole = Slurp(e.path());
    size_t data = whole.find("data");
    ASSERT_NE(data, std::string::npos) << e.path();
    std::ofstream(e.path(), std::ios::binary | std::ios::trunc) << whole.substr(0, data + 8);
    ++cut;
  }
  ASSERT_GT(cut, 50);
  data_dir_ = root_.string() + "\\bm4\\_ozzel";

  SimSession s({"--data", root_.string(), "--registry", registry_, "--seed", "1"}, tmp_, 60);
  ASSERT_TRUE(s.started());
  Step(s, "wait 800");
  Step(s, "click 72 446");
  Step(s, "wait 1500");
  ASSERT_EQ(s.Int("AwaitingAnswer"), 1) << s.Tail();
  EXPECT_EQ(s.Int("PlaylistLength"), 0) << "the question's recordings stay queued\n" << s.Tail();
  for (int answer = 1; answer <= 3; ++answer) {
    const std::string& q = s.questions().at(size_t(s.Int("CurrentQuestion") - 1));
    // "kind:letter:animal[:sound]"
    int right = std::atoi(q.c_str() + q.find(':', q.find(':') + 1) + 1);
    std::string x, y;
    for (const std::string& l : Step(s, "animal " + std::to_string(right))) {
      if (!SimSession::IsEvent(l, "animal")) continue;
      std::istringstream in(SimSession::Body(l));
      std::string word, n;
      in >> word >> n >> x >> y;
    }
    ASSERT_FALSE(x.empty() || x == "none") << s.Tail();
    Step(s, "click " + x + " " + y);
    Step(s, "wait 3000");
    EXPECT_EQ(s.Int("GoodCount"), answer) << s.Tail();
    EXPECT_EQ(s.Int("ClickBusy"), 0) << "the praise never ends\n" << s.Tail();
    EXPECT_EQ(s.Int("CurrentQuestion"), answer + 1) << s.Tail();
    EXPECT_EQ(s.Int("PlaylistLength"), 0) << s.Tail();
    if (HasFailure()) return;
  }
  Step(s, "click 587 448");
  Step(s, "wait 3000");
  int code = s.Finish();
  CheckEndAndStore(s, code);
}

// The examiner's clip with over 2^31 pixels of runs in one row (once a crash at start): its one frame
// is shown, and the session ends normally.
TEST_F(DamagedMedium, ClipWithMillionsOfRunsInOneRow) {
  std::string why;
  if (!CopyMedium(Medium::Demo, why)) GTEST_SKIP() << why;
  const std::string clip = OnMedium(HostPath(root_, "\\animace\\tib_mluv.avi"));
  ASSERT_TRUE(fs::is_regular_file(clip)) << clip;
  const std::vector<uint8_t> bytes = crafted::EndlessRowClip();
  std::ofstream(clip, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes.data()),
                                                                 std::streamsize(bytes.size()));
  data_dir_ = root_.string() + "\\bm4\\_ozzel";

  SimSession s({"--data", root_.string(), "--registry", registry_, "--seed", "3"}, tmp_, 60);
  ASSERT_TRUE(s.started());
  Step(s, "wait 3000");
  EXPECT_TRUE(std::any_of(s.trace().begin(), s.trace().end(),
                          [](const std::string& l) { return SimSession::Body(l).rfind("anim open ", 0) == 0; }))
      << s.Tail();
  Step(s, "key esc");
  Step(s, "wait 300");
  Step(s, "click 587 448");
  Step(s, "wait 3000");
  int code = s.Finish();
  CheckEndAndStore(s, code);
  EXPECT_TRUE(boxes_.empty()) << boxes_.front();
}

// Pipes where the intro's picture, its speech and the music should be: each is unreadable, as a
// damaged file is, and nothing waits on a writer that never comes (the session's time limit catches
// a hang).
TEST_F(DamagedMedium, PipesInPlaceOfDataFilesThenAKill) {
  std::string why;
  if (!CopyMedium(Medium::Demo, why)) GTEST_SKIP() << why;
  for (const char* rel : {"\\obrazky\\oz_uvod.bmp", "\\zvuky\\oz_uvod.wav", "\\hudba\\ozzel.mid"}) {
    std::string path = OnMedium(HostPath(root_, rel));
    ASSERT_TRUE(fs::remove(path)) << path;
    ASSERT_EQ(mkfifo(path.c_str(), 0644), 0) << path;
  }
  data_dir_ = root_.string() + "\\bm4\\_ozzel";
  SimSession s({"--data", root_.string(), "--registry", registry_, "--seed", "7"}, tmp_, 60);
  ASSERT_TRUE(s.started());
  Step(s, "wait 2000");
  for (const char* event : {"picture-fail divadlo ", "wav open-fail ", "midi open-fail "})
    EXPECT_TRUE(std::any_of(s.trace().begin(), s.trace().end(),
                            [&](const std::string& l) { return SimSession::Body(l).rfind(event, 0) == 0; }))
        << event << "\n" << s.Tail();
  CheckEndAndStore(s, s.Signal(SIGTERM));
}

// A kill while the intro waits for its speech to end (a loop that pumps messages) ends the program
// as the exit button does.
TEST_F(DamagedMedium, AKillWhileTheIntroSpeaks) {
  std::string why;
  auto demo = BuiltMedium(Medium::Demo, why);
  if (!demo) GTEST_SKIP() << why;
  data_dir_ = *demo + "\\bm4\\_ozzel";
  SimSession s({"--data", *demo, "--registry", registry_, "--seed", "7"}, tmp_, 60);
  ASSERT_TRUE(s.started());
  auto lines = Step(s, "wait 1500");
  ASSERT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) { return SimSession::Body(l) == "wav play"; }))
      << s.Tail();
  ASSERT_EQ(s.Int("StartCount"), 1);
  CheckEndAndStore(s, s.Signal(SIGTERM));
}

// The terminal gone (SIGHUP) while the parents' page of the desktop's settings entry is open: the page
// is answered and the game ends as at any quit, counters written, without playing its intro first.
TEST_F(DamagedMedium, AHangUpWhileTheStartsParentsPageIsOpen) {
  std::string why;
  auto demo = BuiltMedium(Medium::Demo, why);
  if (!demo) GTEST_SKIP() << why;
  data_dir_ = *demo + "\\bm4\\_ozzel";
  ::setenv("OZZEL_PARENTS", "1", 1);
  SimSession s({"--data", *demo, "--registry", registry_, "--seed", "7"}, tmp_, 60);
  ::unsetenv("OZZEL_PARENTS");
  ASSERT_TRUE(s.started());
  const auto lines = s.Step("wait 1500");
  ASSERT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) { return SimSession::Body(l) == "parents open"; }))
      << s.Tail();
  CheckEndAndStore(s, s.Signal(SIGHUP));
  EXPECT_FALSE(std::any_of(s.trace().begin(), s.trace().end(), [](const std::string& l) {
    return SimSession::Body(l).find("oz_uvod.wav") != std::string::npos;
  })) << s.Tail();
}

// A pipe as the settings file is named on stderr and read as no settings; a kill while a start-up
// box is open answers it and ends the program, which writes its counters as at any exit.
TEST_F(DamagedMedium, APipeAsTheSettingsFileAndAKillWhileABoxIsOpen) {
  {
    const std::string pipe = (tmp_ / "pipe.reg").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    SimSession s({"--registry", pipe}, tmp_, 60);
    ASSERT_TRUE(s.started());
    auto lines = s.Step("wait 10");
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
      return SimSession::Body(l).rfind("msgbox error Error|Chyba", 0) == 0;
    })) << s.Tail();
    EXPECT_EQ(s.Signal(SIGTERM), 0) << s.Tail();
    EXPECT_NE(s.err().find(pipe + ": is not a regular file"), std::string::npos) << s.err();
  }
  SimSession s({"--registry", registry_}, tmp_, 60);
  ASSERT_TRUE(s.started());
  s.Step("wait 10");
  CheckEndAndStore(s, s.Signal(SIGTERM));
  EXPECT_TRUE(std::any_of(s.trace().begin(), s.trace().end(),
                          [](const std::string& l) { return SimSession::Body(l) == "close"; }));
}

INSTANTIATE_TEST_SUITE_P(Media, DamagedMediumFrom, ::testing::Values(Medium::Demo, Medium::Period),
                         [](const ::testing::TestParamInfo<Medium>& i) { return std::string(MediumName(i.param)); });

}  // namespace
}  // namespace ozzel::scenario
