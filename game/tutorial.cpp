// The tutorial's hints: read from Data/Tutorial/Tutorial.ini with the player's shown marks, placed
// beside their spot, drawn over a darkened level and closed by a click on the spot.
#include "game/tutorial.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "game/profile.h"
#include "world/links.h"

cTutorial* gTutorial = nullptr;
cTutorialHint* gOpenHint = nullptr;

namespace {

constexpr int kSectionListSize = 10240;
constexpr const char* kReserved[] = {"Main", "CheckBox", "Frame", "TextWnd", "Bounds"};
// Hint texts break into lines at this marker.
constexpr char16_t kLineBreak[] = u"<>";
constexpr int kMaxLineUnits = 143;
// The darkness leaves this much room around the spot.
constexpr int kSpotMargin = 20;
constexpr uint32_t kShadeColour = 0xAAFFFFFFu;
// The arrow turns to the spot's left side when the right one is this close to the edge.
constexpr int kArrowTurn = 100;
constexpr int kArrowRise = 20;
constexpr int kCheckBoxTextGap = 10;

bool reserved(const char* section) {
    for (const char* name : kReserved)
        if (strCmpNoCase(section, name) == 0) return true;
    return false;
}

Point2i readPair(const char* file, const char* section, const char* key) {
    Point2i p(0, 0);
    iniReadIntPair(&p, file, section, key);
    return p;
}

void displaySize(int* w, int* h) {
    int bits = 0, full = 0;
    grGetMode(w, h, &bits, &full);
}

void stretch(HSPRITE sprite, int x, int y, int w, int h) {
    grDraw(sMaterial(4, 4, 1, 30), x, y, w, h, sprite, 0, 0, spriteWidth(sprite),
           spriteHeight(sprite), kShadeColour, 0);
}

}  // namespace

// --- The check box -------------------------------------------------------------------------------

cTutorialCheckBox::~cTutorialCheckBox() {
    spriteFree(&offSprite);
    spriteFree(&onSprite);
    fontFree(&font);
}

void cTutorialCheckBox::Load(const char* file, const char* section) {
    spriteFree(&offSprite);
    spriteFree(&onSprite);
    fontFree(&font);
    offSprite = iniReadAnimSprite(file, section, "normal");
    onSprite = iniReadAnimSprite(file, section, "checked");
    pos = readPair(file, section, "pos");
    size = readPair(file, section, "size");
    const char16_t* t = iniGetText(file, section, "text");
    text = t ? t : u"";
    font = iniReadFont(file, section, "font");
}

void cTutorialCheckBox::Draw() {
    if (HSPRITE s = isChecked ? onSprite : offSprite) grDrawSprite(pos.x, pos.y, s, 0);
    if (!text.empty() && font)
        grDrawText(font, pos.x + size.x + kCheckBoxTextGap, pos.y + size.y / 2, text.c_str(), 0, -1,
                   0);
}

bool cTutorialCheckBox::Contains(int px, int py) const {
    return px >= pos.x && px <= pos.x + size.x && py >= pos.y && py <= pos.y + size.y;
}

// --- Loading -------------------------------------------------------------------------------------

cTutorial::cTutorial() = default;

cTutorial::~cTutorial() {
    spriteFree(&back);
    spriteFree(&spot);
    spriteFree(&arrow);
    spriteFree(&picture);
    fontFree(&font);
}

void cTutorial::Free() {
    delete gTutorial;
    gTutorial = nullptr;
    gOpenHint = nullptr;
    worldSetTutorialHook(nullptr);
}

