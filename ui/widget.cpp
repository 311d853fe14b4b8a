// The widget base: loading from a layout section, the child list, focus and input routing, state
// sounds, the layout editor, the shared drawing steps and the look-ups of named children.
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/strings.h"
#include "engine/data/ini.h"
#include "engine/platform/engine.h"
#include "engine/platform/input.h"
#include "engine/platform/log.h"
#include "engine/snd/snd.h"
#include "ui/ui_internal.h"

namespace {

constexpr int kF2 = 113;
constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr intptr_t kAltContext = intptr_t(1) << 29;
constexpr uint32_t kBoundsColour = 0xFFFF00FFu;
constexpr uint32_t kSelectedColour = 0xFFFFFFFFu;
const char* const kStateNames[4] = {"ignore", "normal", "active", "press"};

void (*gSoundHook)(const char*) = nullptr;

}  // namespace

// The integer is read as the INI store reads one (the decimal digits in front, 0 for none); the
// whole text is read as a real number too, since "1e308" or "inf" would otherwise pass as 1 or 0.
int layoutNumber(const char* file, const char* section, const char* key, int lo, int hi) {
    const char* text = iniGetString(file, section, key, "");
    char* digitsEnd = nullptr;
    const long whole = strtol(text, &digitsEnd, 10);
    const int value = whole > INT_MAX ? INT_MAX : whole < INT_MIN ? INT_MIN : static_cast<int>(whole);
    int held = value;
    if (value < lo || value > hi) {
        held = value < lo ? lo : hi;
        logPrintf("%s [%s] \"%s\": %d is out of range; %d taken\n", file, section, key, value,
                  held);
    } else {
        // Only digits that go on as a real number's do ("2.5", "1e308", "0x7fff..."), or a text
        // with no digits in front ("inf", "nan", ".5"); any other reads as its integer.
        if (digitsEnd != text && (!*digitsEnd || !strchr(".eExX", *digitsEnd))) return value;
        const double real = std::trunc(strtod(text, nullptr));
        if (real >= lo && real <= hi) return value;
        held = std::isnan(real) ? IntClamp(0, lo, hi) : real < lo ? lo : hi;
        logPrintf("%s [%s] \"%s\": \"%.40s\" is no number a layout can hold; %d taken\n", file,
                  section, key, text, held);
    }
    reportDamagedLayout(file, "holds values out of range");
    return held;
}

void uiSetSoundHook(void (*hook)(const char* name)) { gSoundHook = hook; }

void uiPlaySound(const char* name) {
    if (!name || !*name) return;
    if (gSoundHook)
        gSoundHook(name);
    else
        sndPlay(name, SND_GROUP_SOUND);
}

CGraphFont* uiShareFont(CGraphFont* font) {
    if (font) grAddRef(grHandle(font));
    return font;
}

bool uiRoomForChild(const UIWnd* widget, const UIWnd* child, const char* who) {
    const int n = widget->childCount();
    if (n < kUiChildSlots - 1) return true;
    logPrintf("%s: \"%s\" holds %d children already; \"%s\" is refused\n", who, widget->section,
              n, child->section);
    return false;
}

int32_t uiAdvanceClock(int32_t clock, int64_t delta) {
    return static_cast<int32_t>((static_cast<int64_t>(clock) + delta) & 0x7FFFFFFF);
}

HSPRITE uiStateSprite(const UIWnd* widget, int index) {
    return index >= 0 && index < kUiSprites ? widget->sprites[index] : nullptr;
}

UIWnd::UIWnd() = default;

UIWnd::~UIWnd() {
    for (HSPRITE& s : sprites) {
        grFreeSprite(s);
        s = nullptr;
    }
    // Each child leaves the list before it goes, first to last.
    while (UIWnd* child = children[0]) {
        children.erase(0);
        delete child;
    }
    grFreeFont(font);
    font = nullptr;
}

