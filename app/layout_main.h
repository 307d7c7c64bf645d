// The main window's layout as data, like a stored form: controls in order, properties, bindings.
#pragma once
#include <string>
#include <vector>

#include "platform/gdi/color.h"

namespace ozzel::layout {

enum class Kind { Image, Label, GlyphButton, MediaPlayer, Panel, ListBox, Animation };

struct ControlRow {
  Kind kind;
  const char* name;
  int left, top, width, height;
  bool visible;
  int cursor = 0;
  int tag = 0;
  const char* picture = nullptr;  // embedded picture (image picture or glyph strip)
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
  // Events, by handler name.
  const char* on_click = nullptr;
  const char* on_mouse_down = nullptr;
  const char* on_mouse_move = nullptr;
  const char* on_mouse_enter = nullptr;
  const char* on_mouse_exit = nullptr;
};

struct TimerRow {
  const char* name;
  int interval;
  bool enabled;
  const char* on_timer;
};

// Graphic controls bottom to top, then windowed controls bottom to top.
const std::vector<ControlRow>& MainControls();
const std::vector<TimerRow>& MainTimers();

}  // namespace ozzel::layout
