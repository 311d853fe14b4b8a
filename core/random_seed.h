// Clock-based seed of the random generator, for when the system's random device cannot be read.
#pragma once

#include <cstdint>

// Folds the bytes of both values (memory order, h = h * 257 + byte), adds a process-wide counter
// that rises by one per call and mixes the two, so seeds taken in one clock tick still differ.
uint32_t clockSeed(int64_t time, uint32_t clock);
