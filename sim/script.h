// The simulator's script language: one command a line, '#' starts a comment.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/backend.h"

namespace ozzel::sim {

struct Command {
  enum class Kind { Wait, Move, Click, Down, Up, DblClick, Key, Type, Ok, Cancel, Animal, Dump, Shot, KeyDown, KeyUp, Tap, Touch, Microphone };
  Kind kind = Kind::Wait;
  int line = 0;       // 1-based line number in the script
  uint64_t ms = 0;    // wait
  int x = 0, y = 0;   // mouse commands: main-window client coordinates
  std::string control;  // mouse commands: a control of the main window, at its centre (instead of x, y)
  int button = 0;     // 0 left, 1 right, 2 middle
  unsigned ch = 0;    // key, keydown: the character code (27 Esc, 13 Enter), 0 for none
  plat::Key key = plat::Key::None;  // key, keydown, keyup: a named key
  plat::InputEvent::Kind touch = plat::InputEvent::Kind::TouchDown;  // touch: down, move or up
  int code = 0;       // animal
  std::string text;   // type: the text; shot: the name
  bool operator==(const Command&) const = default;
};

// A line that carries no command (blank or comment only).
struct Blank {};
// A malformed line; message is the whole diagnostic, "script line N: ...".
struct ParseError {
  std::string message;
};

using LineResult = std::variant<Blank, Command, ParseError>;

// Parses one script line. A '#' at the start of the line or after whitespace begins a comment.
LineResult ParseLine(const std::string& line, int line_no);

// Parses a whole script; the first malformed line is an error.
struct Script {
  std::vector<Command> commands;
  std::optional<ParseError> error;
};
Script ParseScript(const std::string& text);

}  // namespace ozzel::sim
