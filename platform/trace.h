// The simulator's event trace: "T EVENT ARGS" lines, T in the clock's milliseconds.
// Off unless a sink is installed (the sim, tests, or OZZEL_TRACE=1 for the real program).
#pragma once
#include <cstdio>
#include <functional>
#include <string>

namespace plat {

class Clock;

namespace trace {

// Install where lines go and which clock stamps them; nullptr switches tracing off.
void SetSink(std::function<void(const std::string& line)> sink, const Clock* clock);
bool Enabled();
// Emits "T " + event + (args.empty() ? "" : " " + args).
void Emit(const std::string& event, const std::string& args = "");

}  // namespace trace
}  // namespace plat
