// One game per user (and display): the first launch holds a lock, a later one asks it to come forward and ends.
#pragma once
#include <functional>
#include <memory>
#include <string>

namespace plat {

class SingleInstance {
 public:
  // Tries to become the user's one running game. On success on_raise runs (on a thread of its own) each
  // time a later launch asks for the game. nullptr when another game runs: it has been asked to come to
  // the front. `dir` holds the lock and the line to the first game (empty: the user's runtime directory).
  static std::unique_ptr<SingleInstance> Claim(std::function<void()> on_raise, const std::string& dir = "");
  virtual ~SingleInstance() = default;

 protected:
  SingleInstance() = default;
};

}  // namespace plat
