// ozzel-sim: the program, headless and in virtual time, driven by a script.
#include "sim/sim.h"

int main(int argc, char** argv) { return ozzel::sim::RunSim(argc, argv); }
