// The engine clock over CLOCK_MONOTONIC in whole milliseconds.
#include "engine/platform/timer.h"

#include <cerrno>
#include <ctime>

namespace {
long long gStart = 0;
long long gLast = 0;

long long nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}
}  // namespace

long long timerInit() {
    gStart = gLast = nowMs();
    return gStart;
}

float timerNow() {
    long long d = nowMs() - gStart;
    return static_cast<float>(d < 0 ? 0 : d);
}

float timerElapsed() {
    long long now = nowMs();
    long long d = now - gLast;
    gLast = now;
    // The clock is monotonic, but a frame must never see time run backwards whatever happens.
    return static_cast<float>(d < 0 ? 0 : d);
}

void timerDone() {}

void timerSleep(int milliseconds) {
    if (milliseconds <= 0) return;
    timespec req{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
    timespec rem{};
    while (nanosleep(&req, &rem) != 0 && errno == EINTR) req = rem;
}
