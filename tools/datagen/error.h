// The generator's one error type: its message names what is missing or what failed.
#pragma once
#include <stdexcept>

namespace datagen {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace datagen
