// Per-stage thread time: a steady clock, an atomic sum per stage, the innermost timer of a thread counting.
#include "tools/datagen/stages.h"

#include <atomic>
#include <chrono>
#include <cstdio>

namespace datagen {

namespace {

std::atomic<long long> g_ns[size_t(Stage::kCount)];
thread_local StageTimer* t_innermost = nullptr;

long long Now() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

constexpr const char* kNames[] = {"pictures", "hit maps", "speech", "animal sounds", "declicking",
                                  "loudness", "song",     "clip",   "writing"};
static_assert(sizeof kNames / sizeof *kNames == size_t(Stage::kCount));

}  // namespace

StageTimer::StageTimer(Stage s) : stage_(s), start_(Now()), outer_(t_innermost) { t_innermost = this; }

StageTimer::~StageTimer() {
  const long long spent = Now() - start_;
  g_ns[size_t(stage_)] += spent - inner_;
  if (outer_) outer_->inner_ += spent;
  t_innermost = outer_;
}

std::string StageReport() {
  std::string out;
  for (size_t i = 0; i < size_t(Stage::kCount); ++i) {
    if (!g_ns[i]) continue;
    char line[64];
    std::snprintf(line, sizeof line, "%-14s %7.3f s\n", kNames[i], double(g_ns[i]) / 1e9);
    out += line;
  }
  return out;
}

}  // namespace datagen
