// Holding coordinates read from level files within range, with the log line that names them.
#include "world/coordinates.h"

#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"

int heldCoordinate(int v, const char* file, const char* section, const char* key) {
    return iniHeldInt(v, -kMaxCoordinate, kMaxCoordinate, file, section, key);
}

float heldCoordinate(float v, const char* file, const char* section, const char* key) {
    const float limit = static_cast<float>(kMaxCoordinate);
    if (v >= -limit && v <= limit) return v;
    const float held = v < 0 ? -limit : limit;
    logPrintf("%s [%s] \"%s\": %g is out of range; %g taken\n", file, section, key, v, held);
    return held;
}

int iniGetCoordinate(const char* file, const char* section, const char* key) {
    return iniGetIntHeld(file, section, key, -kMaxCoordinate, kMaxCoordinate);
}

Point2i iniGetPoint(const char* file, const char* section, const char* kx, const char* ky) {
    return Point2i(iniGetCoordinate(file, section, kx), iniGetCoordinate(file, section, ky));
}

bool iniReadPoint(Point2i* point, const char* file, const char* section, const char* key) {
    if (!point) return false;
    const bool found = iniReadIntPair(point, file, section, key);
    *point = Point2i(heldCoordinate(point->x, file, section, key),
                     heldCoordinate(point->y, file, section, key));
    return found;
}
