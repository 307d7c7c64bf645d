// libespeak-ng wrapper: one synchronous engine loaded once, each utterance spoken by a fresh copy of it.
#include "tools/datagen/speech.h"

#include <espeak-ng/speak_lib.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/datagen/error.h"

namespace datagen {

namespace {

std::vector<short>* g_sink = nullptr;

int Collect(short* wav, int n, espeak_EVENT*) {
  if (wav && n > 0 && g_sink) g_sink->insert(g_sink->end(), wav, wav + n);
  return 0;
}

void EnsureEngine() {
  static bool ready = false;
  if (ready) return;
  const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
  if (rate <= 0)
    throw Error("libespeak-ng could not start (is espeak-ng-data installed? package espeak-ng-data)");
  if (rate != kRate)
    throw Error("libespeak-ng speaks at " + std::to_string(rate) + " Hz, expected " + std::to_string(kRate));
  espeak_SetSynthCallback(Collect);
  // Loading the Czech dictionary once here spares every child the work; it says nothing yet.
  if (espeak_SetVoiceByName("cs") != EE_OK)
    throw Error("libespeak-ng has no Czech voice (cs_dict missing? package espeak-ng-data)");
  ready = true;
}

// Runs the engine in a child process that starts from the freshly initialised engine: espeak-ng
// keeps filter and echo state from one utterance to the next, so speaking in-process would make
// each recording depend on what was said before it.
std::vector<short> SynthInChild(const std::string& utf8, const Voice& v) {
  int fds[2];
  if (::pipe(fds) != 0) throw Error("cannot create a pipe for speech synthesis");
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    throw Error("cannot fork for speech synthesis");
  }
  if (pid == 0) {
    ::close(fds[0]);
    int status = 1;
    if (espeak_SetVoiceByName(v.name.c_str()) == EE_OK) {
      espeak_SetParameter(espeakRATE, v.rate, 0);
      espeak_SetParameter(espeakPITCH, v.pitch, 0);
      espeak_SetParameter(espeakRANGE, v.range, 0);
      espeak_SetParameter(espeakVOLUME, 100, 0);
      std::srand(1);  // breath noise comes from rand()
      std::vector<short> raw;
      g_sink = &raw;
      const espeak_ERROR err = espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                                            nullptr, nullptr);
      espeak_Synchronize();
      status = err == EE_OK ? 0 : 3;
      const char* p = reinterpret_cast<const char*>(raw.data());
      size_t left = raw.size() * sizeof(short);
      while (status == 0 && left > 0) {
        const ssize_t n = ::write(fds[1], p, left);
        if (n <= 0) status = 4;
        else p += n, left -= size_t(n);
      }
    } else {
      status = 2;
    }
    ::close(fds[1]);
    ::_exit(status);
  }
  ::close(fds[1]);
  std::vector<char> bytes;
  char buf[1 << 15];
  for (;;) {
    const ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    bytes.insert(bytes.end(), buf, buf + n);
  }
  ::close(fds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 100;
  if (code == 2)
    throw Error("libespeak-ng has no voice \"" + v.name + "\" (Czech data cs_dict missing? package espeak-ng-data)");
  if (code != 0) throw Error("libespeak-ng failed to speak: " + utf8);
  std::vector<short> raw(bytes.size() / sizeof(short));
  std::memcpy(raw.data(), bytes.data(), raw.size() * sizeof(short));
  return raw;
}

}  // namespace

Pcm Say(const std::string& utf8, const Voice& v) {
  EnsureEngine();
  const std::vector<short> raw = SynthInChild(utf8, v);
  if (raw.empty()) throw Error("libespeak-ng said nothing for: " + utf8);
  Pcm p(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) p[i] = float(raw[i] / 32768.0);
  p = Trim(p, 0.004, 0.06);
  Normalize(p, 0.85);
  return p;
}

}  // namespace datagen
