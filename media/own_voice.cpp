// Reads where the family's takes are and whether they play; the audio layer does the standing in.
#include "media/own_voice.h"

#include <cstdlib>

#include "game/words.h"
#include "media/registry_keys.h"
#include "platform/audio/own_voice.h"
#include "platform/registry/registry.h"

namespace ozzel {

std::string OwnVoiceFolder(const std::string& language) {
  const std::string settings = plat::Registry::DefaultPath();
  plat::Registry reg(settings);
  if (auto v = reg.Read(kKeyOzzel, kValueOwnVoice);
      v && (v->type == plat::RegType::String || v->type == plat::RegType::ExpandString) && !v->text.empty())
    return v->text;
  std::string beside;
  if (!settings.empty()) {
    const size_t sep = settings.find_last_of("/\\");
    beside = sep == std::string::npos ? "." : settings.substr(0, sep);
  } else if (const char* app_data = std::getenv("APPDATA"); app_data && *app_data) {
    beside = std::string(app_data) + "\\Ozzel";
  } else {
    return {};
  }
  return beside + "/voice/" + language;
}

void OwnVoice_Initialize() {
  plat::Registry reg(plat::Registry::DefaultPath());
  const auto off = reg.Read(kKeyOzzel, kValueOwnVoiceOff);
  if (off && off->type == plat::RegType::Dword && off->dword == 1) {
    plat::SetTakeFolder({});
    return;
  }
  plat::SetTakeFolder(OwnVoiceFolder(game::CurrentWords().code));
}

}  // namespace ozzel
