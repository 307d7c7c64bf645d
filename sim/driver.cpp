// The script driver: the program only ever sees time pass and input arrive while it waits.
#include "sim/driver.h"

#ifndef _WIN32
#include <poll.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>

#include "platform/trace.h"

namespace ozzel::sim {

SourceItem ScriptSource::Next() {
  if (pos_ >= commands_.size()) return EndOfScript{};
  return commands_[pos_++];
}

SourceItem StreamSource::Next() {
  std::string line;
  while (std::getline(in_, line)) {
    ++line_no_;
    LineResult r = ParseLine(line, line_no_);
    if (auto* c = std::get_if<Command>(&r)) return *c;
    if (auto* e = std::get_if<ParseError>(&r)) return *e;
  }
  return EndOfScript{};
}

#ifndef _WIN32  // Windows reads stdin through StreamSource: a console or pipe cannot be polled
SourceItem FdSource::Next() {
  for (;;) {
    size_t nl = buffer_.find('\n');
    if (nl != std::string::npos || (eof_ && !buffer_.empty())) {
      std::string line = buffer_.substr(0, nl);
      buffer_.erase(0, nl == std::string::npos ? buffer_.size() : nl + 1);
      ++line_no_;
      LineResult r = ParseLine(line, line_no_);
      if (auto* c = std::get_if<Command>(&r)) return *c;
      if (auto* e = std::get_if<ParseError>(&r)) return *e;
      continue;
    }
    if (eof_) return EndOfScript{};
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_fd_, POLLIN, 0}};
    int n = ::poll(fds, wake_fd_ >= 0 ? 2 : 1, -1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return EndOfScript{};
    if (wake_fd_ >= 0 && (fds[1].revents & POLLIN)) {
      char drain[64];
      [[maybe_unused]] ssize_t r = ::read(wake_fd_, drain, sizeof drain);
      return Interrupted{};
    }
    char buf[4096];
    ssize_t got = ::read(fd_, buf, sizeof buf);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0)
      eof_ = true;
    else
      buffer_.append(buf, size_t(got));
  }
}
#endif

Driver::Status Driver::OnIdle(uint64_t deadline_ms) {
  if (status_ != Status::Running) return status_;
  for (;;) {
    if (waiting_) {
      if (deadline_ms <= target_) {
        clock_.AdvanceTo(deadline_ms);
        return status_;
      }
      clock_.AdvanceTo(target_);
      waiting_ = false;
    }
    if (hooks_.flush) hooks_.flush();
    SourceItem item = source_.Next();
    if (std::holds_alternative<Interrupted>(item)) return status_;  // the program acts on what woke it
    if (std::holds_alternative<EndOfScript>(item)) {
      status_ = Status::Ended;
      return status_;
    }
    if (auto* e = std::get_if<ParseError>(&item)) {
      error_ = e->message;
      status_ = Status::Failed;
      return status_;
    }
    if (Execute(std::get<Command>(item)) || status_ != Status::Running) return status_;
  }
}

void Driver::Mouse(plat::InputEvent::Kind kind, const Command& c, plat::Point screen) {
  plat::InputEvent e;
  e.kind = kind;
  e.pos = screen;
  e.button = c.button;
  hooks_.inject(e);
}

bool Driver::Execute(const Command& c) {
  using K = plat::InputEvent::Kind;
  auto to_screen = [&]() {
    plat::Point o = hooks_.origin ? hooks_.origin() : plat::Point{};
    return plat::Point{o.x + c.x, o.y + c.y};
  };
  if (!c.control.empty()) {
    // A named control is looked up when the command runs: where it is now, if it is shown now.
    std::optional<plat::Point> p = hooks_.control_centre ? hooks_.control_centre(c.control) : std::nullopt;
    if (!p) {
      error_ = "script line " + std::to_string(c.line) + ": no visible control '" + c.control + "'";
      status_ = Status::Failed;
      return false;
    }
    Command at = c;
    at.control.clear();
    at.x = p->x;
    at.y = p->y;
    return Execute(at);
  }
  auto simple = [&](K kind) {
    plat::InputEvent e;
    e.kind = kind;
    hooks_.inject(e);
  };
  switch (c.kind) {
    case Command::Kind::Wait:
      target_ = clock_.NowMs() + c.ms;
      waiting_ = true;
      return false;
    case Command::Kind::Move:
      Mouse(K::MouseMove, c, to_screen());
      return true;
    case Command::Kind::Click:
    case Command::Kind::DblClick: {
      plat::Point p = to_screen();
      for (int i = 0; i < (c.kind == Command::Kind::DblClick ? 2 : 1); ++i) {
        Mouse(K::MouseMove, c, p);
        Mouse(K::MouseDown, c, p);
        Mouse(K::MouseUp, c, p);
      }
      return true;
    }
    case Command::Kind::Down:
    case Command::Kind::Up: {
      plat::Point p = to_screen();
      Mouse(K::MouseMove, c, p);
      Mouse(c.kind == Command::Kind::Down ? K::MouseDown : K::MouseUp, c, p);
      return true;
    }
    case Command::Kind::Key:
    case Command::Kind::KeyDown:
    case Command::Kind::KeyUp: {
      // As a keyboard sends them: the key goes down, types its character, comes up.
      plat::InputEvent e;
      if (c.key != plat::Key::None && c.kind != Command::Kind::KeyUp) {
        e.kind = K::KeyDown;
        e.key = c.key;
        hooks_.inject(e);
      }
      if (c.ch != 0 && c.kind != Command::Kind::KeyUp) {
        e = {};
        e.kind = K::KeyChar;
        e.ch = c.ch;
        hooks_.inject(e);
      }
      if (c.key != plat::Key::None && c.kind != Command::Kind::KeyDown) {
        e = {};
        e.kind = K::KeyUp;
        e.key = c.key;
        hooks_.inject(e);
      }
      return true;
    }
    case Command::Kind::Tap: {
      plat::Point p = to_screen();
      Mouse(K::TouchDown, c, p);
      Mouse(K::TouchUp, c, p);
      return true;
    }
    case Command::Kind::Touch:
      Mouse(c.touch, c, to_screen());
      return true;
    case Command::Kind::Type: {
      plat::InputEvent e;
      e.kind = K::Text;
      e.text = c.text;
      hooks_.inject(e);
      return true;
    }
    case Command::Kind::Ok:
      simple(K::DialogOk);
      return true;
    case Command::Kind::Cancel:
      simple(K::DialogCancel);
      return true;
    case Command::Kind::Animal: {
      std::optional<plat::Point> p = hooks_.animal_point ? hooks_.animal_point(c.code) : std::nullopt;
      std::string args = std::to_string(c.code) + " ";
      args += p ? std::to_string(p->x) + " " + std::to_string(p->y) : "none";
      plat::trace::Emit("animal", args);
      return false;
    }
    case Command::Kind::Dump:
      plat::trace::Emit("state", hooks_.dump_state ? hooks_.dump_state() : "");
      plat::trace::Emit("questions", hooks_.dump_questions ? hooks_.dump_questions() : "");
      return false;
    case Command::Kind::Microphone:
      if (hooks_.microphone) hooks_.microphone(c.text);
      return false;
    case Command::Kind::Shot:
      if (hooks_.shot) {
        if (auto err = hooks_.shot(c.text)) {
          // A missing screenshot should not change the run; say so and carry on.
          std::fprintf(stderr, "script line %d: shot %s: %s\n", c.line, c.text.c_str(), err->c_str());
        }
      }
      return false;
  }
  return false;
}

}  // namespace ozzel::sim