void cTutorial::Load(const char* path) {
    if (!path || !*path) return;
    Free();
    gTutorial = new cTutorial;
    cTutorial& t = *gTutorial;
    // The level world marks hints done when the player already did what they explain.
    worldSetTutorialHook(tutorialMarkShown);

    char* sections = new char[kSectionListSize];
    iniGetSections(path, sections, kSectionListSize);
    t.hints.clear();
    if (gCurrentProfile) profileSelect(gCurrentProfile->GetName());
    for (const char* s = sections; *s; s += std::strlen(s) + 1) {
        if (reserved(s)) continue;
        cTutorialHint hint;
        hint.name = CString(s);
        const char16_t* text = iniGetText(path, s, "text");
        hint.text = text ? text : u"";
        int shown = 0;
        if (gCurrentProfile) profileGetInt("tutorial", s, &shown, -1048575, 1048575, 0);
        hint.shown = shown != 0;
        t.hints.Set(hint.name, hint);
    }
    delete[] sections;

    t.back = iniReadAnimSprite(path, "Main", "back");
    t.spot = iniReadAnimSprite(path, "Main", "spot");
    t.arrow = iniReadAnimSprite(path, "Main", "arrow");
    t.picture = iniReadAnimSprite(path, "Main", "zuna");
    t.font = iniReadFont(path, "Main", "font");
    t.textOffset = readPair(path, "Main", "textOffset");
    t.bound = readPair(path, "Main", "bound");
    t.frame.Load(path, "Frame");
    t.checkBox.Load(path, "CheckBox");
    t.checkBox.isChecked = gCurrentProfile && gCurrentProfile->IsTutorialOn();
    t.textWnd.Load(path, "TextWnd");
    t.picturePos = readPair(path, "Main", "zuna_pos");
    t.checkBoxPos = readPair(path, "Main", "cb_pos");
    t.boundsTopLeft = readPair(path, "Bounds", "topLeft");
    t.boundsBottomRight = readPair(path, "Bounds", "bottomRight");
    t.spotR = iniGetInt(path, "Bounds", "spotR", 0);
}

// --- Shown marks ---------------------------------------------------------------------------------

cTutorialHint* cTutorial::FindHint(const char* name) const {
    return name ? hints.FindValue(CString(name)) : nullptr;
}

bool cTutorial::WasShown(const char* name) const {
    if (!gCurrentProfile || !gCurrentProfile->IsTutorialOn()) return true;
    const cTutorialHint* hint = FindHint(name);
    return !hint || hint->shown;
}

void cTutorial::MarkShown(const char* name) {
    if (!gCurrentProfile || !gCurrentProfile->IsTutorialOn()) return;
    cTutorialHint* hint = FindHint(name);
    if (!hint || hint->shown) return;
    profileSelect(gCurrentProfile->GetName());
    profileSetInt("tutorial", name, 1);
    hint->shown = true;
}

void tutorialMarkShown(const char* name) {
    if (gTutorial) gTutorial->MarkShown(name);
}

// --- Opening -------------------------------------------------------------------------------------

void cTutorial::measure(cTutorialHint& hint) const {
    Point2i size(0, 0);
    const char16_t* line = hint.text.c_str();
    for (;;) {
        const char16_t* end = wstrFind(line, kLineBreak);
        int n = end ? static_cast<int>(end - line) : static_cast<int>(wstrLen(line));
        if (n > kMaxLineUnits) n = kMaxLineUnits;
        size.y += 2 * grFontSpaceWidth(font);
        const int w = font ? grTextWidth(font, line, n) : 0;
        if (w > size.x) size.x = w;
        if (!end) break;
        line = end + 2;
    }
    hint.textSize = size;
}

