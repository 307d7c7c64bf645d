// The program in the browser: the page has taken the first tap, fetched the medium (named in OZZEL_MEDIUM)
// and opened the settings store before it starts this; a fatal error goes to the page's console.
#include <cstdio>
#include <memory>

#include "app/run_main.h"
#include "platform/web/web_backend.h"

int main(int argc, char** argv) {
  ozzel::System browser;
  browser.make_backend = [] { return std::make_unique<plat::WebBackend>(); };
  browser.fatal = [](const std::string& what) { std::fprintf(stderr, "ozzel: %s\n", what.c_str()); };
  return ozzel::RunMain(argc, argv, browser);
}
