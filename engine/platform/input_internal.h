// Private: the joystick's change detection, apart from any device so that it can be tried out.
#pragma once

#include "engine/platform/input.h"
#include "engine/platform/platform.h"

// Sends to sink the key messages for the change from previous to current, each axis judged
// against the middle of its own range.
void joySendChanges(const PlatJoyCaps& caps, const PlatJoyPos& previous, const PlatJoyPos& current,
                    InputSink sink);
