// The game's own mouse cursor: pictures from "data/cursor/cursor.ini" drawn at the pointer, with
// an animation that runs all the time, spins after a click, or runs for a while after a click.
#include "core/strings.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/engine.h"
#include "ui/ui_internal.h"

namespace {

constexpr const char* kCursorFile = "data/cursor/cursor.ini";
constexpr int kStepMs = 25;
constexpr int kMaxCursors = 100;

int clampCoord(int64_t v) { return static_cast<int>(v < -65536 ? -65536 : v > 65536 ? 65536 : v); }

cCursorManager* gCursor = nullptr;

}  // namespace

cCursorManager::cCursorManager() {
    for (int i = 0; i < kMaxCursors; ++i) {
        char section[16], spec[kUiFileSize];
        formatString(section, sizeof section, "cursor%02d", i);
        StrCopyN(spec, iniGetString(kCursorFile, section, "spr", ""), sizeof spec);
        if (!*spec) break;
        CursorRecord r;
        r.offsetX = iniGetInt(kCursorFile, section, "offsetX", 0);
        r.offsetY = iniGetInt(kCursorFile, section, "offsetY", 0);
        r.dT = iniGetInt(kCursorFile, section, "dT", 0);
        r.ttl = iniGetInt(kCursorFile, section, "ttl", 0);
        r.sprite = loadSpriteBarSpec(spec);
        records.push_back(r);
    }
}

cCursorManager::~cCursorManager() {
    for (uint32_t i = 0; i < records.size(); ++i) grFreeSprite(records[i].sprite);
}

void cCursorManager::Step(int milliseconds) {
    if (current < 0 || current >= static_cast<int>(records.size())) return;
    const CursorRecord& r = records[static_cast<uint32_t>(current)];
    if (r.dT != 0) {
        clock = uiAdvanceClock(clock, spin);
        spin = spin > 0 ? spin - 1 : 0;
        if (clicked) {
            clicked = 0;
            spin = r.dT;
        }
    } else if (r.ttl != 0) {
        clock = uiAdvanceClock(clock, milliseconds);
        if (runTimer == 0 || clock >= runTimer) clock = runTimer = 0;
        if (clicked) {
            clicked = 0;
            runTimer = r.ttl;
        }
    } else {
        clock = uiAdvanceClock(clock, milliseconds);
    }
}

void cCursorManager::Draw() {
    // With no record at the current index there is no cursor to draw.
    if (!shown || !inside || current < 0 || current >= static_cast<int>(records.size())) return;
    const CursorRecord& r = records[static_cast<uint32_t>(current)];
    grDrawSprite(clampCoord(int64_t(position.x) + r.offsetX), clampCoord(int64_t(position.y) + r.offsetY),
                 r.sprite, clock);
}

void cursorCreate() {
    if (gCursor) return;
    setCursorVisible(0);
    gCursor = new cCursorManager;
}

void cursorDestroy() {
    if (!gCursor) return;
    setCursorVisible(gCursor->shown);
    delete gCursor;
    gCursor = nullptr;
}

cCursorManager* cursorGet() { return gCursor; }

void cursorSet(int flag) {
    if (gCursor)
        gCursor->shown = flag;
    else
        setCursorVisible(flag);
}

bool cursorIsCustom() { return gCursor && gCursor->shown; }

void cursorPointerInside(int inside) {
    if (gCursor) gCursor->inside = inside != 0;
}

void cursorMove(int, intptr_t position) {
    if (gCursor) gCursor->position = Point16(static_cast<int16_t>(uiPackedX(position)),
                                             static_cast<int16_t>(uiPackedY(position)));
}

void cursorClick() {
    if (gCursor) gCursor->clicked = 1;
}

void cursorTick(int milliseconds) {
    if (!gCursor) return;
    // Frames may come faster or slower than the 25 ms the animation counts in: it steps once per
    // whole 25 ms that passed and keeps the rest.
    if (milliseconds > 0) gCursor->pending = uiAdvanceClock(gCursor->pending, milliseconds);
    while (gCursor->pending >= kStepMs) {
        gCursor->Step(kStepMs);
        gCursor->pending -= kStepMs;
    }
    gCursor->Draw();
}

void cursorSelect(int n) {
    if (!gCursor) return;
    gCursor->clock = gCursor->spin = gCursor->clicked = gCursor->runTimer = 0;
    if (n >= 0 && n < static_cast<int>(gCursor->records.size())) gCursor->current = n;
}
