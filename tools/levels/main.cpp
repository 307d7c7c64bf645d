// ozzel-levels: how loud every recording of a medium is, and how the speech stands over its music.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "platform/audio/media_info.h"
#include "platform/fs/fs.h"
#include "tools/datagen/clicks.h"
#include "tools/datagen/loudness.h"
#include "tools/levels/mix.h"

namespace {

namespace stdfs = std::filesystem;

struct Row {
  std::string name;
  bool speech = true;
  double lufs = 0, peak = 0, first = 0, last = 0;
  std::vector<datagen::Click> joins;  // clicks inside the recording
};

bool ReadWav(const stdfs::path& p, datagen::Pcm* out) {
  const auto bytes = plat::fs::ReadFile(p.string());
  if (!bytes) return false;
  const auto* d = reinterpret_cast<const uint8_t*>(bytes->data());
  const auto w = plat::ParseWav(d, bytes->size());
  if (!w || w->bits != 16 || w->channels != 1) return false;
  out->resize(w->data_bytes / 2);
  for (size_t i = 0; i < out->size(); ++i)
    (*out)[i] = float(int16_t(d[w->data_offset + 2 * i] | d[w->data_offset + 2 * i + 1] << 8) / 32768.0);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: ozzel-levels ROOT [QUESTION.wav]   levels of ROOT/bm4/_ozzel\n");
    return 2;
  }
  const stdfs::path dir = stdfs::path(argv[1]) / "bm4" / "_ozzel";
  std::vector<Row> rows;
  std::error_code ec;
  for (const auto& e : stdfs::directory_iterator(dir / "zvuky", ec)) {
    datagen::Pcm p;
    if (!ReadWav(e.path(), &p) || p.empty()) {
      std::fprintf(stderr, "ozzel-levels: cannot read %s\n", e.path().c_str());
      return 1;
    }
    Row r;
    r.name = e.path().filename().string();
    // The animals' sounds and the failure tone are effects; everything else is the examiner talking.
    r.speech = !std::regex_match(r.name, std::regex(R"((oz_snd[0-9]+|oz_bad)\.wav)", std::regex::icase));
    r.lufs = datagen::IntegratedLoudness(p);
    r.peak = datagen::PeakDb(p);
    r.first = std::fabs(p.front()), r.last = std::fabs(p.back());
    r.joins = datagen::FindClicks(p);
    rows.push_back(r);
  }
  if (rows.empty()) {
    std::fprintf(stderr, "ozzel-levels: no recordings in %s\n", (dir / "zvuky").c_str());
    return 1;
  }
  std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.name < b.name; });
  double lo = 1e9, hi = -1e9, sum = 0, peak = -1e9;
  int speech = 0, clicks = 0, joins = 0;
  for (const Row& r : rows) {
    std::printf("%-16s %-6s %7.2f LUFS  peak %6.2f dBFS  ends %.4f %.4f  clicks %zu", r.name.c_str(),
                r.speech ? "speech" : "sound", r.lufs, r.peak, r.first, r.last, r.joins.size());
    for (const datagen::Click& c : r.joins) std::printf(" %.3fs", double(c.first) / datagen::kRate);
    std::printf("\n");
    joins += int(r.joins.size());
    peak = std::max(peak, r.peak);
    clicks += r.first > 0.01 || r.last > 0.01;
    if (r.speech) lo = std::min(lo, r.lufs), hi = std::max(hi, r.lufs), sum += r.lufs, ++speech;
  }
  const double mean = sum / std::max(1, speech);
  double fx_lo = 1e9, fx_hi = -1e9;
  for (const Row& r : rows)
    if (!r.speech) fx_lo = std::min(fx_lo, r.lufs - mean), fx_hi = std::max(fx_hi, r.lufs - mean);
  std::printf("\nspeech: %d files, %.2f .. %.2f LUFS (spread %.2f dB, mean %.2f)\n", speech, lo, hi, hi - lo, mean);
  std::printf("sounds: %+.2f .. %+.2f dB from the speech's mean\n", fx_lo, fx_hi);
  std::printf("peaks:  loudest %.2f dBFS; files starting or ending above 1 %% of full scale: %d\n", peak, clicks);
  std::printf("clicks: %d inside the recordings\n", joins);

  const std::string question = argc == 3 ? argv[2] : (dir / "zvuky" / "oz_D_a5.wav").string();
  try {
    const levels::MixLevels m = levels::MeasureMix((dir / "hudba" / "ozzel.mid").string(), question);
    std::printf("\nmixed as the program plays them (%s over %.1f s of music):\n", stdfs::path(question).filename().c_str(),
                m.seconds);
    std::printf("  speech %.2f LUFS, music %.2f LUFS (loudest 3 s %.2f): speech %.2f dB above the music "
                "(%.2f above its loudest)\n",
                m.speech_lufs, m.music_lufs, m.music_loudest, m.speech_lufs - m.music_lufs,
                m.speech_lufs - m.music_loudest);
    std::printf("  peak of speech and music together %.2f dBFS\n", m.mix_peak_db);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ozzel-levels: %s\n", e.what());
    return 1;
  }
  return 0;
}
