// The widgets that ask the player for something: switches cycling through options, a selector
// between two arrows, a bar that is also a slider, and one-line text boxes.
#include <cmath>
#include <cstdlib>

#include "core/strings.h"
#include "engine/data/ini.h"
#include "engine/platform/engine.h"
#include "ui/ui_internal.h"

namespace {

constexpr int kLeftKey = 37, kRightKey = 39;
constexpr int kHome = 36, kEnd = 35, kBackspace = 8, kDelete = 46;
constexpr int kOptionKeys = 10;
// Option section names are cut to this size with the terminator.
constexpr int kOptionNameSize = 32;
constexpr int kRepeatMs = 200;
constexpr float kKeyStep = 0.1f;
constexpr int kCaretWidth = 3;

bool insideOf(UIWnd* w, intptr_t data) { return w->HitTest(uiPackedX(data), uiPackedY(data)); }

int colourByte(const char* file, const char* section, const char* key) {
    return IntClamp(iniGetInt(file, section, key, 255), 0, 255);
}

}  // namespace

// --- UISwitch ----------------------------------------------------------------------------------

void UISwitch::Load(const char* file, const char* name) {
    UIWndButtonIE::Load(file, name);
    LoadOptions(file, name, true);
}

void UISwitch::LoadOptions(const char* file, const char* name, bool exchange) {
    for (int i = 0; i < kOptionKeys; ++i) {
        char key[4], optionSection[kOptionNameSize];
        formatString(key, sizeof key, "%d", i);
        StrCopyN(optionSection, iniGetString(file, name, key, ""), sizeof optionSection);
        if (!*optionSection) break;
        UIWndSprite* option = new UIWndSprite;
        if (exchange) {
            if (!AddChild(option)) {
                delete option;
                break;
            }
            option->Load(file, optionSection);
            if (xs == 0) xs = option->xs;
            else if (option->xs == 0) option->xs = xs;
            if (ys == 0) ys = option->ys;
            else if (option->ys == 0) option->ys = ys;
            option->Move(x, y);
            if (!option->font) option->font = uiShareFont(font);
        } else {
            option->Load(file, optionSection);
            if (!AddChild(option)) {
                delete option;
                break;
            }
        }
        option->state = UI_NORMAL;
    }
}

int UISwitch::OnKeyDown(int key, intptr_t data) {
    if (hidden() || state != UI_ACTIVE) return 0;
    if (key == kUiEnter || key == kRightKey || key == kLeftKey ||
        (key == kUiLeftButton && insideOf(this, data))) {
        SetState(UI_PRESS);
        if (UIWnd* option = selected()) option->SetState(UI_PRESS);
        return 1;
    }
    return 0;
}

int UISwitch::OnKeyUp(int key, intptr_t data) {
    if (uiLayoutEditor) return EditorInput(key, data);
    if (hidden() || state != UI_PRESS) return 0;
    if (key == kUiEnter || key == kRightKey || (key == kUiLeftButton && insideOf(this, data)))
        return Step(1);
    if (key == kLeftKey) return Step(-1);
    SetState(UI_ACTIVE);
    return 0;
}

int UISwitch::Step(int direction) {
    SetState(UI_ACTIVE);
    const int n = childCount();
    if (n > 0) {
        int next = active + direction;
        if (next >= n) next = 0;
        if (next < 0) next = n - 1;
        active = static_cast<int8_t>(next);
        children[next]->state = state;
    }
    return OnCommand(this);
}

int UISwitch::Update(int milliseconds) {
    if (hidden()) return 0;
    clock = uiAdvanceClock(clock, milliseconds);
    UIWnd* option = selected();
    return option ? option->Update(milliseconds) : 0;
}

int UISwitch::Draw() {
    // Without options there is nothing selected to draw.
    if (!hidden())
        if (UIWnd* option = selected()) option->Draw();
    return 0;
}

// --- UISwitchSelect ----------------------------------------------------------------------------

