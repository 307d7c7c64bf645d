// libespeak-ng wrapper: one synchronous engine for the whole run, reseeded per utterance.
#include "tools/datagen/speech.h"

#include <espeak-ng/speak_lib.h>

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
  ready = true;
}

}  // namespace

Pcm Say(const std::string& utf8, const Voice& v) {
  EnsureEngine();
  if (espeak_SetVoiceByName(v.name.c_str()) != EE_OK)
    throw Error("libespeak-ng has no voice \"" + v.name + "\" (Czech data cs_dict missing? package espeak-ng-data)");
  espeak_SetParameter(espeakRATE, v.rate, 0);
  espeak_SetParameter(espeakPITCH, v.pitch, 0);
  espeak_SetParameter(espeakRANGE, v.range, 0);
  espeak_SetParameter(espeakVOLUME, 100, 0);
  // The engine draws breath noise from rand(): a fixed seed per utterance keeps the output
  // independent of what was said before.
  std::srand(1);
  std::vector<short> raw;
  g_sink = &raw;
  const espeak_ERROR err = espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                                        nullptr, nullptr);
  espeak_Synchronize();
  g_sink = nullptr;
  if (err != EE_OK || raw.empty()) throw Error("libespeak-ng failed to speak: " + utf8);
  Pcm p(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) p[i] = float(raw[i] / 32768.0);
  p = Trim(p, 0.004, 0.06);
  Normalize(p, 0.85);
  return p;
}

}  // namespace datagen
