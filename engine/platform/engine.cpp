// Engine-wide switches.
#include "engine/platform/engine.h"

namespace {
int gDebug = 0;
}

int engineDebug() { return gDebug; }

void engineSetDebug(int value) { gDebug = value; }