void UISwitchSelect::Load(const char* file, const char* name) {
    UIWndButtonIE::Load(file, name);
    left.Load(file, "left");
    left.Move(x, y);
    right.Load(file, "right");
    right.Move(x + xs - right.xs, y);
    for (UIWndSprite* arrow : {&left, &right}) {
        if (!arrow->font) arrow->font = uiShareFont(font);
        arrow->state = UI_NORMAL;
        arrow->parent = this;
    }
    LoadOptions(file, name, false);
}

UIWnd* UISwitchSelect::AddChild(UIWnd* child) {
    if (!UIWnd::AddChild(child)) return nullptr;
    child->xs = static_cast<int16_t>(xs - left.xs - right.xs);
    child->ys = ys;
    child->x = static_cast<int16_t>(child->x + x + left.xs);
    child->y = static_cast<int16_t>(child->y + y);
    grFreeFont(child->font);
    child->font = uiShareFont(font);
    child->state = UI_NORMAL;
    return child;
}

int UISwitchSelect::Move(int dx, int dy) {
    left.Move(dx, dy);
    right.Move(dx, dy);
    for (int i = 0; i < childCount(); ++i) children[i]->Move(dx, dy);
    return 0;
}

void UISwitchSelect::SetState(int newState) {
    UIWnd::SetState(newState);
    const uint8_t s = static_cast<uint8_t>(newState);
    if (UIWnd* option = selected()) option->state = s;
    left.state = right.state = s;
}

int UISwitchSelect::OnKeyDown(int key, intptr_t data) {
    if (state == UI_ACTIVE) {
        if (key == kRightKey || (key == kUiLeftButton && insideOf(&right, data)))
            right.OnKeyDown(kUiEnter, data);
        else if (key == kLeftKey || (key == kUiLeftButton && insideOf(&left, data)))
            left.OnKeyDown(kUiEnter, data);
    }
    return UISwitch::OnKeyDown(key, data);
}

int UISwitchSelect::OnKeyUp(int key, intptr_t data) {
    if (uiLayoutEditor) return EditorInput(key, data);
    if (state == UI_PRESS) {
        if (key == kRightKey || (key == kUiLeftButton && insideOf(&right, data))) {
            right.OnKeyUp(kUiEnter, data);
            return Step(1);
        }
        if (key == kLeftKey || (key == kUiLeftButton && insideOf(&left, data))) {
            left.OnKeyUp(kUiEnter, data);
            return Step(-1);
        }
    }
    return UISwitch::OnKeyUp(key, data);
}

int UISwitchSelect::Draw() {
    left.tint = right.tint = tint;
    UIWndButtonIE::Draw();
    left.Draw();
    right.Draw();
    DrawBounds();
    if (prompt) prompt->Draw();
    if (UIWnd* option = selected()) option->Draw();
    return 0;
}

// --- UIProgress --------------------------------------------------------------------------------

void UIProgress::Load(const char* file, const char* name) {
    UISwitch::Load(file, name);
    vertical = iniGetInt(file, name, "vertical", 0);
}

UIProgress::Track UIProgress::track() const {
    Track t{x, xs, 0, 0};
    if (UIWnd* bar = option(1) ? option(1) : option(0)) {
        t.barX = bar->x;
        t.barWidth = bar->xs;
    }
    const int thumb = option(2) ? option(2)->xs : 0;
    t.start = t.barX + thumb / 2;
    t.length = t.barWidth - thumb;
    return t;
}

void UIProgress::SetValue(float v) {
    if (std::isnan(v)) return;
    value = v > 1.0f ? 1.0f : v < 0.0f ? 0.0f : v;
}

void UIProgress::valueFromPointer(intptr_t position) {
    // A track or bar of no length has no place for a value.
    if (vertical) {
        if (ys > 0) SetValue(1.0f - static_cast<float>(uiPackedY(position) - y) / ys);
        return;
    }
    const Track t = track();
    if (t.length > 0) SetValue(static_cast<float>(uiPackedX(position) - t.start) / t.length);
}

int UIProgress::OnKeyDown(int key, intptr_t data) {
    if (state != UI_ACTIVE) return 0;
    if (key == kUiLeftButton) {
        if (!insideOf(this, data)) return 1;
        valueFromPointer(data);
    } else if (key == kLeftKey) {
        SetValue(value - kKeyStep);
        repeat = -clock;
    } else if (key == kRightKey) {
        SetValue(value + kKeyStep);
        repeat = clock;
    } else {
        return 0;
    }
    if (parent) parent->OnCommand(this);
    SetState(UI_PRESS);
    return 1;
}

