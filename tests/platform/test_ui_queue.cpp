// Message queue and timers: ordering, coalescing, re-entrancy and the pump helper, in virtual time.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/trace.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"
#include "platform/ui/timer.h"

namespace plat {
namespace {

struct QueueTest : ::testing::Test {
  HeadlessBackend backend{{800, 600}};
  Application app{backend};
  std::vector<std::string> log;

  void Advance(uint64_t ms) { backend.vclock().Advance(ms); }
  uint64_t Now() { return backend.vclock().NowMs(); }
};

TEST_F(QueueTest, DueTimerYieldsOneTickAfterMissedIntervals) {
  int ticks = 0;
  Timer t(app, "t", 100, true, [&](Timer&) { ++ticks; });
  Advance(550);  // five intervals missed while nobody pumped
  app.ProcessMessages();
  EXPECT_EQ(ticks, 1);
  app.ProcessMessages();
  EXPECT_EQ(ticks, 1) << "the next interval starts at the tick, not at the old schedule";
  Advance(99);
  app.ProcessMessages();
  EXPECT_EQ(ticks, 1);
  Advance(1);
  app.ProcessMessages();
  EXPECT_EQ(ticks, 2);
}

TEST_F(QueueTest, TimersTickOnlyWhenPumped) {
  int ticks = 0;
  Timer t(app, "t", 100, true, [&](Timer&) { ++ticks; });
  Advance(1000);
  EXPECT_EQ(ticks, 0);
}

TEST_F(QueueTest, PostedMessagesAndInputRunBeforeTimersInOrder) {
  Timer t(app, "t", 10, true, [&](Timer&) { log.push_back("timer"); });
  Form f(app, "f");
  f.SetBounds(0, 0, 100, 100);
  f.Show();
  f.KeyPreview = true;
  f.OnKeyPress = [&](char& k) { log.push_back(std::string("key ") + k); };
  Advance(10);
  app.Post([&] { log.push_back("post1"); });
  InputEvent e;
  e.kind = InputEvent::Kind::KeyChar;
  e.ch = 'a';
  backend.Inject(e);
  app.ProcessMessages();
  // Input that waits in the backend joins the queue when it is fetched, after what was posted.
  EXPECT_EQ(log, (std::vector<std::string>{"post1", "key a", "timer"}));
}

TEST_F(QueueTest, MessagePostedByATimerRunsBeforeTheNextTimer) {
  Timer a(app, "a", 10, true, [&](Timer&) {
    log.push_back("a");
    app.Post([&] { log.push_back("posted by a"); });
  });
  Timer b(app, "b", 10, true, [&](Timer&) { log.push_back("b"); });
  Advance(10);
  app.ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "posted by a", "b"}));
}

TEST_F(QueueTest, TiesGoByDueTimeThenCreationOrder) {
  Timer late(app, "late", 30, true, [&](Timer&) { log.push_back("late"); });
  Timer b(app, "b", 20, true, [&](Timer&) { log.push_back("b"); });
  Timer a(app, "a", 20, true, [&](Timer&) { log.push_back("a"); });
  Advance(30);
  app.ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"b", "a", "late"}));
}

TEST_F(QueueTest, EnablingStartsAFullIntervalFromNow) {
  int ticks = 0;
  Timer t(app, "t", 100, false, [&](Timer&) { ++ticks; });
  Advance(70);
  t.SetEnabled(true);
  app.RunFor(99);
  EXPECT_EQ(ticks, 0);
  app.RunFor(1);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(Now(), 170u);
}

TEST_F(QueueTest, SettingTheIntervalRestartsIt) {
  int ticks = 0;
  Timer t(app, "t", 100, true, [&](Timer&) { ++ticks; });
  Advance(90);
  t.SetInterval(100);
  app.RunFor(99);
  EXPECT_EQ(ticks, 0);
  app.RunFor(1);
  EXPECT_EQ(ticks, 1);
}

TEST_F(QueueTest, DisablingDropsAPendingTick) {
  int ticks = 0;
  Timer t(app, "t", 100, true, [&](Timer&) { ++ticks; });
  Advance(150);  // a tick is pending
  t.SetEnabled(false);
  t.SetEnabled(true);
  app.ProcessMessages();
  EXPECT_EQ(ticks, 0);
  app.RunFor(100);
  EXPECT_EQ(ticks, 1);
}

