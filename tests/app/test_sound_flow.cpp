// The speech queue, the examiner's talking, the music loop and the close query, on a small medium.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <stdexcept>

#include "tests/platform/avi_test_writer.h"
#include "tests/platform/test_audio_files.h"
#include "app/ozz_main.h"
#include "platform/audio/media_info.h"
#include "app/pozadi.h"
#include "tests/app/app_harness.h"
#include "controls/avi_delp.h"
#include "media/technic2.h"

using namespace ozzel;
using ozzel::testing::Headless;
using ozzel::testing::TempStore;

namespace {

void WriteFile(const std::filesystem::path& p, const std::string& bytes) {
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
}

// A main window over a medium with a talking clip, a 1 s tune and three recordings of known length.
struct SoundWindow {
  SoundWindow() {
    std::string root = store.MakeMedium();
    dir = std::filesystem::path(root) / "bm4" / "_ozzel";
    avitest::Bytes clip = avitest::NumberedClip(4);
    WriteFile(dir / "animace" / "tib_mluv.avi", std::string(clip.begin(), clip.end()));
    WriteFile(dir / "hudba" / "ozzel.mid", audiotest::SimpleMidi(2));
    WriteFile(dir / "zvuky" / "a.wav", audiotest::Wav(300));
    WriteFile(dir / "zvuky" / "b.wav", audiotest::Wav(400));
    WriteFile(dir / "zvuky" / "c.wav", audiotest::Wav(2000));
    store.reg().Write(kKeyOdklon, "kde_je_BM4", plat::RegValue{plat::RegType::String, root, 0});
    ResetSharedState();
    pozadi_Initialize(*h.app);
    Technic2_Initialize();
    form = std::make_unique<Tform_ozzel>(*h.app);
    form->starter->SetEnabled(false);  // no intro: the tests speak for themselves
    h.trace.clear();
  }
  ~SoundWindow() {
    form.reset();
    pozadi_Destroy();
  }
  std::string Item(const char* name) const { return technic2.DataDir + "\\zvuky\\" + name; }
  // Time of the first trace line equal to `event` at or after `from`; -1 when there is none.
  long TimeOf(const std::string& event, long from = 0) const {
    for (const auto& l : h.trace) {
      long t = std::stol(l.substr(0, l.find(' ')));
      if (t >= from && l.substr(l.find(' ') + 1) == event) return t;
    }
    return -1;
  }
  int Count(const std::string& event) const {
    int n = 0;
    for (const auto& e : h.Events()) n += e == event;
    return n;
  }

  TempStore store;
  Headless h;
  std::filesystem::path dir;
  std::unique_ptr<Tform_ozzel> form;
};

}  // namespace

TEST(SpeechQueue, ItemsPlayInOrderEachSoonAfterThePrevious) {
  SoundWindow w;
  w.form->Speak(w.Item("a.wav"));
  w.form->Speak(w.Item("b.wav"));
  w.form->Speak(w.Item("a.wav"));
  w.h.app->RunFor(2500);
  long a = w.TimeOf("wav open " + w.Item("a.wav"));
  long b = w.TimeOf("wav open " + w.Item("b.wav"), a);
  long a2 = w.TimeOf("wav open " + w.Item("a.wav"), b);
  ASSERT_GE(a, 0);
  ASSERT_GT(b, a);
  ASSERT_GT(a2, b);
  long end_a = w.TimeOf("wav end", a), end_b = w.TimeOf("wav end", b);
  EXPECT_EQ(end_a, a + 300);
  EXPECT_LE(b - end_a, 200);
  EXPECT_LE(a2 - end_b, 200);
  EXPECT_TRUE(w.form->playlist->Items.empty()) << "an item leaves the queue when it starts";
}

TEST(SpeechQueue, AMissingItemIsDroppedSilentlyAndTheNextPlays) {
  SoundWindow w;
  w.form->Speak(w.Item("chybi.wav"));
  w.form->Speak(w.Item("b.wav"));
  w.h.app->RunFor(1000);
  EXPECT_EQ(w.Count("wav open-fail " + w.Item("chybi.wav")), 2) << "opened twice, then dropped";
  EXPECT_GE(w.TimeOf("wav play", w.TimeOf("wav open " + w.Item("b.wav"))), 0);
  for (const auto& e : w.h.Events()) EXPECT_EQ(e.rfind("msgbox", 0), std::string::npos) << e;
}

TEST(SpeechQueue, StopSpeechEndsTheItemAtOnceAndEmptiesTheQueue) {
  SoundWindow w;
  w.form->Speak(w.Item("c.wav"));
  w.form->Speak(w.Item("a.wav"));
  w.form->Speak(w.Item("b.wav"));
  w.h.app->RunFor(500);
  ASSERT_EQ(w.form->WavPlayer->Mode(), plat::MciMode::Playing);
  long stopped = long(w.h.app->Now());
  w.form->StopSpeech();
  EXPECT_NE(w.form->WavPlayer->Mode(), plat::MciMode::Playing);
  EXPECT_TRUE(w.form->playlist->Items.empty());
  EXPECT_EQ(w.TimeOf("wav close", stopped), stopped);
  w.h.app->RunFor(2000);
  EXPECT_EQ(w.TimeOf("wav open " + w.Item("a.wav")), -1);
}

