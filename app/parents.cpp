// Opening the parents' page from the game, and taking in what a parent changed there.
#include "app/ozz_main.h"
#include "app/parents_page.h"
#include "app/parents_texts.h"
#include "app/voice_studio.h"
#include "game/words.h"
#include "media/parents.h"
#include "media/technic2.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"

namespace ozzel {

void Tform_ozzel::StartParentsGate() {
  gate_hook_ = app().AddKeyHook([this](const plat::InputEvent& e) {
    if (e.key != plat::Key::Parents) return;
    // The system's repeats of a held key must not restart the count.
    if (e.kind == plat::InputEvent::Kind::KeyDown && !e.repeat) brana_rodicu->SetEnabled(true);
    if (e.kind == plat::InputEvent::Kind::KeyUp) brana_rodicu->SetEnabled(false);
  });
}

void Tform_ozzel::brana_rodicuTimer(plat::Timer& t) {
  t.SetEnabled(false);
  OpenParentsPage();
}

void Tform_ozzel::OpenParentsPage() {
  if (parents_page_open_) return;
  BusyScope open(parents_page_open_);
  const ParentsSettings before = parents;
  const std::string language = game::CurrentWords().code;
  std::vector<std::string> not_saved;
  bool studio = false;
  RunParentsPage(language, technic2.DataDir, &not_saved, &studio);
  // What was stored is what plays, also when the file refused some of it.
  if (parents.SessionMinutes != before.SessionMinutes) RestartSessionLimit();
  if (!(parents == before) && ParentsChanged) ParentsChanged();
  if (!not_saved.empty()) {
    std::string text = ParentsTextsFor(language).not_saved;
    for (size_t i = 0; i < not_saved.size(); ++i)
      text += (i ? ", " : " ") + ParentsSettingLabel(language, not_saved[i]);
    plat::MessageBox(text, plat::BoxKind::Error);
  }
  // Still behind the gate: the studio opens only from the page a parent held the gate for.
  if (studio) RunVoiceStudio(language, technic2.DataDir);
}

}  // namespace ozzel
