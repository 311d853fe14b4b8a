// Coordinates and offsets read from level files, held within a range no level comes near.
#pragma once

#include "core/values.h"

// A value beyond this is damage: holding every coordinate and offset read within it keeps them
// convertible to int, and the sums of a position and its offsets inside the int range.
constexpr int kMaxCoordinate = 1 << 20;

// v held within the range, with one log line naming the file, section and key when it is not.
int heldCoordinate(int v, const char* file, const char* section, const char* key);
float heldCoordinate(float v, const char* file, const char* section, const char* key);
// The key's integer (0 when absent), held.
int iniGetCoordinate(const char* file, const char* section, const char* key);
Point2i iniGetPoint(const char* file, const char* section, const char* kx, const char* ky);
// A pair "x,y" of one key into point as iniReadIntPair reads it, held (a first number without
// its comma lands in point too); false when the key is absent or has no comma.
bool iniReadPoint(Point2i* point, const char* file, const char* section, const char* key);
