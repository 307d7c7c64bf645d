// Wires the script driver to the headless backend and the real program.
#include "sim/sim.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include "app/program.h"
#include "media/registry_keys.h"
#include "platform/gdi/canvas.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/os.h"
#include "platform/registry/registry.h"
#include "platform/fs/fs.h"
#include "platform/start_dir.h"
#include "platform/trace.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"
#include "sim/driver.h"
#include "sim/options.h"

namespace ozzel::sim {

namespace fs = std::filesystem;

namespace {

constexpr int kMainWidth = 640, kMainHeight = 480;

// The temporary directory holding a default settings store; removed when the sim ends.
std::string g_temp_dir;

void Cleanup() {
  if (!g_temp_dir.empty()) {
    std::error_code ec;
    fs::remove_all(g_temp_dir, ec);
    g_temp_dir.clear();
  }
}

// Ends the process at once, skipping static destructors and the program's finalisation.
[[noreturn]] void Stop(int code) {
  std::fflush(stdout);
  std::fflush(stderr);
  Cleanup();
  std::_Exit(code);
}

int Usage(const std::string& why) {
  std::fprintf(stderr, "ozzel-sim: %s\n%s", why.c_str(), kUsage);
  return 2;
}

std::optional<std::string> MakeTempRegistry() {
  auto dir = plat::os::MakeTempDir("ozzel-sim-");
  if (!dir) return std::nullopt;
  g_temp_dir = *dir;
  return g_temp_dir + "/registry.reg";
}

}  // namespace

int RunSim(int argc, char** argv) {
  plat::os::BinaryStdio();
  std::vector<std::string> args(argv + 1, argv + argc);
  auto parsed = ParseArgs(args);
  if (auto* err = std::get_if<std::string>(&parsed)) return Usage(*err);
  SimOptions opts = std::get<SimOptions>(parsed);
  if (opts.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }

  // A script file is checked in full before anything runs.
  std::vector<Command> commands;
  if (opts.script) {
    std::ifstream in(*opts.script, std::ios::binary);
    if (!in) return Usage("cannot read script '" + *opts.script + "'");
    std::stringstream ss;
    ss << in.rdbuf();
    Script s = ParseScript(ss.str());
    if (s.error) {
      std::fprintf(stderr, "%s\n", s.error->message.c_str());
      return 2;
    }
    commands = std::move(s.commands);
  }

  std::string registry_path;
  if (opts.registry) {
    std::error_code ec;
    fs::path p = fs::absolute(*opts.registry, ec);
    registry_path = ec ? *opts.registry : p.string();
  } else if (auto p = MakeTempRegistry()) {
    registry_path = *p;
  } else {
    std::fprintf(stderr, "ozzel-sim: cannot create a temporary settings store\n");
    return 2;
  }
  plat::os::SetEnv("OZZEL_REGISTRY", registry_path);
  if (opts.data) {
    plat::Registry reg(registry_path);
    plat::RegValue v;
    v.type = plat::RegType::String;
    v.text = plat::FromStartDir(*opts.data);  // the program changes directory before it reads it
    if (!reg.Write(kKeyOdklon, kValueDataRoot, v)) {
      std::fprintf(stderr, "ozzel-sim: cannot write the data root into '%s'\n", registry_path.c_str());
      Cleanup();
      return 2;
    }
  }
  // Absolute now: the program changes the current directory to its data root.
  std::string shots_dir;
  {
    std::error_code ec;
    if (opts.shots) fs::create_directories(*opts.shots, ec);
    fs::path p = fs::absolute(opts.shots.value_or("."), ec);
    shots_dir = ec ? opts.shots.value_or(".") : p.string();
  }

  plat::HeadlessBackend backend(opts.screen, opts.sound_device);
  plat::trace::SetSink(
      [](const std::string& line) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
      },
      &backend.clock());

#if defined(_WIN32) || defined(__EMSCRIPTEN__)  // node's stdin cannot be polled either
  ScriptSource script_source(std::move(commands));
  StreamSource stdin_source(std::cin);
#else
  // A request to end the program (SIGTERM) wakes the backend, which cuts short the wait for the
  // next line on stdin through this pipe; the program then closes as it would at a normal exit.
  int wake[2] = {-1, -1};
  if (::pipe(wake) == 0) {
    for (int fd : wake) ::fcntl(fd, F_SETFL, O_NONBLOCK), ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    backend.OnWake = [fd = wake[1]] {
      const char byte = 1;
      [[maybe_unused]] ssize_t n = ::write(fd, &byte, 1);
    };
  }
  ScriptSource script_source(std::move(commands));
  FdSource stdin_source(STDIN_FILENO, wake[0]);
#endif
  CommandSource& source = opts.script ? static_cast<CommandSource&>(script_source) : stdin_source;

  DriverHooks hooks;
  hooks.inject = [&](const plat::InputEvent& e) { backend.Inject(e); };
  hooks.origin = [&]() {
    if (plat::HasApp()) {
      plat::Form* f = plat::App().MainForm();
      if (f && f->Visible()) return plat::Point{f->Bounds().left, f->Bounds().top};
    }
    return plat::Point{(opts.screen.w - kMainWidth) / 2, (opts.screen.h - kMainHeight) / 2};
  };
  hooks.animal_point = [](int code) { return AnimalPoint(code); };
  hooks.control_centre = [](const std::string& name) -> std::optional<plat::Point> {
    plat::Form* f = plat::HasApp() ? plat::App().MainForm() : nullptr;
    plat::Control* c = f ? f->Find(name) : nullptr;
    if (!c || !c->Visible()) return std::nullopt;
    plat::Rect b = c->Bounds();
    return plat::Point{b.left + b.w / 2, b.top + b.h / 2};
  };
  hooks.dump_state = [] { return DumpState(); };
  hooks.dump_questions = [] { return DumpQuestions(); };
  hooks.shot = [&](const std::string& name) -> std::optional<std::string> {
    if (!plat::HasApp()) return "no screen yet";
    try {
      plat::SavePng(plat::App().ComposeAll(), (fs::path(shots_dir) / (name + ".png")).string());
    } catch (const std::exception& e) {
      return std::string(e.what());
    }
    return std::nullopt;
  };
  hooks.flush = [] { std::fflush(stdout); };

  auto& audio = static_cast<plat::HeadlessAudio&>(backend.audio());
  hooks.microphone = [&audio](const std::string& path) { audio.SetMicrophoneFile(path.empty() ? path : plat::fs::HostPath(plat::FromStartDir(path))); };
  Driver driver(backend.vclock(), source, std::move(hooks));
  backend.OnIdle = [&](uint64_t deadline) {
    // The fake's own record of what played is for unit tests; here it would only grow.
    audio.ClearLog();
    switch (driver.OnIdle(deadline)) {
      case Driver::Status::Running:
        return;
      case Driver::Status::Ended:
        plat::trace::Emit("end", "running");
        Stop(0);
      case Driver::Status::Failed:
        std::fflush(stdout);
        std::fprintf(stderr, "%s\n", driver.error().c_str());
        Stop(2);
    }
  };

  int code;
  try {
    ProgramOptions po;
    po.seed = opts.seed;
    code = RunProgram(backend, po);
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "ozzel-sim: the program failed: %s\n", e.what());
    code = 3;
  }
  std::fflush(stdout);
  plat::trace::SetSink(nullptr, nullptr);
  Cleanup();
  return code;
}

}  // namespace ozzel::sim
