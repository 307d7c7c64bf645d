// The settings store when a writer dies mid-write: the file always parses and holds the old or the
// new value, nothing is moved aside, and the lock of a killed writer does not block the next one.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "media/technic2.h"
#include "platform/registry/registry.h"
#include "tests/app/app_harness.h"

namespace ozzel {
namespace {

namespace fs = std::filesystem;
using plat::RegType;
using plat::RegValue;

RegValue Dw(uint32_t v) {
  RegValue r;
  r.type = RegType::Dword;
  r.dword = v;
  return r;
}

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// A store that other programs of the suite have filled, so that a write takes a while.
void FillStore(plat::Registry& reg) {
  std::string text = "REGEDIT4\n";
  for (int k = 0; k < 40; ++k) {
    text += "\n[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Modul " + std::to_string(k) + "]\n";
    for (int v = 0; v < 25; ++v)
      text += "\"v" + std::to_string(v) + "\"=\"hodnota " + std::to_string(k * 100 + v) + " s háčky a čárkami\"\n";
  }
  ASSERT_TRUE(plat::ParseReg(text));
  std::ofstream(reg.path(), std::ios::binary) << text;
  ASSERT_TRUE(reg.Read("Software\\Orvel Team\\BM4\\Modul 39", "v24"));
}

// Files next to the store: moved-aside copies and leftovers of killed writers.
struct Siblings {
  int corrupt = 0, temp = 0;
};
Siblings Look(const fs::path& store) {
  Siblings s;
  for (const auto& e : fs::directory_iterator(store.parent_path())) {
    std::string n = e.path().filename().string();
    if (n.find(".corrupt-") != std::string::npos) ++s.corrupt;
    if (n.find(".tmp-") != std::string::npos) ++s.temp;
  }
  return s;
}

uint32_t DwordOr(plat::Registry& reg, const char* name, uint32_t fallback) {
  auto v = reg.Read(kKeySettings, name);
  return v && v->type == RegType::Dword ? v->dword : fallback;
}

// Kills the child after `us` microseconds (it may have finished already) and reaps it.
void KillAfter(pid_t pid, int us) {
  std::this_thread::sleep_for(std::chrono::microseconds(us));
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
}

class RegistryStress : public ::testing::Test {
 protected:
  testing::TempStore store_;
};

TEST_F(RegistryStress, WriterKilledAtRandomPointsLeavesOldOrNewValue) {
  plat::Registry reg(store_.path());
  ASSERT_NO_FATAL_FAILURE(FillStore(reg));
  ASSERT_TRUE(reg.Write(kKeySettings, "Ozzel_starty", Dw(0)));
  ASSERT_TRUE(reg.Write(kKeySettings, "KORDO SERIE", Dw(0)));
  const plat::RegData filled = *plat::ParseReg(Slurp(store_.path()));

  std::mt19937 rng(4242);
  int changed = 0;
  for (int run = 0; run < 200; ++run) {
    uint32_t starts = DwordOr(reg, "Ozzel_starty", 999999), kordo = DwordOr(reg, "KORDO SERIE", 999999);
    const bool finalize = run % 2 == 1;
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      // Half the runs write as the program does at exit: the start counter, then the other value.
      if (finalize) {
        technic2.StartCount = int32_t(starts + 1);
        technic2.KordoSerie = int32_t(kordo + 1);
        Technic2_Finalize();
      } else {
        plat::Registry(store_.path()).Write(kKeySettings, "Ozzel_starty", Dw(starts + 1));
      }
      std::_Exit(0);
    }
    KillAfter(pid, int(rng() % 4000));

    std::string text = Slurp(store_.path());
    auto data = plat::ParseReg(text);
    ASSERT_TRUE(data) << "run " << run << ": the store does not parse:\n" << text.substr(0, 400);
    uint32_t now_starts = DwordOr(reg, "Ozzel_starty", 999999), now_kordo = DwordOr(reg, "KORDO SERIE", 999999);
    ASSERT_TRUE(now_starts == starts || now_starts == starts + 1) << "run " << run << ": " << now_starts;
    ASSERT_TRUE(now_kordo == kordo || now_kordo == kordo + 1) << "run " << run << ": " << now_kordo;
    // The start counter is written first.
    if (now_kordo != kordo) {
      ASSERT_EQ(now_starts, starts + 1) << "run " << run;
    }
    if (now_starts != starts) ++changed;
    // Everything else in the store is untouched.
    ASSERT_EQ(data->keys.size(), filled.keys.size()) << "run " << run;
    for (const auto& [path, key] : filled.keys) {
      if (path == "software\\orvel team\\bm4\\nastaveni - obecne") continue;
      ASSERT_EQ(data->keys.at(path), key) << "run " << run << ": " << path;
    }
    ASSERT_EQ(Look(store_.path()).corrupt, 0) << "run " << run << ": a store was moved aside";
  }
  // The next ordinary write still gets the lock and succeeds.
  ASSERT_TRUE(reg.Write(kKeySettings, "Ozzel_starty", Dw(77)));
  EXPECT_EQ(DwordOr(reg, "Ozzel_starty", 0), 77u);
  std::cout << "store writes completed before the kill: " << changed << " of 200\n";
  EXPECT_LE(Look(store_.path()).temp, 1) << "killed writers must not pile up temporary files";
}

TEST_F(RegistryStress, WriterKilledWhileAnotherWritesDoesNotBlockIt) {
  plat::Registry reg(store_.path());
  ASSERT_NO_FATAL_FAILURE(FillStore(reg));
  std::mt19937 rng(99);
  for (int run = 0; run < 10; ++run) {
    pid_t victim = fork();
    ASSERT_GE(victim, 0);
    if (victim == 0) {
      plat::Registry r(store_.path());
      for (uint32_t i = 0;; ++i) r.Write(kKeySettings, "victim", Dw(i));
    }
    pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
      plat::Registry r(store_.path());
      bool ok = true;
      for (uint32_t i = 0; i < 20; ++i) ok = r.Write(kKeySettings, "other", Dw(uint32_t(run) * 100 + i)) && ok;
      std::_Exit(ok ? 0 : 1);
    }
    KillAfter(victim, int(rng() % 20000));

    // The survivor must finish: a dead writer's lock is released with its process.
    int status = 0;
    pid_t got = 0;
    for (int i = 0; i < 3000 && got == 0; ++i) {
      got = waitpid(other, &status, WNOHANG);
      if (got == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (got == 0) {
      kill(other, SIGKILL);
      waitpid(other, &status, 0);
      FAIL() << "run " << run << ": the other writer hung for 30 s";
    }
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "run " << run;
    ASSERT_EQ(DwordOr(reg, "other", 0), uint32_t(run) * 100 + 19) << "run " << run;
    ASSERT_TRUE(plat::ParseReg(Slurp(store_.path()))) << "run " << run;
    ASSERT_EQ(Look(store_.path()).corrupt, 0) << "run " << run;
  }
}

}  // namespace
}  // namespace ozzel
