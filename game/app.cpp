// The application shell: what the engine's entry calls at start-up, every frame, for every input
// message and at shut-down.
#include "game/app.h"

#include <vector>

#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "engine/gr/gr.h"
#include "engine/snd/snd.h"
#include "engine/platform/engine.h"
#include "engine/platform/log.h"
#include "engine/platform/platform.h"
#include "engine/platform/timer.h"
#include "game/app_internal.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "game/tutorial.h"
#include "ui/ui.h"

namespace {

constexpr uint32_t kKeyDown = 256;
constexpr uint32_t kKeyUp = 257;
constexpr uint32_t kChar = 258;
constexpr uint32_t kMouseMove = 512;
// The window procedure's word on the pointer, with wParam 3: lParam 1 over the client area, 0 off.
constexpr uint32_t kPointerOver = 0;
constexpr uintptr_t kPointerOverClient = 3;
constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kLeftButton = 1;
// Bit 29 of a key message's data: Alt was held.
constexpr intptr_t kAltHeld = intptr_t(1) << 29;

int gPaused = 0;
// Escape on a screen left empty by a damaged layout ends the program through the one clean stop.
bool gEndAsked = false;
float gAccumulator = 0;
float (*gElapsed)() = timerElapsed;
// When the cursor's animation was last given the time; below 0 before the first frame.
float gCursorLast = -1;
// The game's screens as the program registered them; without them nothing is on show.
void (*gScreensStart)() = nullptr;
void (*gScreensRelease)() = nullptr;

constexpr char kIconFile[] = "Data/Menu/UILogo/icon.tga";

// The window's icon from the bundled picture; black, the transparent key colour, stays clear.
void setWindowIcon() {
    HSPRITE icon = grLoadSprite(kIconFile, nullptr, 0);
    int w = 0, h = 0, pitch = 0, rs = 0, gs = 0, bs = 0, rb = 0, gb = 0, bb = 0;
    const uint16_t* pixels =
        spriteWidth(icon) > 0 ? grLockSpriteEx(icon, &w, &h, &pitch, &rs, &gs, &bs, &rb, &gb, &bb)
                              : nullptr;
    if (pixels && w > 0 && h > 0 && rb > 0 && gb > 0 && bb > 0) {
        std::vector<uint32_t> argb(static_cast<size_t>(w) * h);
        auto widen = [](uint32_t v, int shift, int bits) {
            return ((v >> shift) & ((1u << bits) - 1)) * 255 / ((1u << bits) - 1);
        };
        for (int y = 0; y < h; ++y) {
            const uint16_t* row = reinterpret_cast<const uint16_t*>(
                reinterpret_cast<const char*>(pixels) + static_cast<ptrdiff_t>(y) * pitch);
            for (int x = 0; x < w; ++x) {
                const uint32_t v = row[x];
                argb[static_cast<size_t>(y) * w + x] =
                    (v ? 0xFF000000u : 0) | widen(v, rs, rb) << 16 | widen(v, gs, gb) << 8 |
                    widen(v, bs, bb);
            }
        }
        const WndIcon made = {argb.data(), w, h};
        wndSetIcon(&made, 1);
    } else {
        logPrintf("GameInit: no window icon: %s could not be read\n", kIconFile);
    }
    if (pixels) grUnlockSprite(icon);
    grFreeSprite(icon);
}

// Progress that cannot reach the disk (a full disk, a read-only or foreign user folder) is told
// to the player once a run, at the next frame rather than inside whatever was saving.
bool gUnsavedTold = false;
bool gUnsavedPending = false;
bool gFolderReadOnly = false;

void noteSaveFailed(const char*) {
    if (!gUnsavedTold) gUnsavedPending = true;
}

void tellUnsaved() {
    if (!gUnsavedPending || gUnsavedTold) return;
    gUnsavedPending = false;
    gUnsavedTold = true;
    char folder[1024], text[1536];
    getUserFolder(folder, sizeof folder);
    if (gFolderReadOnly) {
        formatString(text, sizeof text,
                     "The folder %s cannot be written: it is read-only, belongs to another "
                     "user or could not be made. Your players are read from there, but the "
                     "progress you make now cannot be saved.",
                     folder);
    } else {
        formatString(text, sizeof text,
                     "Your progress could not be saved into the folder %s: the disk may be full "
                     "or the folder read-only. The game keeps it and tries again at every save "
                     "and when it ends; free some space so that it can be written.",
                     folder);
    }
    errorBox(text, "Velmora: progress not saved", MB_OK | MB_ICONWARNING);
}

// A screen left without any widget of its own that the player can see, by its damaged layout: a
// widget of no size (its section was missing) and the shared pictures other screens lend it
// (windows themselves) do not count.
bool offersNothing(Window* screen) {
    for (int i = 0; i < screen->childCount(); ++i) {
        UIWnd* child = screen->children[i];
        if (dynamic_cast<Window*>(child) || child->hidden() || !child->xs || !child->ys) continue;
        return false;
    }
    return true;
}

}  // namespace

