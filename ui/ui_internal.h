// Private: what the widget files share, and the seams through which tests watch the state sounds
// and put a window manager of their own in place.
#pragma once

#include "ui/ui.h"

// Every state sound goes to hook instead of the sound engine while one is set; null puts the
// sound engine back.
void uiSetSoundHook(void (*hook)(const char* name));
void uiPlaySound(const char* name);

// Makes wm the one window manager (the one before is deleted, without hiding its windows).
void wmInstall(WM* wm);

// The state's sprite, or null for a state out of range.
HSPRITE uiStateSprite(const UIWnd* widget, int index);
// One more reference to the font (null stays null), for a widget that shares it.
CGraphFont* uiShareFont(CGraphFont* font);

// Tells the player once per file, in a box naming it, that a screen layout is missing or damaged
// (why: "is missing", "holds values out of range", ...).
void reportDamagedLayout(const char* file, const char* why);

// A layout number the widget keeps in a field from lo to hi. A value beyond it cannot be meant
// (cut to the field, 2147483648 would land at -1; "1e308" would read as 1): it is held to the
// nearest end (a text that is no number at all to 0), logged naming file, section and key, and
// the layout is reported as damaged.
int layoutNumber(const char* file, const char* section, const char* key, int lo, int hi);

// True when the widget's child list has room for one more; else logs that who refused the child.
bool uiRoomForChild(const UIWnd* widget, const UIWnd* child, const char* who);

// A clock moved on by delta that stays a non-negative 32-bit value, wrapping instead of
// overflowing, whatever the numbers and however long the program runs.
int32_t uiAdvanceClock(int32_t clock, int64_t delta);
