// The display: the RGB565 back buffer in memory, the window it is shown in (windowed 1:1 or full
// screen scaled to fit), presenting once per frame, and closing with every sprite freed.
#include "engine/gr/display.h"

#include "engine/data/ini.h"
#include "engine/gr/registry.h"
#include "engine/platform/engine.h"
#include "engine/platform/log.h"
#include "engine/platform/platform.h"

namespace {

constexpr int kSystemMemory = 0x800;
constexpr int kMaxSide = 32767;  // sprite sizes are 16-bit

struct Display {
    bool open = false;  // set up and not closed since
    CSpriteExt* backBuffer = nullptr;
    int sync = 0;
    int bitsPerPixel = 0;
    int fullScreen = 0;
};

Display gDisplay;

// The engine reads "log" once at its start; the display only asks.
int logEnabled() { return engineLog(); }

// Leaves the display as if grInit had never run (the back buffer goes with its registry entry).
void dropBackBuffer() {
    CSpriteExt* back = gDisplay.backBuffer;
    gDisplay.backBuffer = nullptr;
    grSetTarget(nullptr);
    gDisplay.open = false;
    if (back) {
        grRegistryRemove(back);
        delete back;
    }
}

}  // namespace

CSpriteExt* grBackBuffer() { return gDisplay.backBuffer; }

int grInit(int width, int height, int bitsPerPixel, int fullScreen) {
    fullScreen = fullScreen ? 1 : 0;
    CSpriteExt* back = gDisplay.backBuffer;
    if (back && back->width == width && back->height == height &&
        bitsPerPixel == gDisplay.bitsPerPixel && fullScreen == gDisplay.fullScreen)
        return 0;
    gDisplay.sync = iniGetInt("game.ini", "main", "sync", 0);
    if (!platWindowIsOpen()) {
        logPrintf("grInit: no window to show the display in\n");
        errorBox("Window did't create!", "You should put GAME.INI into the projects directory",
                 MB_OK | MB_ICONERROR);
        return -1;
    }
    if (!back) {
        if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
            logPrintf("grInit: no back buffer of %dx%d\n", width, height);
            return -1;
        }
        back = new CSpriteExt;
        if (!grRegistryAdd(back)) {
            delete back;
            return -1;
        }
        gDisplay.backBuffer = back;
    }
    wndSetFullScreenFlag(fullScreen);
    grSetWindowMode(width, height, fullScreen);
    gDisplay.open = true;
    gDisplay.bitsPerPixel = bitsPerPixel;
    // Full screen covers the desktop at its own mode: there is no mode to set or to fall back
    // from. The renderer waits for the vertical blank only there.
    platSetVsync(gDisplay.sync != 0 && fullScreen);
    if (!back->surface) {
        back->surface = grCreateSurface(width, height, kSystemMemory);
        if (!back->surface) {
            logPrintf("grInit: no memory for a %dx%d back buffer\n", width, height);
            dropBackBuffer();
            return -1;
        }
        back->width = static_cast<int16_t>(width);
        back->height = static_cast<int16_t>(height);
        back->fullHeight = back->height;
        back->pitch = static_cast<uint16_t>(back->surface->pitch);
        back->clipX0 = back->clipY0 = 0;
        back->clipX1 = back->width;
        back->clipY1 = back->height;
        grSetTarget(back);
    }
    gDisplay.fullScreen = fullScreen;
    // The loop paces idle frames itself unless presenting already waits for the screen.
    wndSetPresentWaits(grWaitsForVsync());
    return 0;
}

void grDone() {
    if (!gDisplay.open) return;
    const int log = logEnabled();
    CSpriteExt* back = gDisplay.backBuffer;
    gDisplay.backBuffer = nullptr;
    for (int i = grRegistrySize() - 1; i >= 0; --i) {
        CSpriteExt* sprite = grRegistryAt(i);
        if (!sprite) continue;
        if (sprite != back && log) logPrintf("grDone() : %s\n", sprite->imageFile);
        sprite->refWord = (sprite->refWord & 1u) | 2u;
        grFreeSprite(sprite);
    }
    grRegistryClear();
    gDisplay.open = false;
    wndSetPresentWaits(0);
}

int grIsInited() { return gDisplay.open ? 1 : 0; }

int grWaitsForVsync() {
    return gDisplay.open && gDisplay.sync != 0 && gDisplay.fullScreen && platIsFullScreen();
}

// The draw target's slot is the back buffer's: whatever grSetTarget put there is what the
// display reports and presents.
void grGetMode(int* width, int* height, int* bitsPerPixel, int* fullScreen) {
    const CSprite* back = gDisplay.open ? grScreen() : nullptr;
    if (width) *width = back ? back->width : 0;
    if (height) *height = back ? back->height : 0;
    if (bitsPerPixel) *bitsPerPixel = back ? gDisplay.bitsPerPixel : 0;
    if (fullScreen) *fullScreen = back ? gDisplay.fullScreen : 0;
}

