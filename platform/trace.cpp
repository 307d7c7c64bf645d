// Trace sink: one global, because the trace is one stream for the whole process.
#include "platform/trace.h"

#include "platform/clock.h"

namespace plat::trace {

namespace {
std::function<void(const std::string&)> g_sink;
const Clock* g_clock = nullptr;
}  // namespace

void SetSink(std::function<void(const std::string&)> sink, const Clock* clock) {
  g_sink = std::move(sink);
  g_clock = clock;
}

bool Enabled() { return bool(g_sink); }

void Emit(const std::string& event, const std::string& args) {
  if (!g_sink) return;
  std::string line = std::to_string(g_clock ? g_clock->NowMs() : 0) + " " + event;
  if (!args.empty()) line += " " + args;
  g_sink(line);
}

}  // namespace plat::trace
