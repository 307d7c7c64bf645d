// The single game on Windows: a named mutex of the user's session, and a named event a later launch sets;
// a thread of the first game waits on it and asks for the window to come forward.
#include "platform/os/single_instance.h"

#include <windows.h>

#include <thread>

namespace plat {

namespace {

// "Local\": one game per user session. A given folder (tests) makes names of its own.
std::wstring Name(const std::string& dir, const wchar_t* what) {
  std::wstring n = L"Local\\Ozzel-" + std::wstring(what);
  if (!dir.empty()) {
    uint32_t h = 2166136261u;
    for (unsigned char c : dir) h = (h ^ c) * 16777619u;
    n += L"-" + std::to_wstring(h);
  }
  return n;
}

class Win32Instance : public SingleInstance {
 public:
  Win32Instance(HANDLE mutex, HANDLE raise, std::function<void()> on_raise) : mutex_(mutex), raise_(raise) {
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!raise_ || !stop_) return;
    watcher_ = std::thread([this, on_raise = std::move(on_raise)] {
      HANDLE both[2] = {stop_, raise_};
      while (WaitForMultipleObjects(2, both, FALSE, INFINITE) == WAIT_OBJECT_0 + 1)
        if (on_raise) on_raise();
    });
  }
  ~Win32Instance() override {
    if (watcher_.joinable()) {
      SetEvent(stop_);
      watcher_.join();
    }
    for (HANDLE h : {stop_, raise_, mutex_})
      if (h) CloseHandle(h);
  }

 private:
  HANDLE mutex_, raise_, stop_ = nullptr;
  std::thread watcher_;
};

}  // namespace

std::unique_ptr<SingleInstance> SingleInstance::Claim(std::function<void()> on_raise, const std::string& dir) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, Name(dir, L"game").c_str());
  const bool taken = mutex && GetLastError() == ERROR_ALREADY_EXISTS;
  // An auto-reset event: one set is one raise.
  HANDLE raise = CreateEventW(nullptr, FALSE, FALSE, Name(dir, L"raise").c_str());
  if (taken) {
    // The first game may take the foreground from us: we are the one the user just started.
    AllowSetForegroundWindow(ASFW_ANY);
    if (raise) SetEvent(raise), CloseHandle(raise);
    CloseHandle(mutex);
    return nullptr;
  }
  // Without a mutex (the system refused) the game still runs, only without the guard.
  return std::unique_ptr<SingleInstance>(new Win32Instance(mutex, raise, std::move(on_raise)));
}

}  // namespace plat
