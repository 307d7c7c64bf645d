// The table of access modes and the class of each: what its keys, switches, pointer and ticks do.
#include "app/access_modes.h"

#include <string>

#include "app/access.h"
#include "platform/trace.h"

namespace ozzel {

namespace {

using K = plat::InputEvent::Kind;
using plat::Key;

// Enter or Space: down chooses, up lets go.
void Choose(AccessLayer& c, const plat::InputEvent& e) { e.kind == K::KeyDown ? c.ChooseDown() : c.ChooseUp(); }

// The game as it always was: the layer passes everything on and draws nothing.
class MouseMode : public ModeDriver {
 public:
  bool Highlights() const override { return false; }
};

// Arrows to the nearest thing that way, Tab to the next; Enter or Space chooses.
class KeysMode : public ModeDriver {
 public:
  void Key(AccessLayer& c, const plat::InputEvent& e) override {
    // In a box Enter is the box's own key: it answers OK by itself.
    if (c.InBox() && e.key == Key::Enter) return;
    const bool down = e.kind == K::KeyDown;
    if (e.key == Key::Enter || e.key == Key::Space) Choose(c, e);
    if (down && e.key == Key::Tab) c.Step(1);
    if (down && (e.key == Key::Left || e.key == Key::Right || e.key == Key::Up || e.key == Key::Down)) c.Spatial(e.key);
  }
};

// One switch: the highlight moves by itself every ScanMs; Space, Enter or any mouse button chooses.
class Scan1Mode : public ModeDriver {
 public:
  void Key(AccessLayer& c, const plat::InputEvent& e) override {
    if (c.InBox() && e.key == Key::Enter) return;
    if (e.key == Key::Enter || e.key == Key::Space) Choose(c, e);
  }
  bool Mouse(AccessLayer& c, const plat::InputEvent& e) override {
    // Any button is the switch; the pointer itself means nothing here.
    if (e.kind == K::MouseDown) c.ChooseDown();
    if (e.kind == K::MouseUp) c.ChooseUp();
    return true;
  }
  void Tick(AccessLayer& c, uint64_t now, bool waiting) override {
    if (waiting || c.Pressed() || (c.CardShown() && !c.InBox())) {
      c.RestartScan(now);
    } else if (now - c.ScanSince() >= c.settings().ScanMs) {
      c.Step(1);
    }
  }
};

// Two switches: Space or the left button moves the highlight, Enter or the right button chooses.
class Scan2Mode : public ModeDriver {
 public:
  void Key(AccessLayer& c, const plat::InputEvent& e) override {
    if (e.kind == K::KeyDown && e.key == Key::Space) c.Step(1);
    if (e.key == Key::Enter) Choose(c, e);
  }
  bool Mouse(AccessLayer& c, const plat::InputEvent& e) override {
    if (e.kind == K::MouseDown && e.button == 0) c.Step(1);
    if (e.kind == K::MouseDown && e.button == 1) c.ChooseDown();
    if (e.kind == K::MouseUp && e.button == 1) c.ChooseUp();
    return true;
  }
};

// A pointer resting on a thing fills a ring; when it is full the thing is chosen.
class DwellMode : public ModeDriver {
 public:
  bool Mouse(AccessLayer& c, const plat::InputEvent& e) override {
    if (e.kind == K::MouseMove) {
      c.Refresh();
      At(c, e.pos, c.Now());
    }
    return false;
  }
  void Tick(AccessLayer& c, uint64_t now, bool waiting) override {
    At(c, c.Pointer(), now);
    if (c.Holding()) return;  // the hold's ring is the one shown
    if (on_.empty() || spent_) return c.ClearRing();
    if (waiting) {
      since_ = now;
      return c.ClearRing();
    }
    const uint64_t rested = now - since_;
    const plat::Point p = c.Pointer();
    // The door takes a rest as long as a kiosk's hold besides: a glance that lingers must not end the game.
    const bool door = c.IsDoor(c.Current()) && !c.InBox();
    const uint64_t need = c.settings().DwellMs + (door ? AccessLayer::kHoldMs : 0);
    if (rested < need) return c.SetRing(p, double(rested) / double(need));
    spent_ = true;
    spent_at_ = p;
    c.ClearRing();
    plat::trace::Emit("dwell", on_);
    if (door) return c.Leave();
    c.ClickAt(p);
  }
  bool Retarget(AccessLayer& c) override {
    c.SetCurrent(-1, false);
    on_.clear();  // found again under the pointer at the next tick, wherever it now is
    At(c, c.Pointer(), c.Now());
    return true;
  }
  const std::string& RestingOn() const override { return on_; }

 private:
  void At(AccessLayer& c, plat::Point p, uint64_t now) {
    const int i = c.TargetAt(p);
    const std::string name = i >= 0 ? c.TargetName(i) : "";
    if (name == on_) return;
    // A new thing under the pointer: a fresh ring. Only the pointer's own movement frees it to choose
    // again: what slides under a resting pointer (the buttons move when a scene opens) is not chosen.
    on_ = name;
    since_ = now;
    if (p != spent_at_) spent_ = false;
    c.SetCurrent(i, true);
    if (!c.Holding()) c.ClearRing();
  }

