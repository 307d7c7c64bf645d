// POSIX signals as quit requests: the handler only counts and writes one byte to a pipe (all it may
// safely do); a watcher thread turns the byte into a wake-up of the UI loop. On Windows a console
// control handler (Ctrl+C, the console closed) runs on a thread of its own and wakes the loop itself.
#include "platform/quit_request.h"

#include <atomic>
#include <cerrno>
#include <mutex>

#ifdef _WIN32
#include <windows.h>
#elif !defined(__EMSCRIPTEN__)
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <thread>
#endif

namespace plat {

namespace {

std::atomic<uint64_t> g_requests{0};
static_assert(std::atomic<uint64_t>::is_always_lock_free, "counted inside a signal handler");
std::mutex g_wake_mutex;
std::function<void()> g_wake;

[[maybe_unused]] void WakeLoop() {
  std::lock_guard<std::mutex> lock(g_wake_mutex);
  if (g_wake) g_wake();
}

}  // namespace

#ifdef _WIN32

namespace {
BOOL WINAPI OnConsoleControl(DWORD) {
  g_requests.fetch_add(1);
  WakeLoop();
  return TRUE;
}
}  // namespace

void CatchQuitRequests(std::function<void()> wake) {
  {
    std::lock_guard<std::mutex> lock(g_wake_mutex);
    g_wake = std::move(wake);
  }
  static std::once_flag once;
  std::call_once(once, [] { SetConsoleCtrlHandler(OnConsoleControl, TRUE); });
}

#elif defined(__EMSCRIPTEN__)

// A browser tab or node has no signals to catch, and no thread to watch for them.
void CatchQuitRequests(std::function<void()> wake) {
  std::lock_guard<std::mutex> lock(g_wake_mutex);
  g_wake = std::move(wake);
}

#else

namespace {

int g_pipe[2] = {-1, -1};

extern "C" void OnQuitSignal(int) {
  const int saved = errno;
  g_requests.fetch_add(1);
  const char byte = 1;
  // A full pipe loses nothing: the count holds every request, one wake-up is enough.
  [[maybe_unused]] ssize_t n = ::write(g_pipe[1], &byte, 1);
  errno = saved;
}

void Watch() {
  char buf[64];
  for (;;) {
    ssize_t n = ::read(g_pipe[0], buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    WakeLoop();
  }
}

}  // namespace

void CatchQuitRequests(std::function<void()> wake) {
  {
    std::lock_guard<std::mutex> lock(g_wake_mutex);
    g_wake = std::move(wake);
  }
  static std::once_flag once;
  std::call_once(once, [] {
    if (::pipe(g_pipe) != 0) return;  // then the default action (ending at once) stays
    for (int fd : g_pipe) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);  // the handler must never block
    std::thread(Watch).detach();
    struct sigaction sa {};
    sa.sa_handler = OnQuitSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);  // the terminal gone: a quit, with the counters written
  });
}

#endif

uint64_t QuitRequests() { return g_requests.load(); }

}  // namespace plat
