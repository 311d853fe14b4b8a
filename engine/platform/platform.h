// The platform layer: the one window, its messages, presentation, the audio device, the joystick,
// message boxes, the single-instance lock and the few process services the engine needs.
#pragma once

#include <cstdint>

// Window messages in the numbering the window procedure switches on.
constexpr uint32_t WM_SIZE = 5;
constexpr uint32_t WM_CLOSE = 16;
constexpr uint32_t WM_QUIT = 18;
constexpr uint32_t WM_ACTIVATEAPP = 28;
// The display's resolution or arrangement changed.
constexpr uint32_t WM_DISPLAYCHANGE = 126;
// The pointer is over the window's client area (it came back from the frame or from outside).
constexpr uint32_t WM_NCHITTEST = 132;
// The pointer left the client area: it is over the window's frame or outside the window.
constexpr uint32_t WM_NCMOUSEMOVE = 160;
constexpr uint32_t WM_KEYDOWN = 256;
constexpr uint32_t WM_KEYUP = 257;
constexpr uint32_t WM_CHAR = 258;
constexpr uint32_t WM_SYSKEYDOWN = 260;
constexpr uint32_t WM_SYSKEYUP = 261;
constexpr uint32_t WM_MOUSEMOVE = 512;
constexpr uint32_t WM_LBUTTONDOWN = 513;
constexpr uint32_t WM_LBUTTONUP = 514;
constexpr uint32_t WM_LBUTTONDBLCLK = 515;
constexpr uint32_t WM_RBUTTONDOWN = 516;
constexpr uint32_t WM_RBUTTONUP = 517;
constexpr uint32_t WM_RBUTTONDBLCLK = 518;
constexpr uint32_t WM_MBUTTONDOWN = 519;
constexpr uint32_t WM_MBUTTONUP = 520;
constexpr uint32_t WM_MBUTTONDBLCLK = 521;
constexpr uint32_t WM_MOUSEWHEEL = 522;
// A second start of the program asked this one to restore and raise its window.
constexpr uint32_t WM_INSTANCE_RESTORE = 0x8001;

// WM_SIZE wParam values.
constexpr uintptr_t SIZE_RESTORED = 0;
constexpr uintptr_t SIZE_MINIMIZED = 1;

// Button and modifier bits in the wParam of mouse messages.
constexpr uintptr_t MK_LBUTTON = 0x01;
constexpr uintptr_t MK_RBUTTON = 0x02;
constexpr uintptr_t MK_SHIFT = 0x04;
constexpr uintptr_t MK_CONTROL = 0x08;
constexpr uintptr_t MK_MBUTTON = 0x10;

// Key-message lParam layout: repeat count in bits 0-15, scan code in 16-23, extended key in 24,
// Alt held in 29, key was already down in 30, key is being released in 31.
constexpr intptr_t KEYDATA_EXTENDED = 1 << 24;
constexpr intptr_t KEYDATA_ALT = 1 << 29;
constexpr intptr_t KEYDATA_REPEAT = 1 << 30;
constexpr intptr_t KEYDATA_RELEASE = intptr_t(1) << 31;

