// Where the settings file lives on POSIX systems (Linux, the browser): the user's configuration folder.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/registry/reg_store.h"
#include "platform/start_dir.h"

namespace plat {

std::string Registry::DefaultPath() {
  // Relative settings are taken from where the program was started, not from the data root it moves to.
  if (const char* p = std::getenv("OZZEL_REGISTRY"); p && *p) return FromStartDir(p);
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) return FromStartDir(x) + "/bimbalo/registry.reg";
  std::string home;
  if (const char* h = std::getenv("HOME"); h && *h)
    home = h;
  else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
    home = pw->pw_dir;
  else
    home = FromStartDir(".");
  return home + "/.config/bimbalo/registry.reg";
}

// Only the file: there is no registry of the system's own.
std::unique_ptr<RegStore> MakeSystemStore() { return nullptr; }

}  // namespace plat
