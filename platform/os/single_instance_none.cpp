// A browser tab: no other launch can ask for it, so it is always the one game.
#include "platform/os/single_instance.h"

namespace plat {

namespace {
class Alone : public SingleInstance {};
}  // namespace

std::unique_ptr<SingleInstance> SingleInstance::Claim(std::function<void()>, const std::string&) {
  return std::make_unique<Alone>();
}

}  // namespace plat