void grBeginFrame() {}

void grSetWindowMode(int width, int height, int fullScreen) {
    if (!platWindowIsOpen()) return;
    const bool wasFull = platIsFullScreen();
    if ((fullScreen != 0) != wasFull) platSetFullScreen(fullScreen != 0);
    // In full screen this is the size the window gets back when it leaves.
    platWindowSetSize(width, height);
    if (!fullScreen && wasFull) {
        int desktopWidth = 0, desktopHeight = 0;
        platDesktopSize(&desktopWidth, &desktopHeight);
        platWindowSetPos((desktopWidth - width) / 2, (desktopHeight - height) / 2);
    }
}

void grPresent() {
    CSprite* back = gDisplay.open ? grScreen() : nullptr;
    if (!back) return;
    if (!platIsFullScreen()) {
        int clientWidth = 0, clientHeight = 0;
        platWindowGetRect(nullptr, nullptr, &clientWidth, &clientHeight);
        if (clientWidth != back->width || clientHeight != back->height)
            grSetWindowMode(back->width, back->height, gDisplay.fullScreen);
    }
    if (back->surface) {
        if (back->surface->locked) grUnlockSpriteObj(back);
        platPresent(back->surface->pixels, back->width, back->height, back->surface->pitch);
    } else if (back->pixels) {
        platPresent(back->pixels, back->width, back->height, back->pitch);
    }
}

void grCacheSprite() {
    if (logEnabled()) logPrintf("--------- grCacheSprite() ---------\n");
}

void grCacheFree() {
    if (logEnabled()) logPrintf("--------- grCacheFree() ---------\n");
}

// --- Result names ------------------------------------------------------------------------------

