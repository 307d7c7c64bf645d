// Start-up in its fixed order, the message loop, and the end of the program; plus the sim's views.
#include "app/program.h"

#include <limits>
#include <sstream>
#include <type_traits>

#include "app/access.h"
#include "app/ozz_main.h"
#include "app/pozadi.h"
#include "media/answers_store.h"
#include "media/own_voice.h"
#include "media/parents.h"
#include "media/technic2.h"
#include "platform/audio/audio.h"
#include "platform/audio/media_player.h"
#include "platform/quit_request.h"
#include "platform/trace.h"
#include "platform/ui/application.h"
#include "resources/resources.h"

namespace ozzel {

int RunProgram(plat::Backend& backend, const ProgramOptions& options) {
  plat::SetAudio(&backend.audio());
  plat::Application app(backend);
  app.AddWakeSource(&plat::MediaPlayer::NextChangeAll, &plat::MediaPlayer::PollAll);
  ResetSharedState();
  g_seed_override = options.seed;

  // A parent's kill (SIGTERM, Ctrl+C) ends the program as closing its window does: open boxes are
  // answered, the close query runs and the counters are written. The loop learns of it through a
  // wake source; the backend is woken from the watcher thread in case it sleeps.
  uint64_t quits_seen = plat::QuitRequests();
  plat::CatchQuitRequests([&backend] { backend.Wake(); });
  struct StopWaking {
    ~StopWaking() { plat::CatchQuitRequests(nullptr); }
  } stop_waking;
  app.AddWakeSource([&quits_seen] { return plat::QuitRequests() != quits_seen ? 0 : plat::kNever; },
                    [&app, &quits_seen] {
                      if (plat::QuitRequests() == quits_seen) return;
                      quits_seen = plat::QuitRequests();
                      app.Post([&app] {
                        plat::InputEvent quit;
                        quit.kind = plat::InputEvent::Kind::Quit;
                        app.Dispatch(quit);
                      });
                    });

  pozadi_Initialize(app);
  Technic2_Initialize();
  Parents_Initialize();
  OwnVoice_Initialize();
  Answers_Initialize();
  app.SetTitle("Ozzel - Bimbalo 4");
  if (auto icon = res::Icon()) backend.SetIcon(*icon);
  auto form = std::make_unique<Tform_ozzel>(app);
  auto access = MakeAccessLayer(app, *form, parents);
  app.Run();
  access.reset();

  // Units finalise in reverse order: the counters are written before the windows go.
  ozz_main_Finalize();
  Technic2_Finalize();
  Answers_Finalize();
  form.reset();
  pozadi_Destroy();

  plat::trace::Emit("exit", "0");
  return 0;
}

std::string DumpState() {
  std::ostringstream o;
  auto put = [&o](const char* name, const auto& v) {
    o << (o.tellp() > 0 ? " " : "") << name << "=";
    // Flags and the one-byte numbers print as numbers (booleans 0/1).
    using T = std::decay_t<decltype(v)>;
    if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, uint8_t>)
      o << int(v);
    else
      o << v;
  };
  shared.ForEach(put);
  technic2.ForEach(put);
  // Not a variable of either unit: the speech queue's length, for soak tests.
  put("PlaylistLength", form_ozzel && form_ozzel->playlist ? form_ozzel->playlist->Items.size() : 0);
  return o.str();
}

std::string DumpQuestions() {
  std::ostringstream o;
  for (int i = 1; i <= shared.QuestionCount; ++i) {
    const game::totazka& e = shared.Questions[i];
    if (i > 1) o << " ";
    o << int(e.kind) << ":" << e.letter << ":" << int(e.animal);
    if (e.kind == 3) o << ":" << int(e.sound);
  }
  return o.str();
}

std::optional<plat::Point> AnimalPoint(int code) {
  if (!form_ozzel) return std::nullopt;
  plat::Image* map = form_ozzel->HitMap(shared.CurrentSet);
  if (!map || code < 1 || code > 10) return std::nullopt;
  const plat::Bitmap& bmp = map->Picture();
  double sx = 0, sy = 0;
  long n = 0;
  for (int y = 0; y < bmp.height(); ++y)
    for (int x = 0; x < bmp.width(); ++x)
      if (form_ozzel->HitTest(x, y) == code) sx += x, sy += y, ++n;
  if (n == 0) return std::nullopt;
  double cx = sx / n, cy = sy / n;
  // The centroid may fall outside a curved silhouette: take the code's pixel nearest to it.
  plat::Point best;
  double best_d = std::numeric_limits<double>::max();
  for (int y = 0; y < bmp.height(); ++y)
    for (int x = 0; x < bmp.width(); ++x)
      if (form_ozzel->HitTest(x, y) == code) {
        double d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        if (d < best_d) best_d = d, best = {x, y};
      }
  return plat::Point{best.x + form_ozzel->podklad->Left(), best.y + form_ozzel->podklad->Top()};
}

}  // namespace ozzel
