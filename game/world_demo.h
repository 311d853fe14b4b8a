// A walk through the first episode's hotel: the level world's objects, walker, requests and
// walk map on show, opened from the first screen.
#pragma once

#include "game/app.h"

// Left click: walk there, or mend a broken object; B: break something; G: show the walk grid
// and the last path; Escape: leave (Count() becomes 0).
ShellWM* worldDemoCreate();
