// OZZEL_LANGUAGE from the user's language, for the real programs (the simulator keeps Czech).
#include "app/user_language.h"

#include <cstdlib>
#include <string>

#include "game/words.h"
#include "platform/os.h"

namespace ozzel {

void FollowUserLanguage() {
  if (const char* set = std::getenv("OZZEL_LANGUAGE"); set && *set) return;
  const std::string code = plat::os::UserLanguage();
  if (code.empty()) return;
  plat::os::SetEnv("OZZEL_LANGUAGE", game::WordsFor(code) ? code : "en");
}

}  // namespace ozzel