int UIProgress::OnKeyUp(int key, intptr_t data) {
    if (uiLayoutEditor) return EditorInput(key, data);
    if (key == kLeftKey || key == kRightKey) repeat = 0;
    return UISwitch::OnKeyUp(key, data);
}

int UIProgress::OnMouseMove(int buttons, intptr_t position) {
    if (buttons & 1) {
        if (state == UI_IGNORE) return 0;
        if (state == UI_PRESS) valueFromPointer(position);
        if (parent) parent->OnCommand(this);
    }
    return 1;
}

int UIProgress::Update(int milliseconds) {
    if (repeat != 0) {
        const int n = (clock - std::abs(repeat)) / kRepeatMs;
        if (n != 0) {
            const int sign = repeat > 0 ? 1 : -1;
            SetValue(value + sign * n * kKeyStep);
            repeat = sign * clock;
            if (parent) parent->OnCommand(this);
        }
    }
    return UISwitch::Update(milliseconds);
}

int UIProgress::Draw() {
    if (hidden()) return 0;
    DrawStateSprite();
    const sMaterial m(4, 4, 1, 30);
    UIWnd* empty = option(0);
    UIWnd* filled = option(1);
    UIWnd* thumb = option(2);
    HSPRITE emptySprite = empty ? uiStateSprite(empty, state) : nullptr;
    HSPRITE filledSprite = filled ? uiStateSprite(filled, state) : nullptr;
    if (vertical) {
        const int f = static_cast<int>(std::lround(ys * value));
        if (emptySprite && ys - f > 0) {
            const int h = spriteHeight(emptySprite);
            const int g = static_cast<int>(std::lround(h * value));
            grDraw(material(), x, y, xs, ys - f, emptySprite, 0, 0, spriteWidth(emptySprite), h - g,
                   tint, clock);
        }
        if (filledSprite && f > 0) {
            const int h = spriteHeight(filledSprite);
            const int g = static_cast<int>(std::lround(h * value));
            grDraw(material(), x, y + ys - f, xs, f, filledSprite, 0, h - g,
                   spriteWidth(filledSprite), g, tint, clock);
        }
        return 0;
    }
    const Track t = track();
    const int split = t.start + static_cast<int>(std::lround(t.length * value));
    if (filledSprite && split - t.barX > 0) {
        const int w = split - t.barX, h = spriteHeight(filledSprite);
        grDraw(m, t.barX, filled->y - filled->ys / 2 + ys / 2, w, h, filledSprite, 0, 0, w, h, tint,
               clock);
    }
    if (emptySprite && t.barX + t.barWidth - split > 0) {
        const int w = t.barX + t.barWidth - split, h = spriteHeight(emptySprite);
        grDraw(m, split, empty->y - empty->ys / 2 + ys / 2, w, h, emptySprite, split - t.barX, 0, w,
               h, tint, clock);
    }
    if (thumb) {
        HSPRITE s = uiStateSprite(thumb, state);
        const int tx = thumb->x - thumb->xs / 2 - t.barX + split;
        if (s) grDrawSpriteColor(m, tx, thumb->y - thumb->ys / 2 + ys / 2, s, tint, clock);
        if (uiShowBounds) {
            grDrawPrimitive(tx, y, tx + spriteWidth(s), y + spriteHeight(s), 0xFFFF00FFu, 0);
            grDrawPrimitive(t.start, y, t.start + t.length, y + ys, 0xFFFF00FFu, 0);
        }
    }
    return 0;
}

// --- UIEntryIE ---------------------------------------------------------------------------------

