// ozzel-sim as a function: the whole program on the headless backend, driven by a script.
#pragma once

namespace ozzel::sim {

// Parses the command line, prepares the settings store, runs the program and returns the exit
// code. Ends the process itself (without finalising) when the script runs out first.
int RunSim(int argc, char** argv);

}  // namespace ozzel::sim