TEST_F(QueueTest, AHandlerThatPumpsReceivesItsOwnTimerAgain) {
  int depth = 0, max_depth = 0, other = 0, entries = 0;
  Timer other_timer(app, "other", 30, true, [&](Timer&) { ++other; });
  Timer t(app, "t", 100, true, [&](Timer& self) {
    ++entries;
    ++depth;
    max_depth = std::max(max_depth, depth);
    if (depth == 1) {
      uint64_t until = app.Now() + 250;
      app.PumpWhile([&] { return app.Now() < until; });
    }
    --depth;
  });
  app.RunFor(100);
  EXPECT_EQ(entries, 3) << "outer tick at 100, nested ticks at 200 and 300";
  EXPECT_EQ(max_depth, 2);
  EXPECT_GE(other, 10);
}

TEST_F(QueueTest, NestedPumpsEndOnTheirOwnConditions) {
  bool inner_flag = false, outer_flag = false;
  std::vector<std::string> ends;
  Timer set_inner(app, "i", 200, true, [&](Timer& t) { t.SetEnabled(false); inner_flag = true; });
  Timer set_outer(app, "o", 500, true, [&](Timer& t) { t.SetEnabled(false); outer_flag = true; });
  Timer start_inner(app, "s", 50, true, [&](Timer& t) {
    t.SetEnabled(false);
    app.PumpWhile([&] { return !inner_flag; });
    ends.push_back("inner " + std::to_string(app.Now()));
  });
  app.Post([&] {
    app.PumpWhile([&] { return !outer_flag; });
    ends.push_back("outer " + std::to_string(app.Now()));
  });
  app.ProcessMessages();
  EXPECT_EQ(ends, (std::vector<std::string>{"inner 200", "outer 500"}));
}

TEST_F(QueueTest, ProcessMessagesNeverMovesVirtualTime) {
  Timer t(app, "t", 100, true, [&](Timer&) {});
  app.ProcessMessages();
  app.ProcessMessages();
  EXPECT_EQ(Now(), 0u);
}

TEST_F(QueueTest, WakeSourcesBoundTheWaitAndRunAfterIt) {
  uint64_t change = 250;
  int wakes = 0;
  app.AddWakeSource([&] { return change; }, [&] {
    ++wakes;
    if (app.Now() >= change) change = kNever;
  });
  bool seen = false;
  app.PumpWhile([&] {
    if (app.Now() >= 250) seen = true;
    return !seen;
  });
  EXPECT_EQ(Now(), 250u);
  EXPECT_GE(wakes, 1);
}

TEST_F(QueueTest, AWaitNothingCanEndIsReportedInsteadOfHanging) {
  EXPECT_THROW(app.PumpWhile([] { return true; }), std::logic_error);
}

TEST_F(QueueTest, IdleTimersDoNotWakeTheLoopAndKeepTheirPhase) {
  // The idle timer waits for a flag that another timer sets at 1050 and a key at 1300: it wakes the loop
  // for neither before, and ticks where it would have ticked all along (the key comes after the tick due
  // at its moment, as a script's input does). The loop's end at 2000 wakes it anyway: a tick due then runs.
  std::vector<uint64_t> waits;
  backend.OnIdle = [&](uint64_t deadline) {
    waits.push_back(deadline);
    if (deadline == 2000 && Now() < 1300) {
      backend.vclock().AdvanceTo(1300);
      InputEvent key;
      key.kind = InputEvent::Kind::KeyChar;
      key.ch = 'x';
      return backend.Inject(key);
    }
    backend.vclock().AdvanceTo(deadline);
  };
  bool wanted = false;
  app.SetInputFilter([&](const InputEvent&) { return wanted = true; });
  std::vector<uint64_t> ticks;
  Timer idle(app, "", 100, true, [&](Timer&) { ticks.push_back(Now()); wanted = false; });
  idle.Idle = [&](const Timer&) { return !wanted; };
  Timer once(app, "", 1050, true, [&](Timer& t) { wanted = true; t.SetEnabled(false); });
  app.RunFor(2000);
  EXPECT_EQ(ticks, (std::vector<uint64_t>{1100, 1400, 2000}));
  EXPECT_EQ(waits, (std::vector<uint64_t>{1050, 1100, 2000, 1400, 2000}));
  EXPECT_EQ(idle.due(), 2100u);
}

