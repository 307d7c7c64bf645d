// Drives the program from a script: runs in the headless backend's idle hook, moves virtual time
// for `wait` and injects input for the rest.
#pragma once
#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/geometry.h"
#include "sim/script.h"

namespace ozzel::sim {

struct EndOfScript {};
// No command now: the wait for one was cut short (a request to end the program came meanwhile).
struct Interrupted {};
using SourceItem = std::variant<Command, ParseError, EndOfScript, Interrupted>;

// Where commands come from: a script checked in full beforehand, or a stream read line by line.
class CommandSource {
 public:
  virtual ~CommandSource() = default;
  virtual SourceItem Next() = 0;
};

class ScriptSource : public CommandSource {
 public:
  explicit ScriptSource(std::vector<Command> commands) : commands_(std::move(commands)) {}
  SourceItem Next() override;

 private:
  std::vector<Command> commands_;
  size_t pos_ = 0;
};

// Reads a line only when the next command is needed, so another program can drive the sim.
class StreamSource : public CommandSource {
 public:
  explicit StreamSource(std::istream& in) : in_(in) {}
  SourceItem Next() override;

 private:
  std::istream& in_;
  int line_no_ = 0;
};

#ifndef _WIN32
// Reads a file descriptor (the sim's stdin) line by line, giving up its wait when `wake_fd` becomes
// readable, so that the program can end while nobody sends commands.
class FdSource : public CommandSource {
 public:
  FdSource(int fd, int wake_fd) : fd_(fd), wake_fd_(wake_fd) {}
  SourceItem Next() override;

 private:
  int fd_, wake_fd_;
  std::string buffer_;
  bool eof_ = false;
  int line_no_ = 0;
};
#endif

// What the driver needs from the program and the backend.
struct DriverHooks {
  std::function<void(const plat::InputEvent&)> inject;
  // Screen position of the main window's client origin.
  std::function<plat::Point()> origin;
  std::function<std::optional<plat::Point>(int code)> animal_point;
  // Centre of a visible control of the main window, in its client coordinates; nullopt when there is none.
  std::function<std::optional<plat::Point>(const std::string& name)> control_centre;
  std::function<std::string()> dump_state;
  std::function<std::string()> dump_questions;
  // Writes the screen as NAME.png; returns an error text on failure.
  std::function<std::optional<std::string>(const std::string& name)> shot;
  // The file the microphone hears from now on ("" for none).
  std::function<void(const std::string& path)> microphone;
  // Runs before the next command is read, so an interactive reader sees all the trace so far.
  std::function<void()> flush;
};

class Driver {
 public:
  enum class Status { Running, Ended, Failed };

  Driver(plat::VirtualClock& clock, CommandSource& source, DriverHooks hooks)
      : clock_(clock), source_(source), hooks_(std::move(hooks)) {}

  // The backend's idle hook: the program waits until deadline_ms. Returns Ended when the script has
  // no more commands, Failed on a malformed line (error() says which); the caller then stops the run.
  Status OnIdle(uint64_t deadline_ms);

  const std::string& error() const { return error_; }
  // The virtual time a `wait` in progress runs to.
  std::optional<uint64_t> wait_target() const { return waiting_ ? std::optional(target_) : std::nullopt; }

 private:
  // Executes one command; true when it injected input (the program must run before the next one).
  bool Execute(const Command& c);
  void Mouse(plat::InputEvent::Kind kind, const Command& c, plat::Point screen);

  plat::VirtualClock& clock_;
  CommandSource& source_;
  DriverHooks hooks_;
  bool waiting_ = false;
  uint64_t target_ = 0;
  Status status_ = Status::Running;
  std::string error_;
};

}  // namespace ozzel::sim
