// The main window's stored layout and the binding of its events to the form's handlers.
#include "app/layout_main.h"

#include <functional>
#include <map>
#include <stdexcept>

#include "app/ozz_main.h"
#include "controls/avi_delp.h"
#include "controls/tb97ctls.h"
#include "media/technic2.h"
#include "platform/ui/application.h"
#include "resources/resources.h"

namespace ozzel {
namespace layout {

namespace {
constexpr plat::Rgb kAqua{0, 255, 255};
constexpr plat::Rgb kSeparator{50, 130, 210};
using K = Kind;

ControlRow SceneButton(const char* name, int left, int tag, const char* strip, const char* enter) {
  return {.kind = K::GlyphButton, .name = name, .left = left, .top = 416, .width = 60, .height = 60,
          .visible = false, .cursor = plat::crHand, .tag = tag, .picture = strip, .glyph_top = true,
          .spacing = 0, .on_click = "btn_obraz1Click", .on_mouse_enter = enter,
          .on_mouse_exit = "btn_obraz4MouseExit"};
}

ControlRow ScoreLabel(const char* name, int left, int top, int w, int h, const char* caption) {
  return {.kind = K::Label, .name = name, .left = left, .top = top, .width = w, .height = h,
          .visible = false, .transparent = true, .caption = caption, .centred = true, .arial = true,
          .colour = kAqua, .on_click = "pocitadlo_podkladClick"};
}

ControlRow HitMapImage(const char* name, int left, int top) {
  return {.kind = K::Image, .name = name, .left = left, .top = top, .width = 105, .height = 105,
          .visible = false, .picture = name};
}

ControlRow Separator(const char* name, int left, int top, int w, int h) {
  return {.kind = K::Panel, .name = name, .left = left, .top = top, .width = w, .height = h,
          .visible = false, .colour = kSeparator};
}
}  // namespace

const std::vector<ControlRow>& MainControls() {
  static const std::vector<ControlRow> rows = {
      {.kind = K::Image, .name = "pocitadlo_podklad", .left = 307, .top = 416, .width = 231, .height = 60,
       .visible = false, .cursor = plat::crArrow, .picture = "pocitadlo", .auto_size = true,
       .on_click = "pocitadlo_podkladClick"},
      {.kind = K::Image, .name = "roh_PH", .left = 622, .top = 0, .width = 19, .height = 18, .visible = true,
       .picture = "roh_PH", .auto_size = true, .transparent = true},
      {.kind = K::Image, .name = "roh_LH", .left = 0, .top = 0, .width = 18, .height = 19, .visible = true,
       .picture = "roh_LH", .auto_size = true, .transparent = true},
      {.kind = K::GlyphButton, .name = "BTN_Konec", .left = 555, .top = 418, .width = 64, .height = 60,
       .visible = false, .cursor = plat::crHand, .picture = "glyph_konec", .on_click = "BTN_KonecClick",
       .on_mouse_enter = "BTN_KonecMouseEnter"},
      {.kind = K::Image, .name = "roh_LD", .left = 0, .top = 462, .width = 19, .height = 18, .visible = true,
       .picture = "roh_LD", .auto_size = true, .transparent = true},
      {.kind = K::Image, .name = "roh_PD", .left = 622, .top = 462, .width = 18, .height = 19, .visible = true,
       .picture = "roh_PD", .auto_size = true, .transparent = true},
      {.kind = K::Label, .name = "label4", .left = 516, .top = 444, .width = 32, .height = 16, .visible = false,
       .caption = "temp"},
      {.kind = K::Image, .name = "stit", .left = 613, .top = 440, .width = 639, .height = 479, .visible = false,
       .on_click = "stitClick"},
      SceneButton("btn_obraz1", 42, 1, "glyph_obraz1", "btn_obraz1MouseEnter"),
      SceneButton("btn_obraz2", 178, 2, "glyph_obraz2", "btn_obraz2MouseEnter"),
      SceneButton("btn_obraz3", 315, 3, "glyph_obraz3", "btn_obraz3MouseEnter"),
      SceneButton("btn_obraz4", 451, 4, "glyph_obraz4", "btn_obraz4MouseEnter"),
      {.kind = K::Image, .name = "podklad", .left = 0, .top = 0, .width = 640, .height = 410, .visible = false,
       .cursor = plat::crArrow, .on_mouse_down = "podkladMouseDown", .on_mouse_move = "podkladMouseMove"},
      HitMapImage("RGB_lesni", 606, 124),
      HitMapImage("RGB_uzitecna", 589, 60),
      HitMapImage("RGB_safari", 599, 90),
      HitMapImage("RGB_doma", 619, 162),
      ScoreLabel("lbl_dobre", 368, 434, 50, 22, "0"),
      ScoreLabel("lbl_spatne", 428, 435, 50, 22, "0"),
      {.kind = K::Image, .name = "preview", .left = 0, .top = 0, .width = 640, .height = 410, .visible = false,
       .on_click = "previewClick", .on_mouse_down = "podkladMouseDown", .on_mouse_move = "podkladMouseMove"},
      ScoreLabel("dvojtecka", 420, 432, 7, 24, ":"),
      {.kind = K::Image, .name = "divadlo", .left = 6, .top = 16, .width = 530, .height = 380, .visible = true,
       .cursor = plat::crHand, .on_mouse_down = "divadloMouseDown"},
      // Windowed controls.
      {.kind = K::MediaPlayer, .name = "MIDIPlayer", .left = 308, .top = -20, .width = 57, .height = 30,
       .visible = false},
      {.kind = K::MediaPlayer, .name = "WavPlayer", .left = 252, .top = -19, .width = 57, .height = 30,
       .visible = false},
      Separator("oddeleni", -8, 411, 650, 2),
      {.kind = K::ListBox, .name = "playlist", .left = 117, .top = 467, .width = 275, .height = 68,
       .visible = false, .caption = "seznam hudby..."},
      {.kind = K::Animation, .name = "zkouseni_tibora", .left = 537, .top = 233, .width = 100, .height = 170,
       .visible = false, .cursor = plat::crArrow, .repetitions = 1, .stop_frame = 8,
       .on_click = "zkouseni_tiboraClick"},
      Separator("oddeleni2", 296, 411, 2, 650),
      Separator("oddeleni3", 544, 412, 2, 650),
  };
  return rows;
}

const std::vector<TimerRow>& MainTimers() {
  static const std::vector<TimerRow> rows = {
      {"delay_bm", 100, false, "delay_bmTimer"},
      {"Midi_spoustec", 2000, false, "Midi_spoustecTimer"},
      {"wav_spoustec", 100, true, "wav_spoustecTimer"},
      {"starter", 500, true, "startertimerTimer"},
      {"playlist_tracker", 200, false, "playlist_trackerTimer"},
      {"uvodni_blikajici_ikony", 500, false, "uvodni_blikajici_ikonyTimer"},
      {"pozadavek_na_zadani", 100, false, "pozadavek_na_zadaniTimer"},
      {"pozadavek_na_prepnuti_sady", 100, false, "pozadavek_na_prepnuti_sadyTimer"},
  };
  return rows;
}

}  // namespace layout

namespace {

using Notify = void (Tform_ozzel::*)(plat::Control&);
using Mouse = void (Tform_ozzel::*)(plat::Control&, plat::MouseButton, plat::ShiftState, int, int);
using Move = void (Tform_ozzel::*)(plat::Control&, plat::ShiftState, int, int);
using Tick = void (Tform_ozzel::*)(plat::Timer&);

// Handlers by the names the layout binds them with.
const std::map<std::string, Notify>& NotifyHandlers() {
  static const std::map<std::string, Notify> m = {
      {"pocitadlo_podkladClick", &Tform_ozzel::pocitadlo_podkladClick},
      {"BTN_KonecClick", &Tform_ozzel::BTN_KonecClick},
      {"BTN_KonecMouseEnter", &Tform_ozzel::BTN_KonecMouseEnter},
      {"stitClick", &Tform_ozzel::stitClick},
      {"btn_obraz1Click", &Tform_ozzel::btn_obraz1Click},
      {"btn_obraz1MouseEnter", &Tform_ozzel::btn_obraz1MouseEnter},
      {"btn_obraz2MouseEnter", &Tform_ozzel::btn_obraz2MouseEnter},
      {"btn_obraz3MouseEnter", &Tform_ozzel::btn_obraz3MouseEnter},
      {"btn_obraz4MouseEnter", &Tform_ozzel::btn_obraz4MouseEnter},
      {"btn_obraz4MouseExit", &Tform_ozzel::btn_obraz4MouseExit},
      {"previewClick", &Tform_ozzel::previewClick},
      {"zkouseni_tiboraClick", &Tform_ozzel::zkouseni_tiboraClick},
  };
  return m;
}

const std::map<std::string, Mouse>& MouseHandlers() {
  static const std::map<std::string, Mouse> m = {
      {"podkladMouseDown", &Tform_ozzel::podkladMouseDown},
      {"divadloMouseDown", &Tform_ozzel::divadloMouseDown},
  };
  return m;
}

const std::map<std::string, Tick>& TimerHandlers() {
  static const std::map<std::string, Tick> m = {
      {"delay_bmTimer", &Tform_ozzel::delay_bmTimer},
      {"Midi_spoustecTimer", &Tform_ozzel::Midi_spoustecTimer},
      {"wav_spoustecTimer", &Tform_ozzel::wav_spoustecTimer},
      {"startertimerTimer", &Tform_ozzel::startertimerTimer},
      {"playlist_trackerTimer", &Tform_ozzel::playlist_trackerTimer},
      {"uvodni_blikajici_ikonyTimer", &Tform_ozzel::uvodni_blikajici_ikonyTimer},
      {"pozadavek_na_zadaniTimer", &Tform_ozzel::pozadavek_na_zadaniTimer},
      {"pozadavek_na_prepnuti_sadyTimer", &Tform_ozzel::pozadavek_na_prepnuti_sadyTimer},
  };
  return m;
}

template <class M>
M Lookup(const std::map<std::string, M>& m, const char* name) {
  auto it = m.find(name);
  if (it == m.end()) throw std::logic_error(std::string("no handler ") + name);
  return it->second;
}

plat::NotifyEvent BindNotify(Tform_ozzel* f, const char* name) {
  if (!name) return {};
  Notify h = Lookup(NotifyHandlers(), name);
  return [f, h](plat::Control& s) { (f->*h)(s); };
}

plat::MouseEvent BindMouse(Tform_ozzel* f, const char* name) {
  if (!name) return {};
  Mouse h = Lookup(MouseHandlers(), name);
  return [f, h](plat::Control& s, plat::MouseButton b, plat::ShiftState sh, int x, int y) { (f->*h)(s, b, sh, x, y); };
}

plat::MouseMoveEvent BindMove(Tform_ozzel* f, const char* name) {
  if (!name) return {};
  if (std::string(name) != "podkladMouseMove") throw std::logic_error(std::string("no handler ") + name);
  Move h = &Tform_ozzel::podkladMouseMove;
  return [f, h](plat::Control& s, plat::ShiftState sh, int x, int y) { (f->*h)(s, sh, x, y); };
}

plat::Bitmap EmbeddedPicture(const char* name) {
  if (!name) return {};
  try {
    return res::Picture(name);
  } catch (const std::exception&) {
    return {};  // a picture that cannot be found leaves its control empty
  }
}

template <class T>
void Assign(T*& member, plat::Control* c) {
  member = dynamic_cast<T*>(c);
}

}  // namespace

void Tform_ozzel::BuildLayout() {
  using layout::Kind;
  Caption = "Ozzelky - BM4";
  Color = plat::kWindowBlue;
  KeyPreview = true;
  Cursor = plat::crArrow;
  Font = plat::FontSpec{"System", 13, false, {0, 0, 0}};
  SetBounds(0, 0, 640, 480);

  std::map<std::string, plat::Control*> made;
  for (const layout::ControlRow& r : layout::MainControls()) {
    plat::Control* c = nullptr;
    switch (r.kind) {
      case Kind::Image: {
        auto& img = Add<plat::Image>(r.name);
        img.AutoSize = r.auto_size;
        img.SetPicture(EmbeddedPicture(r.picture));
        img.SetTransparent(r.transparent);
        c = &img;
        break;
      }
      case Kind::Label: {
        auto& l = Add<plat::Label>(r.name);
        l.SetCaption(r.caption ? r.caption : "");
        l.Transparent = r.transparent;
        l.Alignment = r.centred ? plat::TextAlign::Center : plat::TextAlign::Left;
        l.Font = r.arial ? plat::FontSpec{"Arial", 21, true, r.colour} : Font;
        c = &l;
        break;
      }
      case Kind::GlyphButton: {
        auto& b = Add<TToolbarButton97>(r.name);
        b.SetColor(plat::kWindowBlue);
        b.SetDisplayMode(dmGlyphOnly);
        b.SetNoBorder(true);
        b.SetLayout(r.glyph_top ? blGlyphTop : blGlyphLeft);
        b.SetSpacing(r.spacing);
        b.SetMargin(-1);
        b.SetGlyph(EmbeddedPicture(r.picture));
        b.SetNumGlyphs(5);
        b.OnMouseEnter = BindNotify(this, r.on_mouse_enter);
        b.OnMouseExit = BindNotify(this, r.on_mouse_exit);
        c = &b;
        break;
      }
      case Kind::MediaPlayer: {
        auto& player = (std::string(r.name) == "WavPlayer") ? WavPlayer : MIDIPlayer;
        bool wav = std::string(r.name) == "WavPlayer";
        player = std::make_unique<plat::MediaPlayer>(
            r.name, wav ? "wav" : "midi",
            wav ? plat::Audio().CreateWaveDevice() : plat::Audio().CreateMidiDevice());
        continue;
      }
      case Kind::Panel: {
        auto& p = Add<plat::Panel>(r.name);
        p.Color = r.colour;
        c = &p;
        break;
      }
      case Kind::ListBox: {
        auto& l = Add<plat::ListBox>(r.name);
        if (r.caption) l.Items.push_back(r.caption);
        c = &l;
        break;
      }
      case Kind::Animation: {
        auto& a = Add<TAVI_orvel1>(r.name);
        a.AutoSize = false;
        a.SetColor(plat::kWindowBlue);
        a.SetRepetitions(r.repetitions);
        a.SetStopFrame(int16_t(r.stop_frame));
        c = &a;
        break;
      }
    }
    c->SetBounds(r.left, r.top, r.width, r.height);
    c->SetVisible(r.visible);
    c->SetCursor(r.cursor);
    c->Tag = r.tag;
    c->OnClick = BindNotify(this, r.on_click);
    c->OnMouseDown = BindMouse(this, r.on_mouse_down);
    c->OnMouseMove = BindMove(this, r.on_mouse_move);
    made[r.name] = c;
  }

  Assign(pocitadlo_podklad, made["pocitadlo_podklad"]);
  Assign(roh_PH, made["roh_PH"]);
  Assign(roh_LH, made["roh_LH"]);
  Assign(BTN_Konec, made["BTN_Konec"]);
  Assign(roh_LD, made["roh_LD"]);
  Assign(roh_PD, made["roh_PD"]);
  Assign(label4, made["label4"]);
  Assign(stit, made["stit"]);
  Assign(btn_obraz1, made["btn_obraz1"]);
  Assign(btn_obraz2, made["btn_obraz2"]);
  Assign(btn_obraz3, made["btn_obraz3"]);
  Assign(btn_obraz4, made["btn_obraz4"]);
  Assign(podklad, made["podklad"]);
  Assign(RGB_lesni, made["RGB_lesni"]);
  Assign(RGB_uzitecna, made["RGB_uzitecna"]);
  Assign(RGB_safari, made["RGB_safari"]);
  Assign(RGB_doma, made["RGB_doma"]);
  Assign(lbl_dobre, made["lbl_dobre"]);
  Assign(lbl_spatne, made["lbl_spatne"]);
  Assign(preview, made["preview"]);
  Assign(dvojtecka, made["dvojtecka"]);
  Assign(divadlo, made["divadlo"]);
  Assign(oddeleni, made["oddeleni"]);
  Assign(playlist, made["playlist"]);
  Assign(zkouseni_tibora, made["zkouseni_tibora"]);
  Assign(oddeleni2, made["oddeleni2"]);
  Assign(oddeleni3, made["oddeleni3"]);

  std::map<std::string, plat::Timer*> timers;
  for (const layout::TimerRow& t : layout::MainTimers()) {
    Tick h = Lookup(TimerHandlers(), t.on_timer);
    timers[t.name] = &AddTimer(t.name, uint32_t(t.interval), t.enabled, [this, h](plat::Timer& s) { (this->*h)(s); });
  }
  delay_bm = timers["delay_bm"];
  Midi_spoustec = timers["Midi_spoustec"];
  wav_spoustec = timers["wav_spoustec"];
  starter = timers["starter"];
  playlist_tracker = timers["playlist_tracker"];
  uvodni_blikajici_ikony = timers["uvodni_blikajici_ikony"];
  pozadavek_na_zadani = timers["pozadavek_na_zadani"];
  pozadavek_na_prepnuti_sady = timers["pozadavek_na_prepnuti_sady"];

  for (TToolbarButton97* b : {BTN_Konec, btn_obraz1, btn_obraz2, btn_obraz3, btn_obraz4}) b->Loaded();
  zkouseni_tibora->Loaded();

  OnCreate = [this] { FormCreate(); };
  OnCloseQuery = [this](bool& can_close) { FormCloseQuery(can_close); };
  OnDestroy = [this] { FormDestroy(); };
  OnKeyPress = [this](char& key) { FormKeyPress(key); };
}

}  // namespace ozzel
