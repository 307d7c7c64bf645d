// The main window's layout as data, like a stored form: controls in order, properties, bindings.
#pragma once
#include <memory>
#include <variant>
#include <vector>

#include "app/ozz_main.h"
#include "platform/gdi/color.h"

namespace ozzel::layout {

// Handlers, as members of the form: a misspelt one does not compile.
using Notify = void (Tform_ozzel::*)(plat::Control&);
using Mouse = void (Tform_ozzel::*)(plat::Control&, plat::MouseButton, plat::ShiftState, int, int);
using Move = void (Tform_ozzel::*)(plat::Control&, plat::ShiftState, int, int);
using Tick = void (Tform_ozzel::*)(plat::Timer&);

// The member a control is stored in; its type says which kind of control the row makes.
// The alternatives are in the order of Kind.
using Member = std::variant<plat::Image* Tform_ozzel::*, plat::Label* Tform_ozzel::*,
                            TToolbarButton97* Tform_ozzel::*, std::unique_ptr<plat::MediaPlayer> Tform_ozzel::*,
                            plat::Panel* Tform_ozzel::*, plat::ListBox* Tform_ozzel::*, TAVI_orvel1* Tform_ozzel::*>;
enum class Kind { Image, Label, GlyphButton, MediaPlayer, Panel, ListBox, Animation };

struct ControlRow {
  Member member;
  const char* name;  // the control's name, as the trace shows it
  int left, top, width, height;
  bool visible;
  int cursor = 0;
  int tag = 0;
  const char* picture = nullptr;  // a resource picture (image picture or glyph strip)
  bool auto_size = false;
  bool transparent = false;
  const char* caption = nullptr;  // labels; the list box's one initial item
  // Glyph buttons.
  bool glyph_top = false;
  int spacing = 4;
  // Labels.
  bool centred = false;
  bool arial = false;
  plat::Rgb colour{};  // labels: font colour; panels: fill
  // Animation.
  int repetitions = 0;
  int stop_frame = 0;
  // Events.
  Notify on_click = nullptr;
  Mouse on_mouse_down = nullptr;
  Move on_mouse_move = nullptr;
  Notify on_mouse_enter = nullptr;
  Notify on_mouse_exit = nullptr;

  Kind kind() const { return Kind(member.index()); }
};

struct TimerRow {
  plat::Timer* Tform_ozzel::*member;
  const char* name;
  int interval;
  bool enabled;
  Tick on_timer;
};

// Graphic controls bottom to top, then windowed controls bottom to top.
const std::vector<ControlRow>& MainControls();
const std::vector<TimerRow>& MainTimers();

}  // namespace ozzel::layout