void UIWnd::Load(const char* file, const char* name) {
    StrCopyN(iniFile, file, kUiFileSize);
    StrCopyN(section, name, kUiSectionSize);
    x = static_cast<int16_t>(layoutNumber(file, name, "x", INT16_MIN, INT16_MAX));
    y = static_cast<int16_t>(layoutNumber(file, name, "y", INT16_MIN, INT16_MAX));
    xs = static_cast<int16_t>(layoutNumber(file, name, "xs", INT16_MIN, INT16_MAX));
    ys = static_cast<int16_t>(layoutNumber(file, name, "ys", INT16_MIN, INT16_MAX));
    for (int16_t& m : editMove_) m = 0;
    SetTextW(iniGetText(file, name, "name"));
    const int selectBits = (iniGetInt(file, name, "select", 0) & 3) << 1;
    flags = static_cast<uint8_t>((flags & ~UI_SELECT_MASK) | selectBits);
    xalign = static_cast<int8_t>(layoutNumber(file, name, "xalign", INT8_MIN, INT8_MAX));
    yalign = static_cast<int8_t>(layoutNumber(file, name, "yalign", INT8_MIN, INT8_MAX));
    StrCopyN(sndNormalActive, iniGetString(file, name, "sndNormalActive", ""), kUiSoundSize);
    StrCopyN(sndActivePress, iniGetString(file, name, "sndActivePress", ""), kUiSoundSize);

    char value[kUiFileSize];
    StrCopyN(value, iniGetString(file, name, "font", ""), sizeof value);
    if (*value) {
        grFreeFont(font);
        font = grLoadFont(value, nullptr);
    }
    for (int s = 0; s < 4; ++s) {
        StrCopyN(value, iniGetString(file, name, kStateNames[s], ""), sizeof value);
        if (!*value) continue;
        grFreeSprite(sprites[s]);
        sprites[s] = grLoadSprite(value, nullptr, 0);
        char key[32];
        formatString(key, sizeof key, "%s_flip_x", kStateNames[s]);
        if (iniGetInt(file, name, key, 0) == 1) flip |= static_cast<uint8_t>(1 << s);
        formatString(key, sizeof key, "%s_flip_y", kStateNames[s]);
        if (iniGetInt(file, name, key, 0) == 1) flip |= static_cast<uint8_t>(16 << s);
        if (xs == 0) xs = static_cast<int16_t>(spriteWidth(sprites[s]));
        if (ys == 0) ys = static_cast<int16_t>(spriteHeight(sprites[s]));
    }
}

UIWnd* UIWnd::activeChild() const {
    return active >= 0 && active < childCount() ? children[active] : nullptr;
}

int UIWnd::OnKeyDown(int key, intptr_t data) {
    if (uiLayoutEditor) {
        for (int i = 0; i < childCount(); ++i) children[i]->OnKeyDown(key, data);
        return 0;
    }
    UIWnd* a = activeChild();
    return a ? a->OnKeyDown(key, data) : 0;
}

int UIWnd::OnKeyUp(int key, intptr_t data) {
    if (uiLayoutEditor) {
        for (int i = childCount() - 1; i >= 0; --i)
            if (i < childCount() && children[i]->OnKeyUp(key, data)) return 1;
        return 0;
    }
    UIWnd* a = activeChild();
    return a ? a->OnKeyUp(key, data) : 0;
}

int UIWnd::OnChar(int character, intptr_t data) {
    UIWnd* a = activeChild();
    return a ? a->OnChar(character, data) : 0;
}

int UIWnd::Move(int dx, int dy) {
    for (int i = 0; i < childCount(); ++i) children[i]->Move(dx, dy);
    x = static_cast<int16_t>(x + dx);
    y = static_cast<int16_t>(y + dy);
    return 0;
}

int UIWnd::OnMouseMove(int buttons, intptr_t position) {
    if (UIWnd* a = activeChild()) a->OnMouseMove(buttons, position);
    return 0;
}

intptr_t UIWnd::ForwardToActive(intptr_t a, intptr_t b, intptr_t c) {
    UIWnd* child = activeChild();
    return child ? child->ForwardToActive(a, b, c) : 0;
}

int UIWnd::OnCommand(UIWnd* sender) { return parent ? parent->OnCommand(sender) : 0; }

void UIWnd::Refresh() {
    for (int i = 0; i < childCount(); ++i) children[i]->Refresh();
}

int UIWnd::Update(int milliseconds) {
    clock = uiAdvanceClock(clock, milliseconds);
    for (int i = childCount() - 1; i >= 0; --i)
        if (i < childCount() && children[i]->Update(milliseconds)) return 1;
    return 0;
}

int UIWnd::Draw() {
    DrawBounds();
    for (int i = childCount() - 1; i >= 0; --i)
        if (children[i]->Draw()) return 1;
    return 0;
}

UIWnd* UIWnd::AddChild(UIWnd* child) {
    if (!child) return nullptr;
    if (!uiRoomForChild(this, child, "UIWnd::AddChild")) return nullptr;
    const int n = childCount();
    children.append(child);
    active = static_cast<int8_t>(n);
    child->parent = this;
    grFreeFont(child->font);
    child->font = uiShareFont(font);
    return child;
}

