// The program's entry: hands control to the engine's start, loop and stop.
#include "engine/platform/engine.h"

int main(int argc, char** argv) { return engineMain(argc, argv); }