TEST_F(QueueTest, AnExceptionFromAHandlerIsShownAndTheLoopGoesOn) {
  std::vector<std::string> lines;
  trace::SetSink([&](const std::string& l) { lines.push_back(l); }, &backend.clock());
  app.SetTitle("Hra");
  backend.OnIdle = [&](uint64_t deadline) {
    InputEvent ok;
    ok.kind = InputEvent::Kind::DialogOk;
    if (app.ActiveModal()) return backend.Inject(ok);
    backend.vclock().AdvanceTo(deadline);
  };
  int ticks = 0;
  Timer t(app, "t", 100, true, [&](Timer&) {
    if (++ticks == 1) throw std::runtime_error("boom");
  });
  app.Post([] { throw 7; });
  app.RunFor(250);
  trace::SetSink(nullptr, nullptr);
  EXPECT_EQ(ticks, 2) << "the timer goes on ticking";
  EXPECT_EQ(lines, (std::vector<std::string>{"0 msgbox error Hra|Unknown exception", "100 msgbox error Hra|boom"}));
}

TEST_F(QueueTest, TimerSwitchesAreTracedExceptWhileTheFormLoads) {
  std::vector<std::string> lines;
  trace::SetSink([&](const std::string& l) { lines.push_back(l); }, &backend.clock());
  Form f(app, "f");
  f.SetLoading(true);
  Timer& t = f.AddTimer("starter", 500, false, {});
  t.SetEnabled(true);
  f.SetLoading(false);
  Advance(40);
  t.SetEnabled(true);  // no change, no line
  t.SetEnabled(false);
  t.SetEnabled(true);
  trace::SetSink(nullptr, nullptr);
  EXPECT_EQ(lines, (std::vector<std::string>{"40 timer starter off", "40 timer starter on"}));
}

TEST_F(QueueTest, RunShowsTheMainFormCentredAndEndsOnClose) {
  Form main(app, "main");
  main.SetBounds(0, 0, 640, 480);
  app.SetMainForm(&main);
  bool asked = false;
  main.OnCloseQuery = [&](bool& ok) { asked = ok = true; };
  Timer closer(app, "closer", 300, true, [&](Timer&) { main.Close(); });
  app.Run();
  EXPECT_TRUE(asked);
  EXPECT_TRUE(app.Terminated());
  EXPECT_EQ(main.Bounds(), (Rect{80, 60, 640, 480}));
  EXPECT_EQ(Now(), 300u);
}

TEST_F(QueueTest, ACloseRequestedFromInsideTheCloseQueryIsIgnored) {
  Form main(app, "main");
  app.SetMainForm(&main);
  int queries = 0;
  main.OnCloseQuery = [&](bool&) {
    ++queries;
    app.Post([&] { main.Close(); });
    app.ProcessMessages();
  };
  main.Close();
  EXPECT_EQ(queries, 1);
  EXPECT_TRUE(app.Terminated());
}

TEST_F(QueueTest, CloseQueryCanRefuse) {
  Form main(app, "main");
  app.SetMainForm(&main);
  main.OnCloseQuery = [](bool& ok) { ok = false; };
  main.Close();
  EXPECT_FALSE(app.Terminated());
}

TEST_F(QueueTest, ReleasedFormLeavesAfterPendingMessagesAndOwnedOnesAreDeleted) {
  bool destroyed = false, released = false;
  auto& f = app.CreateForm<Form>("bg");
  f.OnDestroy = [&] { destroyed = true; };
  f.OnReleased = [&] { released = true; };
  f.SetBounds(0, 0, 800, 600);
  f.Show();
  f.Release();
  EXPECT_EQ(app.Forms().size(), 1u) << "nothing happens until the queue is pumped";
  app.ProcessMessages();
  EXPECT_TRUE(released);
  EXPECT_TRUE(destroyed);
  EXPECT_TRUE(app.Forms().empty());
}

TEST_F(QueueTest, ReleasedFormOwnedElsewhereStaysAliveButDrawsNothing) {
  Form f(app, "bg");
  f.SetBounds(0, 0, 800, 600);
  f.Color = kWhite;
  f.Show();
  f.Release();
  app.ProcessMessages();
  EXPECT_TRUE(f.Released());
  EXPECT_FALSE(f.Visible());
  EXPECT_EQ(app.ComposeAll().At(10, 10), kBlack);
}

}  // namespace
}  // namespace plat