namespace {

struct ErrorName {
    uint32_t code;
    const char* name;
};

constexpr uint32_t dd(uint32_t n) { return 0x88760000u | n; }

const ErrorName kErrorNames[] = {
    {0, "DD_OK"},
    {0x80004005u, "DDERR_GENERIC"},
    {0x80004001u, "DDERR_UNSUPPORTED"},
    {0x800401F0u, "DDERR_NOTINITIALIZED"},
    {0x8007000Eu, "DDERR_OUTOFMEMORY"},
    {0x80070057u, "DDERR_INVALIDPARAMS"},
    {dd(5), "DDERR_ALREADYINITIALIZED"},
    {dd(10), "DDERR_CANNOTATTACHSURFACE"},
    {dd(20), "DDERR_CANNOTDETACHSURFACE"},
    {dd(40), "DDERR_CURRENTLYNOTAVAIL"},
    {dd(55), "DDERR_EXCEPTION"},
    {dd(90), "DDERR_HEIGHTALIGN"},
    {dd(95), "DDERR_INCOMPATIBLEPRIMARY"},
    {dd(100), "DDERR_INVALIDCAPS"},
    {dd(110), "DDERR_INVALIDCLIPLIST"},
    {dd(120), "DDERR_INVALIDMODE"},
    {dd(130), "DDERR_INVALIDOBJECT"},
    {dd(145), "DDERR_INVALIDPIXELFORMAT"},
    {dd(150), "DDERR_INVALIDRECT"},
    {dd(160), "DDERR_LOCKEDSURFACES"},
    {dd(170), "DDERR_NO3D"},
    {dd(180), "DDERR_NOALPHAHW"},
    {dd(205), "DDERR_NOCLIPLIST"},
    {dd(210), "DDERR_NOCOLORCONVHW"},
    {dd(212), "DDERR_NOCOOPERATIVELEVELSET"},
    {dd(215), "DDERR_NOCOLORKEY"},
    {dd(220), "DDERR_NOCOLORKEYHW"},
    {dd(222), "DDERR_NODIRECTDRAWSUPPORT"},
    {dd(225), "DDERR_NOEXCLUSIVEMODE"},
    {dd(230), "DDERR_NOFLIPHW"},
    {dd(240), "DDERR_NOGDI"},
    {dd(250), "DDERR_NOMIRRORHW"},
    {dd(255), "DDERR_NOTFOUND"},
    {dd(260), "DDERR_NOOVERLAYHW"},
    {dd(270), "DDERR_OVERLAPPINGRECTS"},
    {dd(280), "DDERR_NORASTEROPHW"},
    {dd(290), "DDERR_NOROTATIONHW"},
    {dd(310), "DDERR_NOSTRETCHHW"},
    {dd(316), "DDERR_NOT4BITCOLOR"},
    {dd(317), "DDERR_NOT4BITCOLORINDEX"},
    {dd(320), "DDERR_NOT8BITCOLOR"},
    {dd(330), "DDERR_NOTEXTUREHW"},
    {dd(335), "DDERR_NOVSYNCHW"},
    {dd(340), "DDERR_NOZBUFFERHW"},
    {dd(350), "DDERR_NOZOVERLAYHW"},
    {dd(360), "DDERR_OUTOFCAPS"},
    {dd(380), "DDERR_OUTOFVIDEOMEMORY"},
    {dd(382), "DDERR_OVERLAYCANTCLIP"},
    {dd(384), "DDERR_OVERLAYCOLORKEYONLYONEACTIVE"},
    {dd(387), "DDERR_PALETTEBUSY"},
    {dd(400), "DDERR_COLORKEYNOTSET"},
    {dd(410), "DDERR_SURFACEALREADYATTACHED"},
    {dd(420), "DDERR_SURFACEALREADYDEPENDENT"},
    {dd(430), "DDERR_SURFACEBUSY"},
    {dd(435), "DDERR_CANTLOCKSURFACE"},
    {dd(440), "DDERR_SURFACEISOBSCURED"},
    {dd(450), "DDERR_SURFACELOST"},
    {dd(460), "DDERR_SURFACENOTATTACHED"},
    {dd(470), "DDERR_TOOBIGHEIGHT"},
    {dd(480), "DDERR_TOOBIGSIZE"},
    {dd(490), "DDERR_TOOBIGWIDTH"},
    {dd(510), "DDERR_UNSUPPORTEDFORMAT"},
    {dd(520), "DDERR_UNSUPPORTEDMASK"},
    {dd(521), "DDERR_INVALIDSTREAM"},
    {dd(537), "DDERR_VERTICALBLANKINPROGRESS"},
    {dd(540), "DDERR_WASSTILLDRAWING"},
    {dd(542), "DDERR_DDSCAPSCOMPLEXREQUIRED"},
    {dd(560), "DDERR_XALIGN"},
    {dd(561), "DDERR_INVALIDDIRECTDRAWGUID"},
    {dd(562), "DDERR_DIRECTDRAWALREADYCREATED"},
    {dd(563), "DDERR_NODIRECTDRAWHW"},
    {dd(564), "DDERR_PRIMARYSURFACEALREADYEXISTS"},
    {dd(565), "DDERR_NOEMULATION"},
    {dd(566), "DDERR_REGIONTOOSMALL"},
    {dd(567), "DDERR_CLIPPERISUSINGHWND"},
    {dd(568), "DDERR_NOCLIPPERATTACHED"},
    {dd(569), "DDERR_NOHWND"},
    {dd(570), "DDERR_HWNDSUBCLASSED"},
    {dd(571), "DDERR_HWNDALREADYSET"},
    {dd(572), "DDERR_NOPALETTEATTACHED"},
    {dd(573), "DDERR_NOPALETTEHW"},
    {dd(574), "DDERR_BLTFASTCANTCLIP"},
    {dd(575), "DDERR_NOBLTHW"},
    {dd(576), "DDERR_NODDROPSHW"},
    {dd(577), "DDERR_OVERLAYNOTVISIBLE"},
    {dd(578), "DDERR_NOOVERLAYDEST"},
    {dd(579), "DDERR_INVALIDPOSITION"},
    {dd(580), "DDERR_NOTAOVERLAYSURFACE"},
    {dd(581), "DDERR_EXCLUSIVEMODEALREADYSET"},
    {dd(582), "DDERR_NOTFLIPPABLE"},
    {dd(583), "DDERR_CANTDUPLICATE"},
    {dd(584), "DDERR_NOTLOCKED"},
    {dd(585), "DDERR_CANTCREATEDC"},
    {dd(586), "DDERR_NODC"},
    {dd(587), "DDERR_WRONGMODE"},
    {dd(588), "DDERR_IMPLICITLYCREATED"},
    {dd(589), "DDERR_NOTPALETTIZED"},
    {dd(590), "DDERR_UNSUPPORTEDMODE"},
    {dd(591), "DDERR_NOMIPMAPHW"},
    {dd(592), "DDERR_INVALIDSURFACETYPE"},
    {dd(600), "DDERR_NOOPTIMIZEHW"},
    {dd(601), "DDERR_NOTLOADED"},
    {dd(602), "DDERR_NOFOCUSWINDOW"},
    {dd(620), "DDERR_DCALREADYCREATED"},
    {dd(630), "DDERR_NONONLOCALVIDMEM"},
    {dd(640), "DDERR_CANTPAGELOCK"},
    {dd(660), "DDERR_CANTPAGEUNLOCK"},
    {dd(680), "DDERR_NOTPAGELOCKED"},
};

}  // namespace

const char* grErrorName(uint32_t code) {
    for (const ErrorName& entry : kErrorNames)
        if (entry.code == code) return entry.name;
    return "not found";
}
