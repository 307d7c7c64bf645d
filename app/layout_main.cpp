// The main window's stored layout and the binding of its events to the form's handlers.
#include "app/layout_main.h"

#include <type_traits>

#include "controls/avi_delp.h"
#include "game/words.h"
#include "controls/tb97ctls.h"
#include "platform/audio/audio.h"
#include "platform/gdi/bitmap.h"
#include "platform/ui/application.h"
#include "resources/resources.h"

namespace ozzel {
namespace layout {

namespace {
constexpr plat::Rgb kAqua{0, 255, 255};
constexpr plat::Rgb kSeparator{50, 130, 210};
using F = Tform_ozzel;
// A row names its member once: the control's name is the member's, so the two cannot disagree.
#define CONTROL(m) .member = &F::m, .name = #m
#define NAMED(m) &F::m, #m

ControlRow SceneButton(TToolbarButton97* F::*member, const char* name, int left, int tag, const char* strip,
                       Notify enter) {
  return {.member = member, .name = name, .left = left, .top = 416, .width = 60, .height = 60,
          .visible = false, .cursor = plat::crHand, .tag = tag, .picture = strip, .glyph_top = true,
          .spacing = 0, .on_click = &F::btn_obraz1Click, .on_mouse_enter = enter,
          .on_mouse_exit = &F::btn_obraz4MouseExit};
}

ControlRow ScoreLabel(plat::Label* F::*member, const char* name, int left, int top, int w, int h,
                      const char* caption) {
  return {.member = member, .name = name, .left = left, .top = top, .width = w, .height = h,
          .visible = false, .transparent = true, .caption = caption, .centred = true, .arial = true,
          .colour = kAqua, .on_click = &F::pocitadlo_podkladClick};
}

ControlRow HitMapImage(plat::Image* F::*member, const char* name, int left, int top) {
  return {.member = member, .name = name, .left = left, .top = top, .width = 105, .height = 105,
          .visible = false, .picture = name};
}

ControlRow Separator(plat::Panel* F::*member, const char* name, int left, int top, int w, int h) {
  return {.member = member, .name = name, .left = left, .top = top, .width = w, .height = h,
          .visible = false, .colour = kSeparator};
}
}  // namespace

const std::vector<ControlRow>& MainControls() {
  static const std::vector<ControlRow> rows = {
      {CONTROL(pocitadlo_podklad), .left = 307, .top = 416, .width = 231,
       .height = 60, .visible = false, .cursor = plat::crArrow, .picture = "pocitadlo", .auto_size = true,
       .on_click = &F::pocitadlo_podkladClick},
      {CONTROL(roh_PH), .left = 622, .top = 0, .width = 19, .height = 18, .visible = true,
       .picture = "roh_PH", .auto_size = true, .transparent = true},
      {CONTROL(roh_LH), .left = 0, .top = 0, .width = 18, .height = 19, .visible = true,
       .picture = "roh_LH", .auto_size = true, .transparent = true},
      {CONTROL(BTN_Konec), .left = 555, .top = 418, .width = 64, .height = 60,
       .visible = false, .cursor = plat::crHand, .picture = "glyph_konec", .on_click = &F::BTN_KonecClick,
       .on_mouse_enter = &F::BTN_KonecMouseEnter},
      {CONTROL(roh_LD), .left = 0, .top = 462, .width = 19, .height = 18, .visible = true,
       .picture = "roh_LD", .auto_size = true, .transparent = true},
      {CONTROL(roh_PD), .left = 622, .top = 462, .width = 18, .height = 19, .visible = true,
       .picture = "roh_PD", .auto_size = true, .transparent = true},
      {CONTROL(label4), .left = 516, .top = 444, .width = 32, .height = 16, .visible = false,
       .caption = "temp"},
      {CONTROL(stit), .left = 613, .top = 440, .width = 639, .height = 479, .visible = false,
       .on_click = &F::stitClick},
      SceneButton(NAMED(btn_obraz1), 42, 1, "glyph_obraz1", &F::btn_obraz1MouseEnter),
      SceneButton(NAMED(btn_obraz2), 178, 2, "glyph_obraz2", &F::btn_obraz2MouseEnter),
      SceneButton(NAMED(btn_obraz3), 315, 3, "glyph_obraz3", &F::btn_obraz3MouseEnter),
      SceneButton(NAMED(btn_obraz4), 451, 4, "glyph_obraz4", &F::btn_obraz4MouseEnter),
      {CONTROL(podklad), .left = 0, .top = 0, .width = 640, .height = 410, .visible = false,
       .cursor = plat::crArrow, .on_mouse_down = &F::podkladMouseDown, .on_mouse_move = &F::podkladMouseMove},
      HitMapImage(NAMED(RGB_lesni), 606, 124),
      HitMapImage(NAMED(RGB_uzitecna), 589, 60),
      HitMapImage(NAMED(RGB_safari), 599, 90),
      HitMapImage(NAMED(RGB_doma), 619, 162),
      ScoreLabel(NAMED(lbl_dobre), 368, 434, 50, 22, "0"),
      ScoreLabel(NAMED(lbl_spatne), 428, 435, 50, 22, "0"),
      {CONTROL(preview), .left = 0, .top = 0, .width = 640, .height = 410, .visible = false,
       .on_click = &F::previewClick, .on_mouse_down = &F::podkladMouseDown, .on_mouse_move = &F::podkladMouseMove},
      ScoreLabel(NAMED(dvojtecka), 420, 432, 7, 24, ":"),
      {CONTROL(divadlo), .left = 6, .top = 16, .width = 530, .height = 380, .visible = true,
       .cursor = plat::crHand, .on_mouse_down = &F::divadloMouseDown},
      // Windowed controls.
      {CONTROL(MIDIPlayer), .left = 308, .top = -20, .width = 57, .height = 30,
       .visible = false},
      {CONTROL(WavPlayer), .left = 252, .top = -19, .width = 57, .height = 30,
       .visible = false},
      Separator(NAMED(oddeleni), -8, 411, 650, 2),
      {CONTROL(playlist), .left = 117, .top = 467, .width = 275, .height = 68,
       .visible = false, .caption = "seznam hudby..."},
      {CONTROL(zkouseni_tibora), .left = 537, .top = 233, .width = 100,
       .height = 170, .visible = false, .cursor = plat::crArrow, .repetitions = 1, .stop_frame = 8,
       .on_click = &F::zkouseni_tiboraClick},
      Separator(NAMED(oddeleni2), 296, 411, 2, 650),
      Separator(NAMED(oddeleni3), 544, 412, 2, 650),
  };
  return rows;
}

const std::vector<TimerRow>& MainTimers() {
  static const std::vector<TimerRow> rows = {
      {NAMED(delay_bm), 100, false, &F::delay_bmTimer},
      {NAMED(Midi_spoustec), 2000, false, &F::Midi_spoustecTimer},
      {NAMED(wav_spoustec), 100, true, &F::wav_spoustecTimer},
      {NAMED(starter), 500, true, &F::startertimerTimer},
      {NAMED(playlist_tracker), 200, false, &F::playlist_trackerTimer},
      {NAMED(uvodni_blikajici_ikony), 500, false, &F::uvodni_blikajici_ikonyTimer},
      {NAMED(pozadavek_na_zadani), 100, false, &F::pozadavek_na_zadaniTimer},
      {NAMED(pozadavek_na_prepnuti_sady), 100, false,
       &F::pozadavek_na_prepnuti_sadyTimer},
  };
  return rows;
}

#undef CONTROL
#undef NAMED

}  // namespace layout

namespace {

plat::NotifyEvent Bind(Tform_ozzel* f, layout::Notify h) {
  if (!h) return {};
  return [f, h](plat::Control& s) { (f->*h)(s); };
}

plat::MouseEvent Bind(Tform_ozzel* f, layout::Mouse h) {
  if (!h) return {};
  return [f, h](plat::Control& s, plat::MouseButton b, plat::ShiftState sh, int x, int y) { (f->*h)(s, b, sh, x, y); };
}

plat::MouseMoveEvent Bind(Tform_ozzel* f, layout::Move h) {
  if (!h) return {};
  return [f, h](plat::Control& s, plat::ShiftState sh, int x, int y) { (f->*h)(s, sh, x, y); };
}

plat::Bitmap ResourcePicture(const char* name) {
  if (!name) return {};
  try {
    return res::Picture(name);
  } catch (const plat::GdiError&) {
    return {};  // a picture that cannot be found leaves its control empty
  }
}

}  // namespace

void Tform_ozzel::BuildLayout() {
  Caption = "Ozzelky - BM4";
  Color = plat::kWindowBlue;
  KeyPreview = true;
  Cursor = plat::crArrow;
  Font = plat::FontSpec{"System", 13, false, {0, 0, 0}};
  SetBounds(0, 0, 640, 480);

  for (const layout::ControlRow& r : layout::MainControls()) {
    // Makes the control of the row's kind, stores it in its member, and sets what only that kind has.
    auto make = [&](auto member) -> auto& {
      using T = std::remove_pointer_t<std::remove_reference_t<decltype(this->*member)>>;
      auto& c = Add<T>(r.name);
      this->*member = &c;
      return c;
    };
    plat::Control* c = nullptr;
    std::visit(
        [&](auto member) {
          using M = decltype(member);
          if constexpr (std::is_same_v<M, plat::Image* Tform_ozzel::*>) {
            auto& img = make(member);
            img.AutoSize = r.auto_size;
            img.SetPicture(ResourcePicture(r.picture));
            img.SetTransparent(r.transparent);
            c = &img;
          } else if constexpr (std::is_same_v<M, plat::Label* Tform_ozzel::*>) {
            auto& l = make(member);
            l.SetCaption(r.caption ? r.caption : "");
            l.Transparent = r.transparent;
            l.Alignment = r.centred ? plat::TextAlign::Center : plat::TextAlign::Left;
            l.Font = r.arial ? plat::FontSpec{"Arial", 21, true, r.colour} : Font;
            c = &l;
          } else if constexpr (std::is_same_v<M, TToolbarButton97* Tform_ozzel::*>) {
            auto& b = make(member);
            b.SetColor(plat::kWindowBlue);
            b.SetDisplayMode(dmGlyphOnly);
            b.SetNoBorder(true);
            b.SetLayout(r.glyph_top ? blGlyphTop : blGlyphLeft);
            b.SetSpacing(r.spacing);
            b.SetMargin(-1);
            // The door's word is drawn into its picture, one picture per language.
            const bool door = member == &Tform_ozzel::BTN_Konec;
            b.SetGlyph(ResourcePicture(door ? game::DoorPicture().c_str() : r.picture));
            b.SetNumGlyphs(5);
            b.OnMouseEnter = Bind(this, r.on_mouse_enter);
            b.OnMouseExit = Bind(this, r.on_mouse_exit);
            c = &b;
          } else if constexpr (std::is_same_v<M, std::unique_ptr<plat::MediaPlayer> Tform_ozzel::*>) {
            // A channel, not a control: nothing to place or draw.
            bool wav = member == &Tform_ozzel::WavPlayer;
            this->*member = std::make_unique<plat::MediaPlayer>(
                r.name, wav ? "wav" : "midi", wav ? plat::Audio().CreateWaveDevice() : plat::Audio().CreateMidiDevice());
          } else if constexpr (std::is_same_v<M, plat::Panel* Tform_ozzel::*>) {
            auto& p = make(member);
            p.Color = r.colour;
            c = &p;
          } else if constexpr (std::is_same_v<M, plat::ListBox* Tform_ozzel::*>) {
            auto& l = make(member);
            if (r.caption) l.Items.push_back(r.caption);
            c = &l;
          } else {
            static_assert(std::is_same_v<M, TAVI_orvel1* Tform_ozzel::*>);
            auto& a = make(member);
            a.AutoSize = false;
            a.SetColor(plat::kWindowBlue);
            a.SetRepetitions(r.repetitions);
            a.SetStopFrame(int16_t(r.stop_frame));
            c = &a;
          }
        },
        r.member);
    if (!c) continue;
    c->SetBounds(r.left, r.top, r.width, r.height);
    c->SetVisible(r.visible);
    c->SetCursor(r.cursor);
    c->Tag = r.tag;
    c->OnClick = Bind(this, r.on_click);
    c->OnMouseDown = Bind(this, r.on_mouse_down);
    c->OnMouseMove = Bind(this, r.on_mouse_move);
  }

  for (const layout::TimerRow& t : layout::MainTimers()) {
    layout::Tick h = t.on_timer;
    this->*t.member = &AddTimer(t.name, uint32_t(t.interval), t.enabled, [this, h](plat::Timer& s) { (this->*h)(s); });
  }

  wav_spoustec->Idle = [this](const plat::Timer& t) { return wav_spoustecIdle(t); };
  playlist_tracker->Idle = [this](const plat::Timer&) { return playlist_trackerIdle(); };
  Midi_spoustec->Idle = [this](const plat::Timer&) { return Midi_spoustecIdle(); };

  // Not of the stored window: a parent's session limit, off until StartSessionLimit, and the gate to
  // the parents' page, off until its keys are held.
  casovy_limit = &AddTimer("casovy_limit", 60000, false, [this](plat::Timer& s) { casovy_limitTimer(s); });
  brana_rodicu = &AddTimer("brana_rodicu", 3000, false, [this](plat::Timer& s) { brana_rodicuTimer(s); });

  for (TToolbarButton97* b : {BTN_Konec, btn_obraz1, btn_obraz2, btn_obraz3, btn_obraz4}) b->Loaded();
  zkouseni_tibora->Loaded();

  OnCreate = [this] { FormCreate(); };
  OnCloseQuery = [this](bool& can_close) { FormCloseQuery(can_close); };
  OnDestroy = [this] { FormDestroy(); };
  OnKeyPress = [this](char& key) { FormKeyPress(key); };
}

}  // namespace ozzel
