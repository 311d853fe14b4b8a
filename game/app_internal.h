// Private: seams through which tests drive the shell's frame with a clock of their own.
#pragma once

// The source of the time since the previous frame; null puts back timerElapsed.
void appSetClock(float (*elapsed)());
// Starts the fixed-step accumulator afresh, as at the program's start.
void appResetFrame();