void cTutorial::placeFrame(Point2i pos, Point2i size) {
    int W = 0, H = 0;
    displaySize(&W, &H);
    const int fw = frame.xs, fh = frame.ys;
    const Point2i L = boundsTopLeft, R = boundsBottomRight;
    const int cx = pos.x + size.x / 2, cy = pos.y + size.y / 2;
    const int roomLeft = cx - L.x, roomRight = W - cx - R.x;
    const int roomAbove = cy - L.y, roomBelow = H - cy - R.y;
    const int dx = roomLeft > roomRight ? -1 : 1;
    const int dy = roomAbove > roomBelow ? -1 : 1;
    double px = cx + (size.x / 2 + spotR) * dx;
    double py = cy + (size.y / 2 + spotR) * dy;
    if (dx < 0) px -= fw;
    if (dy < 0) py -= fh;
    // Where the spot stands between the margins; margins that leave no room count as the middle.
    const int spanX = W - L.x - R.x, spanY = H - L.y - R.y;
    double fx = (spanX != 0 ? double(roomLeft) / spanX : 0.5) * dx;
    double fy = (spanY != 0 ? double(roomAbove) / spanY : 0.5) * dy;
    if (std::fabs(fy) <= std::fabs(fx))
        fx = 0;
    else
        fy = 0;
    px -= fx * fw;
    py -= fy * fh;
    if (px + fw > W - R.x) px = W - R.x - fw;
    if (py + fh > H - R.y) py = H - R.y - fh;
    if (px < L.x) px = L.x;
    if (py < L.y) py = L.y;
    frame.x = static_cast<int16_t>(static_cast<int>(px));
    frame.y = static_cast<int16_t>(static_cast<int>(py));
}

void cTutorial::keepFrameClear(int W, int H) {
    const int fw = frame.xs, fh = frame.ys;
    const int l = spotPos.x - kSpotMargin, t = spotPos.y - kSpotMargin;
    const int r = l + spotSize.x + 2 * kSpotMargin, b = t + spotSize.y + 2 * kSpotMargin;
    const int aw = arrow ? spriteWidth(arrow) : 0, ah = arrow ? spriteHeight(arrow) : 0;
    const bool turned = r >= W - kArrowTurn;
    const int ax = turned ? l - aw : r, ay = spotPos.y + spotSize.y / 2 - kArrowRise;
    auto meets = [&](int x, int y, int x0, int y0, int x1, int y1) {
        return x < x1 && x0 < x + fw && y < y1 && y0 < y + fh;
    };
    auto clear = [&](int x, int y) {
        return !meets(x, y, l, t, r, b) && !(aw > 0 && meets(x, y, ax, ay, ax + aw, ay + ah));
    };
    if (clear(frame.x, frame.y)) return;
    // The diagonal place covers what the hint points at, or its own arrow: the frame goes under,
    // over, right or left of both instead, the first of these that the screen holds.
    const Point2i L = boundsTopLeft, R = boundsBottomRight;
    auto fits = [&](int x, int y) { return x >= L.x && y >= L.y && x + fw <= W - R.x && y + fh <= H - R.y; };
    auto slide = [](int v, int lo, int hi) { return hi < lo ? lo : std::min(std::max(v, lo), hi); };
    const int cx = slide((l + r) / 2 - fw / 2, L.x, W - R.x - fw);
    const int cy = slide((t + b) / 2 - fh / 2, L.y, H - R.y - fh);
    const int right = aw > 0 && !turned ? std::max(r, ax + aw) : r;
    const int left = aw > 0 && turned ? std::min(l, ax) : l;
    const int bottom = aw > 0 ? std::max(b, ay + ah) : b, top = aw > 0 ? std::min(t, ay) : t;
    // First the same side as before, only pushed off, then under, over, and beside at mid-height.
    const bool wasLeft = frame.x + fw / 2 < (l + r) / 2;
    const int beside = wasLeft ? left - spotR - fw : right + spotR;
    const int other = wasLeft ? right + spotR : left - spotR - fw;
    const Point2i places[] = {{beside, frame.y}, {cx, bottom + spotR}, {cx, top - spotR - fh},
                              {beside, cy}, {other, cy}};
    for (const Point2i& p : places)
        if (fits(p.x, p.y) && clear(p.x, p.y)) {
            frame.x = static_cast<int16_t>(p.x);
            frame.y = static_cast<int16_t>(p.y);
            return;
        }
}

