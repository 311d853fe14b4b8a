// The engine clock: a monotonic millisecond clock read as floats.
#pragma once

// Starts the clock; returns the current millisecond count of the monotonic clock.
long long timerInit();
// Milliseconds since timerInit.
float timerNow();
// Milliseconds since the previous timerElapsed (or timerInit); never negative. Main thread only:
// every call moves the reference point.
float timerElapsed();
void timerDone();
void timerSleep(int milliseconds);
