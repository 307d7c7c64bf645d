// The program in the browser: the page has taken the first tap, fetched the medium and opened the
// settings store before it starts this; the medium it names is registered as the launcher would.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <emscripten.h>

#include "app/program.h"
#include "media/answers_store.h"
#include "media/registry_keys.h"
#include "media/technic2.h"
#include "platform/registry/registry.h"
#include "platform/trace.h"
#include "platform/web/web_backend.h"

// A page being hidden may be a tab closed or a tablet put away: nothing runs after it. The counters and
// the answers are written then, as an exit would (the same values again at a later hiding or the exit).
extern "C" EMSCRIPTEN_KEEPALIVE void ozz_keep_play() {
  if (ozzel::technic2.StartCount == 0) return;  // not yet read: nothing to keep
  ozzel::Technic2_Finalize();
  ozzel::Answers_Finalize();
}

int main() {
  plat::WebBackend backend;
  if (const char* t = std::getenv("OZZEL_TRACE"); t && *t == '1')
    plat::trace::SetSink([](const std::string& line) { std::printf("%s\n", line.c_str()); }, &backend.clock());
  // The page says which language's medium it fetched (the browser's language, or the one a parent chose).
  if (const char* medium = std::getenv("OZZEL_MEDIUM"); medium && *medium) {
    plat::Registry reg(plat::Registry::DefaultPath());
    plat::RegValue root;
    root.text = medium;
    if (reg.Read(ozzel::kKeyOdklon, ozzel::kValueDataRoot) != root) reg.Write(ozzel::kKeyOdklon, ozzel::kValueDataRoot, root);
  }
  return ozzel::RunProgram(backend);
}