  std::string on_;  // the target under the pointer
  uint64_t since_ = 0;
  bool spent_ = false;            // chosen by dwelling: the pointer must leave before it chooses again
  plat::Point spent_at_{-1, -1};  // where the pointer rested when it chose
};

template <class M>
std::unique_ptr<ModeDriver> Make() {
  return std::make_unique<M>();
}

constexpr std::array<AccessModeEntry, 5> kModes = {{
    {AccessMode::Mouse,
     {{{"cs", "myší", "Klepne myší nebo prstem na obrázek."},
       {"sk", "myšou", "Klikne myšou alebo prstom na obrázok."},
       {"en", "with a mouse", "Clicks or taps on a picture."},
       {"de", "mit der Maus", "Klickt oder tippt auf ein Bild."},
       {"pl", "myszką", "Klika myszką lub dotyka obrazka."},
       {"fr", "à la souris", "Clique ou touche une image."},
       {"es", "con el ratón", "Hace clic o toca una imagen."}}},
     AccessTiming::None, Make<MouseMode>},
    {AccessMode::Keys,
     {{{"cs", "klávesami", "Šipky nebo Tab posunou rámeček, Enter vybere."},
       {"sk", "klávesmi", "Šípky alebo Tab posunú rámik, Enter vyberie."},
       {"en", "with keys", "Arrows or Tab move the frame, Enter chooses."},
       {"de", "mit Tasten", "Pfeile oder Tab bewegen den Rahmen, Enter wählt."},
       {"pl", "klawiszami", "Strzałki lub Tab przesuwają ramkę, Enter wybiera."},
       {"fr", "au clavier", "Flèches ou Tab déplacent le cadre, Entrée choisit."},
       {"es", "con teclas", "Flechas o Tab mueven el marco, Intro elige."}}},
     AccessTiming::None, Make<KeysMode>},
    {AccessMode::Scan1,
     {{{"cs", "1 spínačem", "Rámeček jde sám od obrázku k obrázku, spínač vybere."},
       {"sk", "1 spínačom", "Rámik ide sám od obrázka k obrázku, spínač vyberie."},
       {"en", "with 1 switch", "The frame moves by itself; the switch chooses."},
       {"de", "mit 1 Schalter", "Der Rahmen wandert von selbst, der Schalter wählt."},
       {"pl", "1 przyciskiem", "Ramka przesuwa się sama, przycisk wybiera."},
       {"fr", "à 1 contacteur", "Le cadre avance tout seul, le contacteur choisit."},
       {"es", "con 1 pulsador", "El marco avanza solo; el pulsador elige."}}},
     AccessTiming::Scan, Make<Scan1Mode>},
    {AccessMode::Scan2,
     {{{"cs", "2 spínači", "Jeden spínač posune rámeček, druhý vybere."},
       {"sk", "2 spínačmi", "Jeden spínač posunie rámik, druhý vyberie."},
       {"en", "with 2 switches", "One switch moves the frame, the other chooses."},
       {"de", "mit 2 Schaltern", "Ein Schalter bewegt den Rahmen, der andere wählt."},
       {"pl", "2 przyciskami", "Jeden przycisk przesuwa ramkę, drugi wybiera."},
       {"fr", "à 2 contacteurs", "Un contacteur avance le cadre, l'autre choisit."},
       {"es", "con 2 pulsadores", "Un pulsador mueve el marco, el otro elige."}}},
     AccessTiming::None, Make<Scan2Mode>},
    {AccessMode::Dwell,
     {{{"cs", "pohledem", "Vybere se, na čem se ukazatel chvíli zastaví."},
       {"sk", "pohľadom", "Vyberie sa to, na čom sa ukazovateľ chvíľu zastaví."},
       {"en", "by looking", "Whatever the pointer rests on for a moment is chosen."},
       {"de", "mit Blicken", "Worauf der Zeiger kurz ruht, das wird gewählt."},
       {"pl", "wzrokiem", "Wybrane zostaje to, na czym wskaźnik chwilę spocznie."},
       {"fr", "du regard", "Ce sur quoi le pointeur s'arrête un moment est choisi."},
       {"es", "con la mirada", "Se elige aquello en lo que el puntero se detiene un momento."}}},
     AccessTiming::Dwell, Make<DwellMode>},
}};

// One entry per stored name, each at its mode's place.
constexpr bool InOrder() {
  for (size_t i = 0; i < kModes.size(); ++i)
    if (kModes[i].mode != AccessMode(i)) return false;
  return true;
}
static_assert(kModes.size() == kAccessNames.size() && InOrder(), "one entry per access mode, in AccessMode order");

}  // namespace

const std::string& ModeDriver::RestingOn() const {
  static const std::string kNone;
  return kNone;
}

std::span<const AccessModeEntry> AccessModes() { return kModes; }

const AccessModeEntry& AccessModeOf(AccessMode mode) {
  return size_t(mode) < kModes.size() ? kModes[size_t(mode)] : kModes[0];
}

const AccessModeWords& AccessModeWordsIn(AccessMode mode, const std::string& language) {
  const AccessModeEntry& e = AccessModeOf(mode);
  for (const AccessModeWords& w : e.words)
    if (language == w.language) return w;
  return e.words[0];
}

}  // namespace ozzel
