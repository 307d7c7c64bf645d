// A parent's session limit: when the time is up the question in play is finished, the examiner says
// goodbye, and the game ends as through the door (counters written).
#include "app/ozz_main.h"
#include "controls/tb97ctls.h"
#include "game/names.h"
#include "media/parents.h"
#include "media/technic2.h"
#include "platform/ui/application.h"

namespace ozzel {

namespace {
// A child who has walked away never finishes the question: the goodbye then comes this much later.
constexpr uint32_t kGraceMs = 2 * 60 * 1000;
constexpr uint32_t kPollMs = 200;
}  // namespace

void Tform_ozzel::StartSessionLimit() {
  if (parents.SessionMinutes == 0) return;
  casovy_limit->SetInterval(parents.SessionMinutes * 60000u);
  casovy_limit->SetEnabled(true);
}

void Tform_ozzel::casovy_limitTimer(plat::Timer& t) {
  switch (session_) {
    case SessionPhase::Running:
      session_ = SessionPhase::Over;
      // Before any scene there is no question to finish.
      if (shared.CurrentSet == 0 && !shared.SwitchPending) {
        SayGoodbye();
        return;
      }
      t.SetInterval(kGraceMs);
      return;
    case SessionPhase::Over:
      // The grace is over; wait only for a handler that is half-way through.
      if (shared.ClickBusy || shared.AskBusy || shared.SwitchBusy) {
        t.SetInterval(kPollMs);
        return;
      }
      SayGoodbye();
      return;
    case SessionPhase::Goodbye:
      if (!playlist->Items.empty() || WavPlayer->Mode() == plat::MciMode::Playing) return;
      t.SetEnabled(false);
      BTN_KonecClick(*BTN_Konec);
      // A box or the parents' page still open would keep the end waiting for an adult: they are
      // answered as at a kill, and the game ends.
      if (app().ActiveModal()) {
        plat::InputEvent quit;
        quit.kind = plat::InputEvent::Kind::Quit;
        app().Dispatch(quit);
      }
      return;
  }
}

void Tform_ozzel::RestartSessionLimit() {
  if (session_ == SessionPhase::Goodbye) return;
  session_ = SessionPhase::Running;
  casovy_limit->SetEnabled(false);
  StartSessionLimit();
}

bool Tform_ozzel::SessionOver() const { return session_ != SessionPhase::Running; }
bool Tform_ozzel::SayingGoodbye() const { return session_ == SessionPhase::Goodbye; }

void Tform_ozzel::SayGoodbye() {
  if (session_ == SessionPhase::Goodbye) return;
  session_ = SessionPhase::Goodbye;
  shared.AwaitingAnswer = false;
  StopEffect();
  StopSpeech();
  preview->Hide();
  stit->Hide();
  Speak(technic2.DataDir + game::GoodbyeSound());
  casovy_limit->SetInterval(kPollMs);
  casovy_limit->SetEnabled(true);
}

}  // namespace ozzel
