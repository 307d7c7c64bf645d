// A headless program run for the app tests: temp settings store, captured trace, scripted boxes.
#pragma once
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/os.h"
#include "platform/audio/audio.h"
#include "platform/audio/media_player.h"
#include "platform/headless/headless.h"
#include "platform/registry/registry.h"
#include "platform/trace.h"
#include "platform/ui/application.h"

namespace ozzel::testing {

// A fresh temp dir holding the settings store; $OZZEL_REGISTRY points at it.
class TempStore {
 public:
  TempStore() {
    dir_ = std::filesystem::temp_directory_path() /
           ("ozzel-app-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "registry.reg").string();
    plat::os::SetEnv("OZZEL_REGISTRY", path_);
  }
  ~TempStore() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  const std::string& path() const { return path_; }
  std::filesystem::path dir() const { return dir_; }
  plat::Registry reg() const { return plat::Registry(path_); }
  // A data root with the pictures folder the settings unit looks for.
  std::string MakeMedium() const {
    std::filesystem::create_directories(dir_ / "root" / "bm4" / "_ozzel" / "obrazky");
    return (dir_ / "root").string();
  }

 private:
  static inline int counter_ = 0;
  std::filesystem::path dir_;
  std::string path_;
};

// Headless backend + application; boxes are answered from a queue of responses.
struct Headless {
  explicit Headless(bool sound = true, plat::Size screen = {1024, 768}) : backend(screen, sound) {
    plat::SetAudio(&backend.audio());
    plat::trace::SetSink([this](const std::string& l) { trace.push_back(l); }, &backend.clock());
    backend.OnIdle = [this](uint64_t deadline) {
      if (app && app->ActiveModal() && !answers.empty()) {
        auto e = answers.front();
        answers.pop_front();
        backend.Inject(e);
        return;
      }
      if (deadline != plat::kNever) backend.vclock().AdvanceTo(deadline);
    };
    app = std::make_unique<plat::Application>(backend);
    // As the program does: the loop wakes when a sound ends, and the end is traced then.
    app->AddWakeSource(&plat::MediaPlayer::NextChangeAll, &plat::MediaPlayer::PollAll);
  }
  ~Headless() { plat::trace::SetSink(nullptr, nullptr); }
  static plat::InputEvent Event(plat::InputEvent::Kind kind) {
    plat::InputEvent e;
    e.kind = kind;
    return e;
  }
  void Ok() { answers.push_back(Event(plat::InputEvent::Kind::DialogOk)); }
  void Cancel() { answers.push_back(Event(plat::InputEvent::Kind::DialogCancel)); }
  void Type(const std::string& t) {
    plat::InputEvent e = Event(plat::InputEvent::Kind::Text);
    e.text = t;
    answers.push_back(e);
  }
  // Trace lines without their time stamps.
  std::vector<std::string> Events() const {
    std::vector<std::string> out;
    for (const auto& l : trace) out.push_back(l.substr(l.find(' ') + 1));
    return out;
  }
  bool Saw(const std::string& event) const {
    for (const auto& e : Events())
      if (e == event) return true;
    return false;
  }

  plat::HeadlessBackend backend;
  std::unique_ptr<plat::Application> app;
  std::deque<plat::InputEvent> answers;
  std::vector<std::string> trace;
};

}  // namespace ozzel::testing
