// One game per user: a second claim fails and wakes the first; the lock goes with the first game.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "platform/os/single_instance.h"

namespace {

TEST(SingleInstance, SecondClaimRaisesTheFirstAndTheLockEndsWithIt) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("ozzel-instance-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::mutex mu;
  std::condition_variable cv;
  int raised = 0;
  {
    auto first = plat::SingleInstance::Claim(
        [&] {
          std::lock_guard<std::mutex> lock(mu);
          ++raised;
          cv.notify_all();
        },
        dir.string());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(plat::SingleInstance::Claim([] {}, dir.string()), nullptr);
    std::unique_lock<std::mutex> lock(mu);
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(20), [&] { return raised == 1; }));
  }
  // The first game has ended: the next one is the first again.
  EXPECT_NE(plat::SingleInstance::Claim([] {}, dir.string()), nullptr);
  std::filesystem::remove_all(dir);
}

}  // namespace