TEST(SpeechQueue, TheExaminerTalksExceptForAnAmpersandItem) {
  SoundWindow w;
  w.form->Speak(w.Item("c.wav"));
  w.h.app->RunFor(400);
  EXPECT_TRUE(w.form->zkouseni_tibora->Active());
  EXPECT_FALSE(shared.SilentItem);
  w.h.app->RunFor(2000);
  EXPECT_FALSE(w.form->zkouseni_tibora->Active()) << "still once the speech has ended";

  w.form->Speak(std::string("&").append(w.Item("c.wav")));  // not "&" + s: GCC 12 warns of a false overlap
  w.h.app->RunFor(400);
  EXPECT_EQ(w.form->WavPlayer->Mode(), plat::MciMode::Playing);
  EXPECT_EQ(w.form->WavPlayer->FileName, w.Item("c.wav")) << "played without its mark";
  EXPECT_TRUE(shared.SilentItem);
  EXPECT_FALSE(w.form->zkouseni_tibora->Active());
}

TEST(Music, StartsAgainWithinTwoSecondsOfItsEnd) {
  SoundWindow w;
  w.form->Midi_spoustec->SetEnabled(true);
  w.h.app->RunFor(7000);
  long first = w.TimeOf("midi play");
  long end = w.TimeOf("midi end", first);
  long again = w.TimeOf("midi play", end);
  std::string tune = audiotest::SimpleMidi(2);
  auto length = plat::MidiDurationMs(audiotest::Bytes(tune), tune.size());
  ASSERT_TRUE(length);
  ASSERT_GE(first, 0);
  EXPECT_EQ(end, first + long(*length)) << "the tune plays whole";
  ASSERT_GE(again, end);
  EXPECT_LE(again - end, 2000);
  EXPECT_EQ(w.TimeOf("midi end", again + 1), again + long(*length)) << "from the beginning again";
}

TEST(CloseQuery, ASecondQueryReleasesNothingAgain) {
  SoundWindow w;
  bool can_close = false;
  w.form->FormCloseQuery(can_close);
  EXPECT_TRUE(can_close);
  w.h.app->ProcessMessages();
  EXPECT_TRUE(shared.BackgroundReleased);
  w.form->FormCloseQuery(can_close);
  w.h.app->ProcessMessages();
  EXPECT_EQ(w.Count("hide FORMPozadi"), 1);
  for (const auto& e : w.h.Events()) EXPECT_EQ(e.rfind("msgbox", 0), std::string::npos) << e;
  EXPECT_FALSE(w.form->wav_spoustec->Enabled());
  EXPECT_FALSE(w.form->Midi_spoustec->Enabled());
}

// A handler that throws half-way (here: while the wrong answer's count is shown) brings up the
// standard error box and leaves no busy flag behind: the next click on the asked animal is answered.
TEST(HandlerErrors, AThrowingAnswerShowsTheErrorBoxAndTheNextClickIsAnswered) {
  SoundWindow w;
  w.h.app->SetTitle("Ozzel - Bimbalo 4");
  shared.CurrentSet = 1;
  shared.Questions[1] = game::totazka{1, "D", 5, 0};
  shared.QuestionCount = shared.CurrentQuestion = 1;
  shared.AwaitingAnswer = true;
  // A point of the asked animal and one of another animal, from the home scene's hit map.
  std::optional<plat::Point> asked, other;
  for (int y = 0; y < 410 && !(asked && other); y += 3)
    for (int x = 0; x < 640; x += 3) {
      int n = w.form->HitTest(x, y);
      if (n == 5 && !asked) asked = plat::Point{x, y};
      if (n != 0 && n != 5 && !other) other = plat::Point{x, y};
    }
  ASSERT_TRUE(asked && other);
  plat::trace::SetSink(
      [&](const std::string& l) {
        w.h.trace.push_back(l);
        if (l.ends_with(" caption lbl_spatne 1")) throw std::runtime_error("Chyba zapisu");
      },
      &w.h.backend.clock());
  auto click = [&](plat::Point p) {
    w.h.app->Post([&w, p] { w.form->podkladMouseDown(*w.form->podklad, plat::MouseButton::Left, {}, p.x, p.y); });
  };
  w.h.Ok();
  click(*other);
  w.h.app->RunFor(500);
  EXPECT_TRUE(w.h.Saw("msgbox error Ozzel - Bimbalo 4|Chyba zapisu"));
  EXPECT_FALSE(shared.ClickBusy);
  EXPECT_EQ(shared.BadCount, 1);
  click(*asked);
  w.h.app->RunFor(3000);
  EXPECT_EQ(shared.GoodCount, 1);
  EXPECT_TRUE(w.h.Saw("show preview"));
  EXPECT_FALSE(shared.ClickBusy);
}
