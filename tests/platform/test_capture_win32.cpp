// The microphone on Windows (waveIn): opened, it hears samples at its rate; refused, it says why.
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "platform/clock.h"
#include "platform/win32/win32_audio.h"

namespace plat {
namespace {

TEST(Win32Capture, HearsTheDefaultInputOrSaysWhyNot) {
  RealClock clock;
  Win32Audio audio(clock);
  std::string why;
  auto mic = audio.OpenMicrophone(&why);
  if (!mic) {
    // A machine without a microphone (wine without a capture device): a reason, never a crash.
    EXPECT_FALSE(why.empty());
    GTEST_SKIP() << "no microphone here: " << why;
  }
  EXPECT_EQ(mic->Rate(), 22050u);
  // Half a second of the input, polled as the studio polls it (a generous bound: a loaded machine is slow).
  std::vector<float> heard;
  for (int i = 0; i < 200 && heard.size() < 11025; ++i) {
    ASSERT_TRUE(mic->Read(heard));
    Sleep(50);
  }
  EXPECT_GE(heard.size(), 11025u);
  double peak = 0;
  for (float s : heard) peak = std::max(peak, double(std::fabs(s)));
  EXPECT_LE(peak, 1.0);
  // OZZEL_CAPTURE_PEAK=x.y: what the input is known to play (wine reading a file through ALSA).
  if (const char* want = std::getenv("OZZEL_CAPTURE_PEAK")) EXPECT_NEAR(peak, std::atof(want), 0.05);
  RecordProperty("peak", std::to_string(peak));
  std::printf("heard %zu samples, peak %.3f\n", heard.size(), peak);
}

}  // namespace
}  // namespace plat
#endif