// One window message. Mouse positions are packed as x in the low and y in the high 16 bits
// (each a signed 16-bit value), in back-buffer pixels.
struct PlatMessage {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

// --- Lifetime ----------------------------------------------------------------------------------

// Starts video, events and (when available) joysticks. False, with a log line, when no video
// driver can start. Calling it again while started does nothing and returns true.
bool platInit();
// Closes the window, the audio device and the joysticks, then stops everything platInit started.
void platDone();
// For a process that is ending from elsewhere (exit() from a library, as the X library does when
// the display goes away): the window is forgotten without a call to the display, which may be
// gone, and platDone then stops only what needs no display. Message boxes go to the log only.
void platAbandonDisplay();

// --- The window --------------------------------------------------------------------------------

// Window positions are those of the outer top-left corner, frame included, on the desktop.

// Opens the one window with a client area of width x height at (x, y), shown, windowed or in
// full screen. The title is UTF-16. False (with a log line) when it fails or a
// window is already open.
bool platWindowOpen(const char16_t* title, int x, int y, int width, int height, bool fullScreen);
void platWindowClose();
bool platWindowIsOpen();
void platWindowSetTitle(const char16_t* title);
void platWindowSetPos(int x, int y);
// The client size used while windowed; in full screen it applies when the window comes back.
void platWindowSetSize(int width, int height);
// Position on the desktop and client size as they are now; all 0 without a window.
void platWindowGetRect(int* x, int* y, int* width, int* height);
void platWindowMinimize();
// Brings a minimised or hidden window back and raises it above the others.
void platWindowRestore();
// Full screen covers the desktop at its own resolution and scales the back buffer to fit;
// leaving it gives the window back its windowed client size.
void platSetFullScreen(bool on);
bool platIsFullScreen();
// The window icon from 32-bit 0xAARRGGBB pixels, rows top to bottom without padding.
void platWindowSetIcon(const uint32_t* pixels, int width, int height);
// Size of the primary desktop in pixels; 0 x 0 before platInit.
void platDesktopSize(int* width, int* height);

// --- Messages ----------------------------------------------------------------------------------

// Takes the next message. With wait, blocks until one arrives; without, returns false at once
// when none waits.
bool platNextMessage(PlatMessage* out, bool wait);
// Queues WM_QUIT.
void platPostQuit();

// --- Cursor ------------------------------------------------------------------------------------

void platShowCursor(bool visible);
// Makes the window's cursor a picture of 32-bit 0xAARRGGBB pixels, rows top to bottom without
// padding, with its hot spot at (hotX, hotY). False (logged) when the system refuses it; the
// cursor shown until then stays.
bool platSetCursorImage(const uint32_t* pixels, int width, int height, int hotX, int hotY);
// Back to the system's standard arrow; the picture cursor is released.
void platSetCursorArrow();
// True when the cursor the system shows now is the window's own (the arrow or the picture last
// set), false when something else replaced it.
bool platCursorIsOwn();
// Moves the pointer to a point in back-buffer pixels of the window's client area.
void platWarpCursor(int x, int y);

// --- Presentation ------------------------------------------------------------------------------

// Shows an RGB565 frame of width x height pixels, rows pitchBytes apart: 1:1 in a window,
// scaled to fit with black bars in full screen. False when there is no window or the renderer
// fails.
bool platPresent(const uint16_t* pixels, int width, int height, int pitchBytes);
// Waits for the vertical blank on every present from now on (when the renderer can).
void platSetVsync(bool on);
// Headless runs only (the dummy video driver): the last presented window contents as RGB565,
// at the window's size, bars included. Null otherwise or before the first present.
const uint16_t* platLastFrame(int* width, int* height);

// --- Audio device ------------------------------------------------------------------------------

// Called on the audio thread for every block the device needs: write frames stereo frames of
// signed 16-bit samples (left, right) into out.
typedef void (*PlatAudioFill)(int16_t* out, int frames);

// Opens the one audio device at 44100 Hz, 16 bits, stereo, paused. False (with a log line) when
// no device opens or one is already open.
bool platAudioOpen(PlatAudioFill fill);
void platAudioPause(bool paused);
// Stops the device; no fill call runs after it returns.
void platAudioClose();

// --- Joystick ----------------------------------------------------------------------------------

// Axis ranges of one joystick; positions run from the minimum to the maximum of each axis.
struct PlatJoyCaps {
    uint32_t xMin, xMax;
    uint32_t yMin, yMax;
    uint32_t zMin, zMax;
    int buttons;
};
// One reading: x, y, z and the button bits (bit 0 is the first button).
struct PlatJoyPos {
    uint32_t x, y, z;
    uint32_t buttons;
};

// Number of joysticks attached.
int platJoyCount();
// The capabilities and current position of joystick id (the id-th attached joystick, opened on
// first use). False when there is no such joystick or it was detached.
bool platJoyGetCaps(int id, PlatJoyCaps* caps);
bool platJoyGetPos(int id, PlatJoyPos* pos);
// Closes every joystick this layer opened.
void platJoyClose();

// --- Message boxes -----------------------------------------------------------------------------

constexpr int MB_OK = 0;
constexpr int MB_OKCANCEL = 1;
constexpr int MB_ICONERROR = 0x10;
constexpr int MB_ICONWARNING = 0x30;
constexpr int MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Writes the box to the log with its caption and text, then shows it modal: the caption both as
// the title and above the text, since window managers cut titles short and without one there is
// no title bar. Flags pick the buttons and the icon. Returns IDOK or IDCANCEL; headless runs and
// boxes that cannot be shown answer IDOK at once.
int platMessageBox(const char16_t* text, const char16_t* caption, int flags);

// --- Single instance ---------------------------------------------------------------------------

enum PlatInstance {
    PLAT_INSTANCE_ERROR = -1,    // no lock could be made in the folder (logged)
    PLAT_INSTANCE_FIRST = 0,     // this process holds the lock until platInstanceRelease
    PLAT_INSTANCE_RESTORED = 1,  // another instance runs and was asked to restore its window
    PLAT_INSTANCE_OTHER = 2,     // another instance runs and could not be asked
};

// Takes the program's lock in the folder (the user folder) or, when another process holds it,
// asks that process to restore its window. The first instance then receives
// WM_INSTANCE_RESTORE through platNextMessage. Needs platInit.
PlatInstance platInstanceAcquire(const char* folder);
void platInstanceRelease();

// --- Process -----------------------------------------------------------------------------------

void platSleep(int milliseconds);
// The current directory as UTF-16, at most size units with the terminator; false when it does
// not fit or cannot be read.
bool platGetCurrentDir(char16_t* buffer, int size);
bool platSetCurrentDir(const char16_t* path);
// The full path of the running program; false when it cannot be told or does not fit.
bool platExecutablePath(char* out, int size);
