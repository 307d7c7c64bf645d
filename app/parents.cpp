// Opening the parents' page from the game, and taking in what a parent changed there.
#include "app/access.h"
#include "app/ozz_main.h"
#include "app/parents_page.h"
#include "game/words.h"
#include "media/parents.h"
#include "media/technic2.h"

namespace ozzel {

void Tform_ozzel::OpenParentsPage() {
  if (parents_page_open_) return;
  BusyScope open(parents_page_open_);
  const ParentsSettings before = parents;
  if (!RunParentsPage(game::CurrentWords().code, technic2.DataDir)) return;
  if (parents.SessionMinutes != before.SessionMinutes) RestartSessionLimit();
  if (!(parents == before)) ApplyParentsAccess();
}

}  // namespace ozzel
