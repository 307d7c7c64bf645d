// Requests from outside to end the program (SIGTERM, SIGINT and SIGHUP here): counted, then acted on by the
// message loop exactly as a closed window is.
#pragma once
#include <cstdint>
#include <functional>

namespace plat {

// Catches the requests from now on (the first call installs the handlers; later calls only replace
// `wake`). After each request `wake` runs on a thread of its own, so that a loop blocked in its
// backend notices; an empty `wake` stops the calls (the backend it woke is going away).
void CatchQuitRequests(std::function<void()> wake);
// How many requests have arrived in this process.
uint64_t QuitRequests();

}  // namespace plat
