// The animals' shapes, facing right, each in its own units; the fitting maps them into the scene.
#pragma once
#include "tools/art/shape.h"

namespace ozzel::art {

// Empty for a set and code without an animal.
Shape DrawAnimal(int set, int code);

}  // namespace ozzel::art
