// Opening the parents' page from the game, and taking in what a parent changed there.
#include <sstream>
#include <string>

#include "app/ozz_main.h"
#include "app/parents_page.h"
#include "media/parents.h"
#include "media/technic2.h"
#include "platform/fs/fs.h"

namespace ozzel {

namespace {

// The language the demo medium was made in, from its stamp; Czech for a disc that has none.
std::string MediumLanguage() {
  auto text = plat::fs::ReadFile(plat::fs::HostPath(technic2.DataDir + "\\.datagen-stamp"), 4096);
  if (!text) return "cs";
  std::istringstream in(*text);
  for (std::string key, value; in >> key >> value;)
    if (key == "language") return value;
  return "cs";
}

}  // namespace

void Tform_ozzel::OpenParentsPage() {
  if (parents_page_open_) return;
  BusyScope open(parents_page_open_);
  const ParentsSettings before = parents;
  if (!RunParentsPage(MediumLanguage(), technic2.DataDir)) return;
  if (parents.SessionMinutes != before.SessionMinutes) RestartSessionLimit();
}

}  // namespace ozzel