void UIWnd::RemoveChild(UIWnd* child) {
    if (!child) return;
    UIWnd* remembered = activeChild();
    const int n = childCount();
    for (int i = n - 1; i >= 0; --i)
        if (children[i] == child) children.erase(i);
    const int kept = childCount();
    if (kept == n) return;  // not a child of ours: nothing to delete
    if (active >= kept) {
        active = static_cast<int8_t>(kept - 1);
        if (active >= 0 && children[active] != remembered) Refresh();
    }
    delete child;
}

void UIWnd::OnIdle() {
    if (UIWnd* a = activeChild()) a->OnIdle();
}

bool UIWnd::HitTest(int px, int py) {
    if (hidden()) return false;
    return px >= x && px < x + std::abs(xs) && py >= y && py < y + std::abs(ys);
}

void UIWnd::SetValue(float) {}

float UIWnd::GetValue() { return 0.0f; }

void UIWnd::SetState(int newState) {
    if (newState == UI_IGNORE && parent && parent->activeChild() == this) parent->active = -1;
    PlayStateSound(state, newState);
    state = static_cast<uint8_t>(newState);
}

void UIWnd::Hook(int) {}

void UICaption::assign(const char16_t* text) {
    size_t n = 0;
    if (text)
        while (n < static_cast<size_t>(kUiCaptionUnits - 1) && text[n]) ++n;
    text_.assign(text ? text : u"", n);
}

void UIWnd::SetText(const char* text) {
    char16_t wide[kUiCaptionUnits];
    wide[0] = 0;
    if (text) narrowToWide(text, wide, kUiCaptionUnits);
    caption.assign(wide);
}

void UIWnd::SetTextW(const char16_t* text) { caption.assign(text); }

int UIWnd::SetTextF(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0) n = 0;
    if (n > static_cast<int>(sizeof buffer) - 1) n = sizeof buffer - 1;
    SetText(buffer);
    return n;
}

int UIWnd::GetTextA(char* buffer, int size) const {
    if (!buffer || size < 1) return 0;
    WideToNarrow(caption, buffer, static_cast<size_t>(size));
    int n = 0;
    while (buffer[n]) ++n;
    return n;
}

void UIWnd::SetColorAll(uint32_t colour) {
    tint = colour;
    for (int i = 0; i < childCount(); ++i) children[i]->SetColorAll(colour);
}

void UIWnd::PlayStateSound(int from, int to) {
    if (from == to) return;
    if (from == UI_NORMAL && to == UI_ACTIVE) uiPlaySound(sndNormalActive);
    if (from == UI_ACTIVE && to == UI_PRESS) uiPlaySound(sndActivePress);
}

void UIWnd::FocusNext(int index, int direction) {
    const int n = childCount();
    if (n == 0) {
        active = -1;
        return;
    }
    if (UIWnd* a = activeChild()) {
        if (index == active) {
            if (a->state == UI_NORMAL) a->SetState(UI_ACTIVE);
            return;
        }
        if (a->state == UI_ACTIVE || a->state == UI_PRESS) a->SetState(UI_NORMAL);
    }
    int step = direction;
    if (step == 0) step = index < active ? -1 : 1;
    for (int i = 0, at = index; i < n; ++i, at += step) {
        const int k = ((at % n) + n) % n;
        if (children[k]->state == UI_NORMAL) {
            active = static_cast<int8_t>(k);
            children[k]->SetState(UI_ACTIVE);
            Refresh();
            return;
        }
    }
    active = -1;
}

void UIWnd::FocusChildAt(intptr_t position) {
    const int px = uiPackedX(position), py = uiPackedY(position);
    for (int i = 0; i < childCount(); ++i)
        if (children[i]->state != UI_IGNORE && children[i]->HitTest(px, py)) {
            FocusNext(i, 1);
            break;
        }
    UIWnd* a = activeChild();
    if (a && a->state == UI_PRESS && !a->HitTest(px, py)) a->state = UI_ACTIVE;
}

