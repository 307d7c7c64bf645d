// The waiting screen: the tiled background, the window blue, a snail, a title and a bar that follows the
// work's progress lines; on a failure, the reason and that the next start tries again.
#include "app/waiting.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <tuple>

#include "controls/tile_image.h"
#include "platform/gdi/bitmap.h"
#include "platform/quit_request.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "resources/resources.h"

namespace ozzel {

namespace {

const WaitingTexts kTexts[] = {
    {"cs", "Chystám obrázky a hlasy…", "Chvilku počkej, hned začneme!", "Obrázky a hlasy se nepodařilo připravit.",
     "Chybí program, který mluví (balíček espeak-ng-data).", "Na disku není dost místa.",
     "Při přípravě se stala chyba.", "Zkusím to znovu, až hru spustíš příště.",
     "Zavřeš klepnutím nebo klávesou."},
    {"sk", "Pripravujem obrázky a hlasy…", "Chvíľku počkaj, hneď začneme!", "Obrázky a hlasy sa nepodarilo pripraviť.",
     "Chýba program, ktorý hovorí (balík espeak-ng-data).", "Na disku nie je dosť miesta.",
     "Pri príprave nastala chyba.", "Skúsim to znova, keď hru spustíš nabudúce.",
     "Zatvoríš kliknutím alebo klávesom."},
    {"en", "Getting the pictures and voices ready…", "Just a moment, we'll start soon!",
     "The pictures and voices could not be made.", "The speech program is missing (package espeak-ng-data).",
     "There is not enough space on the disk.", "Something went wrong while making them.",
     "I will try again the next time the game starts.", "Click or press a key to close."},
    {"de", "Ich bereite die Bilder und Stimmen vor…", "Einen Moment, gleich geht's los!",
     "Die Bilder und Stimmen konnten nicht vorbereitet werden.",
     "Das Sprachprogramm fehlt (Paket espeak-ng-data).", "Auf der Festplatte ist nicht genug Platz.",
     "Bei der Vorbereitung ist ein Fehler aufgetreten.", "Beim nächsten Start versuche ich es noch einmal.",
     "Zum Schließen klicken oder eine Taste drücken."},
    {"pl", "Przygotowuję obrazki i głosy…", "Chwileczkę, zaraz zaczynamy!",
     "Nie udało się przygotować obrazków i głosów.", "Brakuje programu mowy (pakiet espeak-ng-data).",
     "Na dysku brakuje miejsca.", "Podczas przygotowania wystąpił błąd.",
     "Spróbuję ponownie przy następnym uruchomieniu gry.", "Kliknij lub naciśnij klawisz, aby zamknąć."},
    {"fr", "Je prépare les images et les voix…", "Un petit instant, on commence bientôt !",
     "Les images et les voix n'ont pas pu être préparées.", "Le programme de voix manque (paquet espeak-ng-data).",
     "Il n'y a pas assez de place sur le disque.", "Une erreur s'est produite pendant la préparation.",
     "J'essaierai encore au prochain lancement du jeu.", "Clique ou appuie sur une touche pour fermer."},
    {"es", "Preparando los dibujos y las voces…", "¡Un momento, enseguida empezamos!",
     "No se pudieron preparar los dibujos y las voces.", "Falta el programa de voz (paquete espeak-ng-data).",
     "No hay suficiente espacio en el disco.", "Algo salió mal durante la preparación.",
     "Lo intentaré de nuevo la próxima vez que empiece el juego.", "Haz clic o pulsa una tecla para cerrar."},
};

constexpr int kW = 640, kH = 480;
constexpr plat::Rgb kWhite{255, 255, 255}, kTrough{24, 70, 150}, kFill{255, 204, 40};
constexpr plat::Rect kBar{120, 392, 400, 26};  // inside its white rim

plat::FontSpec Font(int px, bool bold = true) {
  plat::FontSpec f;
  f.height_px = px;
  f.bold = bold;
  f.color = kWhite;
  return f;
}

// The caption in the label's own size, or smaller until it fits the width (German runs long).
void Say(plat::Label& l, const std::string& text, int px) {
  l.Font.height_px = px;
  while (l.Font.height_px > 12 && plat::Canvas::TextWidth(text, l.Font) > l.Width()) --l.Font.height_px;
  l.SetCaption(text);
}

// "progress DONE TOTAL" as a percentage; a count past the total is the whole way. Counts of any size.
bool ProgressPercent(const std::string& line, int& percent) {
  long long done = 0, total = 0;
  if (std::sscanf(line.c_str(), "progress %lld %lld", &done, &total) != 2 || total <= 0 || done < 0) return false;
  percent = done >= total ? 100 : int(double(done) * 100.0 / double(total));
  return true;
}

}  // namespace

const WaitingTexts& WaitingTextsFor(const std::string& code) {
  for (const WaitingTexts& t : kTexts)
    if (code == t.code) return t;
  return kTexts[0];
}

WaitOutcome RunWaitingScreen(plat::Backend& backend, Preparation& work, const std::string& language) {
  const WaitingTexts& t = WaitingTextsFor(language);
  plat::Application app(backend);
  app.SetTitle("Ozzel - Bimbalo 4");
  if (auto icon = res::Icon()) backend.SetIcon(*icon);
  const plat::Size screen{app.screen().Width(), app.screen().Height()};

  // The game's own background, as the game shows it.
  plat::Form back(app, "cekani_pozadi");
  back.SetBounds(0, 0, screen.w, screen.h);
  auto& tiles = back.Add<TTileImage>("tiles");
  tiles.SetBounds(0, 0, screen.w, screen.h);
  try {
    tiles.SetPicture(res::Picture("pozadi"));
  } catch (const plat::GdiError&) {
  }
  tiles.SetTileImage(true);

  plat::Form form(app, "cekani");
  form.SetBounds((screen.w - kW) / 2, (screen.h - kH) / 2, kW, kH);
  app.SetMainForm(&form);
  auto& picture = form.Add<plat::Image>("obrazek");
  try {
    const plat::Bitmap& b = res::Picture("cekani");
    picture.SetBounds((kW - b.width()) / 2, 24, b.width(), b.height());
    picture.SetPicture(b);
  } catch (const plat::GdiError&) {
    // Without its snail the screen still says what happens.
  }
  // Rounded corners, as the game's window has them; its lower-left one is keyed on navy.
  for (const auto& [name, x, y] : {std::tuple<const char*, int, int>{"roh_LH", 0, 0}, {"roh_PH", 622, 0},
                                   {"roh_LD", 0, 462}, {"roh_PD", 622, 462}}) {
    auto& corner = form.Add<plat::Image>(name);
    corner.AutoSize = true;
    corner.SetBounds(x, y, 18, 18);
    try {
      corner.SetPicture(res::Picture(name));
      if (std::string(name) == "roh_LD") corner.SetTransparentColor(plat::kNavy);
      corner.SetTransparent(true);
    } catch (const plat::GdiError&) {
    }
  }
  auto label = [&](const char* name, int top, int h, int px, bool bold) -> plat::Label& {
    auto& l = form.Add<plat::Label>(name);
    l.SetBounds(10, top, kW - 20, h);
    l.Font = Font(px, bold);
    l.Transparent = true;
    l.Alignment = plat::TextAlign::Center;
    return l;
  };
  plat::Label& title = label("nadpis", 272, 40, 30, true);
  plat::Label& line1 = label("radek1", 318, 30, 21, true);
  plat::Label& line2 = label("radek2", 352, 28, 19, true);
  plat::Label& line3 = label("radek3", 392, 26, 17, false);
  plat::Label& detail = label("podrobnosti", 440, 24, 12, false);
  Say(title, t.working, 30);
  Say(line1, t.patience, 21);
  auto& rim = form.Add<plat::Panel>("okraj");
  rim.Color = kWhite;
  rim.SetBounds(kBar.left - 3, kBar.top - 3, kBar.w + 6, kBar.h + 6);
  auto& trough = form.Add<plat::Panel>("zlab");
  trough.Color = kTrough;
  trough.SetBounds(kBar.left, kBar.top, kBar.w, kBar.h);
  auto& fill = form.Add<plat::Panel>("ukazatel");
  fill.Color = kFill;
  fill.SetBounds(kBar.left, kBar.top, 0, kBar.h);

  bool ended = false, failed = false, dismissed = false;
  std::string kind = "other", why;
  int shown_percent = -10;
  auto dismiss = [&] {
    if (failed) dismissed = true;
  };
  for (plat::Control* c : {static_cast<plat::Control*>(&picture), static_cast<plat::Control*>(&tiles)})
    c->OnMouseDown = [&](plat::Control&, plat::MouseButton, plat::ShiftState, int, int) { dismiss(); };
  form.OnKeyPress = [&](char&) { dismiss(); };

  auto show_failure = [&] {
    failed = true;
    for (plat::Control* c : {&rim, &trough, &fill}) c->Hide();
    Say(title, t.failed, 30);
    Say(line1, kind == "voice" ? t.no_voice : kind == "space" ? t.no_space : t.other, 21);
    Say(line2, t.next_time, 19);
    Say(line3, t.to_close, 17);
    Say(detail, why, 12);
    std::fprintf(stderr, "ozzel: %s %s\n", t.failed, why.c_str());
  };
  std::vector<std::string> lines;
  form.AddTimer("sledovani", 40, true, [&](plat::Timer& timer) {
    lines.clear();
    const bool going = work.Poll(lines);
    for (const std::string& l : lines) {
      if (int percent = 0; ProgressPercent(l, percent)) {
        fill.SetBounds(kBar.left, kBar.top, kBar.w * percent / 100, kBar.h);
        // A line for a terminal every tenth of the way.
        if (percent / 10 != shown_percent / 10) std::fprintf(stderr, "ozzel: %s %d %%\n", t.working, percent);
        shown_percent = percent;
      } else if (l.rfind("error ", 0) == 0) {
        const size_t sp = l.find(' ', 6);
        kind = l.substr(6, sp == std::string::npos ? std::string::npos : sp - 6);
        why = sp == std::string::npos ? "" : l.substr(sp + 1);
      }
    }
    if (going) return;
    timer.SetEnabled(false);
    ended = true;
    if (work.Status() != 0) show_failure();
  });

  // A parent's kill (SIGTERM, Ctrl+C, the terminal gone) ends the wait as closing the window does; the
  // helper then goes with the game.
  const uint64_t quits_before = plat::QuitRequests();
  plat::CatchQuitRequests([&backend] { backend.Wake(); });
  struct StopWaking {
    ~StopWaking() { plat::CatchQuitRequests(nullptr); }
  } stop_waking;
  app.AddWakeSource([quits_before] { return plat::QuitRequests() != quits_before ? 0 : plat::kNever; },
                    [&app, quits_before] {
                      if (plat::QuitRequests() != quits_before) app.Terminate();
                    });

  back.Show();
  back.SetEnabled(true);
  form.Show();
  app.PresentNow();
  app.PumpWhile([&] { return !app.Terminated() && !dismissed && (!ended || failed); });
  if (ended && !failed) return WaitOutcome::kReady;
  return failed ? WaitOutcome::kFailed : WaitOutcome::kClosed;
}

}  // namespace ozzel