void appSetPaused(int paused) { gPaused = paused; }

int appIsPaused() { return gPaused; }

void appSetClock(float (*elapsed)()) { gElapsed = elapsed ? elapsed : timerElapsed; }

void appResetFrame() { gAccumulator = 0; }

void appSetScreens(void (*start)(), void (*release)()) {
    gScreensStart = start;
    gScreensRelease = release;
}

void GameInit() {
    gEndAsked = false;
    gUnsavedTold = false;
    gFolderReadOnly = !userFolderWritable();
    gUnsavedPending = gFolderReadOnly;
    iniSetSaveFailedHook(noteSaveFailed);
    setWindowIcon();
    // The size the engine settled on from the settings, damaged values already passed over.
    int xs = 0, ys = 0;
    wndGetStartSize(&xs, &ys);
    grInit(xs, ys, 32, wndIsFullScreen());
    sndInit(nullptr);
    sndLoadScript("Data/Sounds/sounds.ini");
    sndLoadScript("Data/Sounds/music.ini");
    WM::Create();
    // Before any screen: a screen that picks or hides the cursor as it is built finds it there.
    cursorCreate();
    cursorSet(1);
    LoadWayPoints();
    LoadSchoolItems();
    // Without screens nothing is on show, and the first frame ends the program.
    if (gScreensStart) {
        gScreensStart();
    } else {
        logPrintf("shell: no screens are registered; nothing to show\n");
    }
}

int GameFrame() {
    tellUnsaved();
    WM* wm = WM::Get();
    if (!wm || wm->Count() == 0 || gEndAsked) return 1;
    if (!gPaused) {
        float elapsed = gElapsed();
        if (elapsed > kMaxCatchUpMs) elapsed = kMaxCatchUpMs;
        gAccumulator += elapsed;
        while (gAccumulator >= 0) {
            wm->Update(kUpdateStepMs);
            gAccumulator -= kUpdateStepMs;
        }
    }
    grBeginFrame();
    wm->Render();
    // The cursor animates by the time that really passed, also while paused.
    const float now = timerNow();
    cursorTick(gCursorLast < 0 ? 0 : static_cast<int>(now - gCursorLast));
    gCursorLast = now;
    grPresent();
    return 0;
}

void GameOnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    WM* wm = WM::Get();
    if (!wm) return;
    int code = static_cast<int>(wParam);
    switch (message) {
    case kKeyDown:
        if (code == kEnter && (lParam & kAltHeld)) {
            int w = 0, h = 0, bits = 0, full = 0;
            grGetMode(&w, &h, &bits, &full);
            grInit(w, h, bits, !full);
            return;
        }
        if (code == kEscape) {
            Window* top = wm->Top();
            if (top && top->layoutDamaged && offersNothing(top)) {
                logPrintf("GameOnMessage: Escape on a screen with nothing on it: the game ends\n");
                gEndAsked = true;
                return;
            }
        }
        wm->OnKeyDown(code, lParam);
        break;
    case kKeyUp:
        if (code == kLeftButton) cursorClick();
        wm->OnKeyUp(code, lParam);
        break;
    case kChar: wm->OnChar(code, lParam); break;
    case kMouseMove:
        wm->OnMouseMove(code, lParam);
        cursorMove(code, lParam);
        break;
    case kPointerOver:
        // Off the client area the system's cursor shows, so the game's is not drawn there.
        if (wParam == kPointerOverClient) cursorPointerInside(lParam != 0);
        break;
    default: break;
    }
}

void GameShutdown() {
    WM::Destroy();
    sndStopGroup(1);
    sndStopGroup(0);
    if (gScreensRelease) gScreensRelease();
    ReleasePlayer();
    FreeGameData();
    gWayPoints.clear();
    cTutorial::Free();
    cursorDestroy();
    gCursorLast = -1;
    sndUnloadScript("Data/Sounds/sounds.ini");
    sndUnloadScript("Data/Sounds/music.ini");
    sndStopMusicNow();
    sndDone();
    // The last try for what could not be saved during the run; a failure now is still told.
    iniFreeAll();
    tellUnsaved();
    iniSetSaveFailedHook(nullptr);
    grDone();
    engineDone();
}