int UIWnd::EditorInput(int key, intptr_t data) {
    if (key == kUiLeftButton && HitTest(uiPackedX(data), uiPackedY(data))) {
        flags ^= UI_EDITOR_SELECTED;
        return 1;
    }
    if (!(flags & UI_EDITOR_SELECTED)) return 0;
    const int step = keyShiftHeld() ? 10 : 1;
    if (key == kF2) {
        EditorSave();
        flags &= static_cast<uint8_t>(~UI_EDITOR_SELECTED);
        return 1;
    }
    const bool size = (data & kAltContext) != 0;
    int16_t* field[4] = {&x, &y, &xs, &ys};
    int dx = 0, dy = 0;
    switch (key) {
    case kLeft: dx = -step; break;
    case kRight: dx = step; break;
    case kUp: dy = -step; break;
    case kDown: dy = step; break;
    default: return 1;
    }
    const int base = size ? 2 : 0;
    *field[base] = static_cast<int16_t>(*field[base] + dx);
    *field[base + 1] = static_cast<int16_t>(*field[base + 1] + dy);
    editMove_[base] = static_cast<int16_t>(editMove_[base] + dx);
    editMove_[base + 1] = static_cast<int16_t>(editMove_[base + 1] + dy);
    return 1;
}

void UIWnd::EditorSave() {
    // The position on screen may include the parent's corner or an option's offset, so the file
    // gets its own value, read as the widget read it, moved as the editor moved the widget; the
    // size is the widget's own.
    iniWriteInt(iniFile, section, "x",
                layoutNumber(iniFile, section, "x", INT16_MIN, INT16_MAX) + editMove_[0]);
    iniWriteInt(iniFile, section, "y",
                layoutNumber(iniFile, section, "y", INT16_MIN, INT16_MAX) + editMove_[1]);
    iniWriteInt(iniFile, section, "xs", xs);
    iniWriteInt(iniFile, section, "ys", ys);
    for (int16_t& m : editMove_) m = 0;
}

sMaterial UIWnd::material() const {
    return tint == 0xFFFFFFFFu ? sMaterial(2, 2, 1, 30) : sMaterial(4, 4, 1, 30);
}

void UIWnd::DrawStateSprite() {
    if (HSPRITE s = uiStateSprite(this, state)) {
        // A negative size mirrors: the source is its absolute value, the destination keeps the
        // sign, and a flip bit mirrors once more.
        const int w = xs < 0 ? xs : spriteWidth(s);
        const int h = ys < 0 ? ys : spriteHeight(s);
        const int dw = (flip & (1 << state)) ? -w : w;
        const int dh = (flip & (16 << state)) ? -h : h;
        grDraw(material(), x, y, dw, dh, s, 0, 0, std::abs(w), std::abs(h), tint, clock);
    }
    DrawBounds();
}

void UIWnd::DrawCaption() {
    if (!caption[0] || !font) return;
    const int w = std::abs(xs), h = std::abs(ys);
    int ly = yalign > 0 ? y + h : yalign == 0 ? y + h / 2 : y;
    const int lx = xalign > 0 ? x + w : xalign == 0 ? x + w / 2 : x;
    const int row = (select() + state) % 4;
    const int lineStep = 2 * grFontHeight(font);
    char16_t line[kUiCaptionUnits];
    const char16_t* p = caption;
    while (true) {
        int n = 0;
        while (p[n] && !(p[n] == u'<' && p[n + 1] == u'>')) {
            line[n] = p[n];
            ++n;
        }
        line[n] = 0;
        grDrawTextEx(material(), font, lx, ly, line, tint, row, xalign, yalign);
        if (!p[n]) break;
        p += n + 2;
        ly += lineStep;
    }
}

void UIWnd::DrawBounds() {
    if (!uiShowBounds) return;
    grDrawPrimitive(x, y, x + xs, y + ys,
                    (flags & UI_EDITOR_SELECTED) ? kSelectedColour : kBoundsColour, 0);
}

// --- Named children ----------------------------------------------------------------------------

int childCount(const UIWnd* widget) { return widget ? widget->childCount() : 0; }

int findChildIndex(UIWnd* widget, const char* name) {
    if (!widget || !name) return -1;
    for (int i = 0; i < widget->childCount(); ++i)
        if (strCmpNoCase(widget->children[i]->section, name) == 0) return i;
    return -1;
}

UIWnd* findChild(UIWnd* widget, const char* name) {
    const int i = findChildIndex(widget, name);
    return i < 0 ? nullptr : widget->children[i];
}

void showChildWithState(UIWnd* widget, const char* name, uint8_t state) {
    if (UIWnd* child = findChild(widget, name)) {
        child->state = state;
        child->setHidden(false);
    }
}

void hideChildWithState(UIWnd* widget, const char* name, uint8_t state) {
    if (UIWnd* child = findChild(widget, name)) {
        child->state = state;
        child->setHidden(true);
    }
}

bool hasChild(UIWnd* widget, const char* name) { return findChild(widget, name) != nullptr; }

bool isChildShown(UIWnd* widget, const char* name) {
    UIWnd* child = findChild(widget, name);
    return child && !child->hidden();
}