bool cTutorial::Show(const char* name, Point2i pos, Point2i size) {
    cTutorialHint* hint = FindHint(name);
    if (!hint || hint == gOpenHint) return false;
    int W = 0, H = 0;
    displaySize(&W, &H);
    if (pos.x + size.x < 0 || pos.y + size.y < 0 || pos.x >= W || pos.y >= H) {
        if (!hint->offScreenTold)
            logPrintf("Tutorial: hint %s left closed: its spot (%d, %d) lies off the screen\n",
                      name, pos.x, pos.y);
        hint->offScreenTold = true;
        return false;
    }
    gOpenHint = hint;
    spotPos = pos;
    spotSize = size;
    measure(*hint);
    frame.xs = static_cast<int16_t>(spriteWidth(picture) + hint->textSize.x + bound.x);
    frame.ys = static_cast<int16_t>(std::max(spriteHeight(picture), hint->textSize.y) +
                                    checkBox.size.y + bound.y);
    placeFrame(pos, size);
    keepFrameClear(W, H);
    textWnd.x = static_cast<int16_t>(frame.x + picturePos.x + textOffset.x + spriteWidth(picture));
    textWnd.y = static_cast<int16_t>(frame.y + textOffset.y);
    textWnd.xs = static_cast<int16_t>(hint->textSize.x);
    textWnd.ys = static_cast<int16_t>(hint->textSize.y);
    textWnd.SetTextW(hint->text.c_str());
    checkBox.pos = Point2i(frame.x + checkBoxPos.x, frame.y + frame.ys + checkBoxPos.y);
    circleSpot = 0;
    return true;
}

bool cTutorial::ShowAt(const char* name, Point2i centre, int radius) {
    if (!Show(name, Point2i(centre.x - radius, centre.y - radius), Point2i(2 * radius, 2 * radius)))
        return false;
    circleSpot = 1;
    return true;
}

// --- Drawing and clicks --------------------------------------------------------------------------

void cTutorial::Draw() {
    int W = 0, H = 0;
    displaySize(&W, &H);
    const int l = spotPos.x - kSpotMargin, t = spotPos.y - kSpotMargin;
    const int r = l + spotSize.x + 2 * kSpotMargin, b = t + spotSize.y + 2 * kSpotMargin;
    if (back) {
        if (t > 0) stretch(back, 0, 0, W, t);
        if (b < H) stretch(back, 0, b, W, H - b);
        if (l > 0) stretch(back, 0, t, l, b - t);
        if (r < W) stretch(back, r, t, W - r, b - t);
    }
    if (spot) stretch(spot, l, t, r - l, b - t);
    frame.Draw();
    if (picture) grDrawSprite(frame.x + picturePos.x, frame.y + frame.ys + picturePos.y, picture, 0);
    checkBox.Draw();
    textWnd.Draw();
    if (arrow) {
        const int aw = spriteWidth(arrow), ah = spriteHeight(arrow);
        const int ay = spotPos.y + spotSize.y / 2 - kArrowRise;
        const bool turned = r >= W - kArrowTurn;
        grDraw(sMaterial(4, 4, 1, 30), turned ? l - aw : r, ay, turned ? -aw : aw, ah, arrow, 0, 0,
               aw, ah, 0xFFFFFFFFu, clock);
    }
}

void cTutorial::OnMouseDown(int button, intptr_t position) {
    if (button != kUiLeftButton || !gOpenHint) return;
    const int px = uiPackedX(position), py = uiPackedY(position);
    if (checkBox.Contains(px, py)) checkBox.isChecked = !checkBox.isChecked;
    bool inside;
    if (circleSpot) {
        const int64_t radius = spotSize.x / 2;
        const int64_t ddx = px - (spotPos.x + radius), ddy = py - (spotPos.y + radius);
        inside = ddx * ddx + ddy * ddy <= radius * radius;
    } else {
        inside = px >= spotPos.x && px <= spotPos.x + spotSize.x && py >= spotPos.y &&
                 py <= spotPos.y + spotSize.y;
    }
    if (!inside) return;
    MarkShown(gOpenHint->name.c_str());
    if (level_) level_->ResumeFromTutorial();
    if (gCurrentProfile) gCurrentProfile->SetTutorialOn(checkBox.isChecked);
    if (level_) level_->OnButtonDown(button, position);
}
