// --version, --help and --voice-take; anything else is refused with the usage line.
#include "app/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "app/user_language.h"
#include "app/voice_texts.h"
#include "media/own_voice.h"
#include "platform/audio/take.h"
#include "platform/fs/fs.h"

namespace ozzel {

namespace {

constexpr const char* kUsage =
    "usage: ozzel [--version | --help | --voice-take IN.wav OUT.wav [--like MEDIUM.wav] |\n"
    "              --voice-export FILE | --voice-import FILE [--replace]]\n";
// A take's input: five minutes of 48 kHz stereo float is well under this.
constexpr size_t kMaxTakeFile = 128u << 20;

// Makes one take from a file, in the format of the medium's line (--like) or of the medium's speech.
int VoiceTake(const char* in, const char* out, const char* like) {
  FollowUserLanguage();
  const char* lang = std::getenv("OZZEL_LANGUAGE");
  const VoiceTexts& words = VoiceTextsFor(lang ? lang : "cs");
  plat::WavFormat format;
  if (like) {
    const auto bytes = plat::fs::ReadFile(like, kMaxTakeFile);
    const auto f = bytes ? plat::PcmFormatOf(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()) : std::nullopt;
    if (!f) {
      std::fprintf(stderr, "ozzel: %s: not an 8- or 16-bit PCM WAV to take the format from\n", like);
      return 1;
    }
    format = *f;
  }
  std::string data;
  const auto state = plat::fs::ReadRegularFile(in, kMaxTakeFile, data);
  if (state != plat::fs::ReadState::Ok) {
    std::fprintf(stderr, "ozzel: %s: %s\n", in, state == plat::fs::ReadState::TooBig ? "too large for a take" : "cannot be read");
    return 1;
  }
  const plat::Take t = plat::ShapeTake(reinterpret_cast<const uint8_t*>(data.data()), data.size(), format);
  switch (t.verdict) {
    case plat::TakeVerdict::Kept: break;
    case plat::TakeVerdict::Unreadable: std::printf("%s\n", words.unreadable); return 1;
    case plat::TakeVerdict::Silent: std::printf("%s\n", words.heard_nothing); return 1;
    case plat::TakeVerdict::TooQuiet: std::printf("%s\n", words.closer); return 1;
    case plat::TakeVerdict::Clipped: std::printf("%s\n", words.further); return 1;
  }
  if (!plat::fs::WriteFileAtomic(out, t.wav.data(), t.wav.size(), true)) {
    std::fprintf(stderr, "ozzel: %s: %s\n", out, words.not_saved);
    return 1;
  }
  std::printf("%s: %u ms recorded, %u ms of silence trimmed, %u ms kept; %.1f LUFS -> %.1f LUFS, peak %.1f dBFS; "
              "%u Hz, %u channel(s), %u-bit\n",
              out, t.input_ms, t.trimmed_ms, t.length_ms, t.lufs_before, t.lufs_after, t.peak_after_db, format.rate,
              unsigned(format.channels), unsigned(format.bits));
  return 0;
}

int Report(const TakesMoved& r, const char* file) {
  if (!r.error.empty()) {
    std::fprintf(stderr, "ozzel: %s: %s\n", file, r.error.c_str());
    return 1;
  }
  std::printf("%s: %d take(s) moved, %d already there kept, %d refused (not a spoken line, or not a WAV)\n", file,
              r.written, r.kept, r.refused);
  return 0;
}

// Takes of the registered medium's language into a pack, or from one; a take already there is replaced
// only when the parent says so (--replace, or yes on a terminal).
int VoicePackCommand(bool out, const char* file, bool replace) {
  FollowUserLanguage();
  const std::string language = RegisteredLanguage();
  if (out) return Report(ExportTakes(language, file), file);
  std::string error;
  const auto replaces = TakesAPackReplaces(file, language, &error);
  if (!replaces) {
    std::fprintf(stderr, "ozzel: %s: %s\n", file, error.c_str());
    return 1;
  }
  if (!replaces->empty() && !replace && isatty(0)) {
    const char* lang = std::getenv("OZZEL_LANGUAGE");
    std::printf("%s %zu [y/N] ", VoiceTextsFor(lang ? lang : "cs").replace, replaces->size());
    std::fflush(stdout);
    char answer[16] = {};
    replace = std::fgets(answer, sizeof answer, stdin) && (answer[0] == 'y' || answer[0] == 'Y');
  }
  return Report(ImportTakes(file, language, replace), file);
}

}  // namespace

std::optional<int> AnswerCommandLine(int argc, char** argv, const char* about) {
  if (argc <= 1) return std::nullopt;
  if (std::strcmp(argv[1], "--voice-take") == 0) {
    if (argc == 4) return VoiceTake(argv[2], argv[3], nullptr);
    if (argc == 6 && std::strcmp(argv[4], "--like") == 0) return VoiceTake(argv[2], argv[3], argv[5]);
    std::fprintf(stderr, "ozzel: --voice-take takes IN.wav OUT.wav, and --like MEDIUM.wav if wanted\n%s", kUsage);
    return 2;
  }
  if (std::strcmp(argv[1], "--voice-export") == 0 && argc == 3) return VoicePackCommand(true, argv[2], false);
  if (std::strcmp(argv[1], "--voice-import") == 0 && (argc == 3 || (argc == 4 && std::strcmp(argv[3], "--replace") == 0)))
    return VoicePackCommand(false, argv[2], argc == 4);
  const bool version = std::strcmp(argv[1], "--version") == 0, help = std::strcmp(argv[1], "--help") == 0;
  if (argc == 2 && version) {
    std::printf("ozzel %s\n", OZZEL_VERSION);
    return 0;
  }
  if (argc == 2 && help) {
    std::printf("%s%s", kUsage, about);
    return 0;
  }
  if (version || help)
    std::fprintf(stderr, "ozzel: %s takes nothing after it\n", argv[1]);
  else
    std::fprintf(stderr, "ozzel: unknown %s '%s'\n", argv[1][0] == '-' ? "option" : "argument", argv[1]);
  std::fprintf(stderr, "%s", kUsage);
  return 2;
}

}  // namespace ozzel