void UIEntryIE::Load(const char* file, const char* name) {
    UIWndButtonIE::Load(file, name);
    cursorColour = static_cast<uint32_t>(colourByte(file, name, "CursorA")) << 24 |
                   static_cast<uint32_t>(colourByte(file, name, "CursorR")) << 16 |
                   static_cast<uint32_t>(colourByte(file, name, "CursorG")) << 8 |
                   static_cast<uint32_t>(colourByte(file, name, "CursorB"));
    const int size = iniGetInt(file, name, "strsize", 0);
    strsize = static_cast<int16_t>(size < 1 || size > kUiCaptionUnits ? kUiCaptionUnits : size);
}

int UIEntryIE::Length() const { return caption.length(); }

int UIEntryIE::Cursor() {
    cursor = static_cast<int16_t>(IntClamp(cursor, 0, Length()));
    return cursor;
}

void UIEntryIE::SetValue(float v) {
    cursor = std::isnan(v) ? 0 : static_cast<int16_t>(FloatClamp(std::nearbyint(v), 0.0f, 1024.0f));
    Cursor();
}

void UIEntryIE::EraseAt(int index) {
    if (index >= 0 && index < Length()) caption.erase(index);
}

int UIEntryIE::OnKeyDown(int key, intptr_t) {
    const int at = Cursor(), n = Length();
    switch (key) {
    case kLeftKey: cursor = static_cast<int16_t>(at > 0 ? at - 1 : 0); return 1;
    case kRightKey: cursor = static_cast<int16_t>(at < n ? at + 1 : n); return 1;
    case kHome: cursor = 0; return 1;
    case kEnd: cursor = static_cast<int16_t>(n); return 1;
    case kBackspace:
        if (at == 0) return 0;
        EraseAt(at - 1);
        cursor = static_cast<int16_t>(at - 1);
        return 1;
    case kDelete:
        if (at >= n) return 0;
        EraseAt(at);
        return 1;
    default: return 0;
    }
}

int UIEntryIE::OnChar(int character, intptr_t) {
    // Control characters (those that follow Backspace, Tab, Enter and Escape) are no text,
    // whatever width the font gives them.
    if (character < 32 || character > 0xFFFF || !font) return 0;
    const char16_t ch = static_cast<char16_t>(character);
    const char16_t one[2] = {ch, 0};
    const int n = Length(), at = Cursor();
    if (grTextWidth(font, one, 1) == 0 || n >= strsize - 1 || n >= kUiCaptionUnits - 1) return 0;
    char16_t text[kUiCaptionUnits];
    for (int i = 0; i < at; ++i) text[i] = caption[i];
    text[at] = ch;
    for (int i = at; i <= n; ++i) text[i + 1] = caption[i];
    if (grTextWidth(font, text, n + 1) >= xs) return 0;
    SetTextW(text);
    cursor = static_cast<int16_t>(at + 1);
    return 1;
}

int UIEntryIE::OnKeyUp(int key, intptr_t data) {
    if (uiLayoutEditor) return EditorInput(key, data);
    return key == kUiEnter ? OnCommand(this) : 0;
}

int UIEntryIE::Draw() {
    if (hidden()) return 0;
    UIWndButtonIE::Draw();
    if ((state == UI_ACTIVE || state == UI_PRESS) && (clock & 512) && font) {
        int cx = x + grTextWidth(font, caption, Cursor());
        if (xalign == 0) cx += (xs - grTextWidth(font, caption, Length())) / 2;
        const int h = grFontHeight(font);
        grDrawRect(cx, y + (ys - h) / 2, cx + kCaretWidth, y + (ys + h) / 2, cursorColour);
    }
    return 0;
}

// --- UIEntryIE_Repaired ------------------------------------------------------------------------

int UIEntryIE_Repaired::OnKeyDown(int key, intptr_t data) {
    const int at = Cursor();
    if (key == kBackspace && at >= 1) {
        EraseAt(at - 1);
        cursor = static_cast<int16_t>(at - 1);
        return 1;
    }
    return UIEntryIE::OnKeyDown(key, data);
}

int UIEntryIE_Repaired::OnChar(int character, intptr_t data) {
    return character == kBackspace ? 0 : UIEntryIE::OnChar(character, data);
}

int UIEntryIE_Repaired::OnKeyUp(int key, intptr_t data) {
    return key == kBackspace ? 0 : UIEntryIE::OnKeyUp(key, data);
}
