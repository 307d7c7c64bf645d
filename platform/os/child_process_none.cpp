// Systems without helper programs: the Windows installer and the web page bring the medium ready-made.
#include "platform/os/child_process.h"

#include <stdexcept>

namespace plat {

bool ChildProcess::Available() { return false; }

ChildProcess::ChildProcess(const std::vector<std::string>&) {
  throw std::runtime_error("this system starts no helper programs");
}

ChildProcess::~ChildProcess() = default;

bool ChildProcess::Poll(std::vector<std::string>&) { return false; }

}  // namespace plat
