// The program in the browser: the page has taken the first tap, fetched the medium (named in OZZEL_MEDIUM)
// and opened the settings store before it starts this; a fatal error goes to the page's console.
#include <cstdio>
#include <memory>
#include <string>

#include <emscripten.h>

#include "app/run_main.h"
#include "media/answers_store.h"
#include "media/technic2.h"
#include "platform/web/web_backend.h"

// A page being hidden may be a tab closed or a tablet put away: nothing runs after it. The counters and
// the answers are written then, as an exit would (the same values again at a later hiding or the exit).
extern "C" EMSCRIPTEN_KEEPALIVE void ozz_keep_play() {
  if (ozzel::technic2.StartCount == 0) return;  // not yet read: nothing to keep
  ozzel::Technic2_Finalize();
  ozzel::Answers_Finalize();
}

// However the program ends, the page stores what it played and offers to play again. A main that has
// slept (every game does) returns without emscripten's exit, so the page is told here.
EM_JS(void, ozz_page_ended, (int code, const char* why), {
  if (Module.ozzEnded) Module.ozzEnded(code, why ? UTF8ToString(why) : "");
});

namespace {
std::string fatal_error;
}

int main(int argc, char** argv) {
  ozzel::System browser;
  browser.make_backend = [] { return std::make_unique<plat::WebBackend>(); };
  browser.fatal = [](const std::string& what) {
    std::fprintf(stderr, "ozzel: %s\n", what.c_str());
    fatal_error = what;
  };
  const int code = ozzel::RunMain(argc, argv, browser);
  ozz_page_ended(code, fatal_error.empty() ? nullptr : fatal_error.c_str());
  return code;
}
