// datagen: makes the demo data medium in a language, checks its stamp, registers its root.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "game/names.h"
#include "platform/registry/registry.h"
#include "tools/datagen/error.h"
#include "tools/datagen/medium.h"
#include "tools/datagen/speech.h"
#include "tools/datagen/stages.h"
#include "tools/datagen/texts.h"

namespace {

int Usage(FILE* to = stderr, int status = 2) {
  std::fprintf(to,
               "usage: datagen [--force] [--quiet] [--period] [--jobs N] [--stages] [--language L] ROOT\n"
               "                                          build ROOT/bm4/_ozzel unless it is current (silent then);\n"
               "                                          --period: ROOT/BM4/_OZZEL as a 1990s disc holds it, read-only;\n"
               "                                          --jobs: threads (default: one per core)\n"
               "                                          --stages: the time spent per stage, on stderr\n"
               "       datagen --progress [--language L] ROOT\n"
               "                                          the same, reporting on stdout for a waiting screen:\n"
               "                                          'progress DONE TOTAL' lines, 'error voice|space|other TEXT'\n"
               "       datagen --check [--period] [--language L] ROOT\n"
               "                                          exit 0 when ROOT holds a current medium\n"
               "       datagen --locale                   print the language the user's locale asks for\n"
               "       datagen --voice [--language L]     print the voice the examiner speaks L with\n"
               "       datagen --register ROOT [--registry FILE]\n"
               "                                          store ROOT as the suite's data root (kde_je_BM4)\n"
               "       datagen --version | --help\n"
               "languages (L): cs (the default) sk en de pl fr es\n");
  return status;
}

std::string Absolute(const std::string& p) { return std::filesystem::absolute(p).lexically_normal().string(); }

// What a waiting screen tells a parent: the disk is full, the speech engine is missing, or something else.
const char* ErrorKind(const std::string& what) {
  for (const char* s : {"No space left", "Disk quota"})
    if (what.find(s) != std::string::npos) return "space";
  for (const char* s : {"espeak", "Festival"})
    if (what.find(s) != std::string::npos) return "voice";
  return "other";
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = "build", root, registry, language = "cs";
  bool force = false, quiet = false, period = false, progress = false, stages = false;
  unsigned jobs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    if (a == "--force") force = true;
    else if (a == "--quiet") quiet = true;
    else if (a == "--progress") progress = quiet = true;
    else if (a == "--period") period = true;
    else if (a == "--stages") stages = true;
    else if (a == "--check") mode = "check";
    else if (a == "--locale") mode = "locale";
    else if (a == "--voice") mode = "voice";
    else if (a == "--language") language = next();
    else if (a == "--jobs") {
      const std::string n = next();
      if (n.empty() || n.size() > 3 || n.find_first_not_of("0123456789") != std::string::npos || std::stoi(n) < 1)
        return Usage();
      jobs = unsigned(std::stoi(n));
    }
    else if (a == "--register") mode = "register";
    else if (a == "--registry") registry = next();
    else if (a == "-h" || a == "--help") return Usage(stdout, 0);
    else if (a == "--version") {
      std::printf("datagen %s\n", OZZEL_VERSION);
      return 0;
    }
    else if (!a.empty() && a[0] != '-' && root.empty()) root = a;
    else return Usage();
  }
  try {
    if (mode == "locale") {
      std::string warning;
      const std::string code = datagen::LanguageForLocale(std::getenv("OZZEL_LANGUAGE"), std::getenv("LC_ALL"),
                                                          std::getenv("LC_MESSAGES"), std::getenv("LANG"), &warning);
      if (!warning.empty()) std::fprintf(stderr, "datagen: %s; the locale decides\n", warning.c_str());
      std::printf("%s\n", code.c_str());
      return 0;
    }
    const auto& codes = datagen::LanguageCodes();
    if (std::find(codes.begin(), codes.end(), language) == codes.end()) return Usage();
    datagen::SetLanguage(language);
    if (mode == "voice") {
      std::printf("%s\n", datagen::ExaminerVoice().c_str());
      return 0;
    }
    if (root.empty()) return Usage();
    root = Absolute(root);
    if (mode == "check") return datagen::MediumCurrent(root, period) ? 0 : 1;
    if (mode == "register") {
      datagen::RegisterRoot(registry.empty() ? plat::Registry::DefaultPath() : registry, root);
      if (!quiet) std::printf("data root %s registered\n", root.c_str());
      return 0;
    }
    if (!force && datagen::MediumCurrent(root, period)) return 0;
    // The fallback's medium stays while Festival still fails; once it speaks, the proper one is made.
    if (!force && datagen::FallbackMedium(root, period) && datagen::ExaminerFellBack()) {
      if (!quiet) std::printf("kept the medium in %s: %s\n", datagen::MediumDir(root, period).c_str(),
                              datagen::ExaminerVoice().c_str());
      return 0;
    }
    if (!quiet) std::printf("building the demo medium in %s ...\n", datagen::MediumDir(root, period).c_str());
    size_t done = 0;
    const size_t total = ozzel::game::AllDataFiles().size();
    auto report = [&](const std::string&) {
      std::printf("progress %zu %zu\n", done++, total);
      std::fflush(stdout);
    };
    // A kill (or the waiting screen gone) ends the work with nothing half-made left behind.
    datagen::StopOnSignals();
    if (progress) report("");  // at once: the bar appears before the first file is made
    datagen::GenerateMedium(root, progress ? std::function<void(const std::string&)>(report) : nullptr, period, jobs);
    if (stages) std::fprintf(stderr, "%s", datagen::StageReport().c_str());
    if (!quiet) std::printf("done (language %s, voice %s)\n", language.c_str(), datagen::ExaminerVoice().c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "datagen: %s\n", e.what());
    if (const int sig = datagen::StopSignal()) return 128 + sig;
    if (progress) std::printf("error %s %s\n", ErrorKind(e.what()), e.what());
    return 1;
  }
}
