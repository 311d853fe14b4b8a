// The widget factory and the basic widgets: sprite, word-wrapped text, button with a prompt,
// end-cap button and the key-frame widget.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/strings.h"
#include "engine/data/ini.h"
#include "engine/platform/engine.h"
#include "engine/platform/log.h"
#include "ui/ui_internal.h"

namespace {

constexpr int kMaxTextLines = 32;
constexpr int kMaxLineUnits = 2047;
constexpr int kTypeSize = 100;
constexpr int kNameBufferSize = 512;
const char* const kCapNames[8] = {"leftignore",  "leftnormal",  "leftactive",  "leftpress",
                                  "rightignore", "rightnormal", "rightactive", "rightpress"};

bool isMarker(const char16_t* p) { return p[0] == u'<' && p[1] == u'>'; }

}  // namespace

// --- Factory -----------------------------------------------------------------------------------

UIWnd* CreateWidget(const char* type) {
    if (!type) return nullptr;
    if (strCmpNoCase(type, "sprite") == 0) return new UIWndSprite;
    if (strCmpNoCase(type, "ieButton") == 0) return new UIWndButtonIE;
    if (strCmpNoCase(type, "text") == 0) return new UITextStatic;
    if (strCmpNoCase(type, "switch") == 0) return new UISwitch;
    if (strCmpNoCase(type, "progress") == 0) return new UIProgress;
    if (strCmpNoCase(type, "switchselect") == 0) return new UISwitchSelect;
    if (strCmpNoCase(type, "ieEdit") == 0) return new UIEntryIE;
    if (strCmpNoCase(type, "AnimWnd") == 0) return new UIAnimWnd;
    return nullptr;
}

UIWnd* CreateChildFromIni(UIWnd* parent, const char* file, const char* section, int relative,
                          int center) {
    if (!file || !*file || !section || !*section) return nullptr;
    char fileBuf[kNameBufferSize], sectionBuf[kNameBufferSize];
    StrCopyN(fileBuf, file, sizeof fileBuf);
    StrCopyN(sectionBuf, section, sizeof sectionBuf);
    return CreateChildFromIniBuf(parent, fileBuf, sectionBuf, relative, center);
}

UIWnd* CreateChildFromIniBuf(UIWnd* parent, char* file, char* section, int relative, int center) {
    if (!file || !*file || !section || !*section || iniMissing(file)) return nullptr;
    char type[kTypeSize];
    StrCopyN(type, iniGetString(file, section, "type", ""), sizeof type);
    UIWnd* widget = *type ? CreateWidget(type) : new UIWnd;
    if (!widget) return nullptr;
    widget->Load(file, section);
    int stage = iniGetInt(file, section, "stage", 0);
    if (stage < UI_IGNORE || stage > UI_PRESS) {
        logPrintf("%s [%s]: stage %d is not a widget state; taken as 0\n", file, section, stage);
        reportDamagedLayout(file, "holds values out of range");
        stage = UI_IGNORE;
    }
    widget->state = static_cast<uint8_t>(stage);
    if (parent && !parent->AddChild(widget)) {
        delete widget;
        return nullptr;
    }
    char fontName[kUiFileSize];
    StrCopyN(fontName, iniGetString(file, section, "font", ""), sizeof fontName);
    if (*fontName) {
        grFreeFont(widget->font);
        widget->font = grLoadFont(fontName, nullptr);
    }
    if (relative && parent) {
        if (center)
            widget->Move(parent->x + parent->xs / 2, parent->y + parent->ys / 2);
        else
            widget->Move(parent->x, parent->y);
    }
    return widget;
}

// --- UIWndSprite -------------------------------------------------------------------------------

void UIWndSprite::Load(const char* file, const char* name) {
    UIWnd::Load(file, name);
    xsSpr = static_cast<int16_t>(iniGetInt(file, name, "xsSpr", 0));
    ysSpr = static_cast<int16_t>(iniGetInt(file, name, "ysSpr", 0));
    xalignSpr = static_cast<int8_t>(iniGetInt(file, name, "xalignSpr", -1));
    yalignSpr = static_cast<int8_t>(iniGetInt(file, name, "yalignSpr", -1));
}

int UIWndSprite::OnKeyDown(int key, intptr_t data) {
    if (uiLayoutEditor || state == UI_IGNORE) return 0;
    if (UIWnd::OnKeyDown(key, data)) return 1;
    if (state == UI_ACTIVE &&
        (key == kUiEnter || (key == kUiLeftButton && HitTest(uiPackedX(data), uiPackedY(data))))) {
        SetState(UI_PRESS);
        return 1;
    }
    return 0;
}

int UIWndSprite::OnKeyUp(int key, intptr_t data) {
    if (uiLayoutEditor) return UIWnd::OnKeyUp(key, data) ? 1 : EditorInput(key, data);
    if (state == UI_IGNORE) return 0;
    if (UIWnd::OnKeyUp(key, data)) return 1;
    if (state == UI_PRESS &&
        (key == kUiEnter || (key == kUiLeftButton && HitTest(uiPackedX(data), uiPackedY(data))))) {
        SetState(UI_ACTIVE);
        return OnCommand(this);
    }
    return 0;
}

int UIWndSprite::Draw() {
    if (hidden()) return 0;
    if (HSPRITE s = uiStateSprite(this, state)) {
        int w = xsSpr ? xsSpr : spriteWidth(s);
        int h = ysSpr ? ysSpr : spriteHeight(s);
        if (flip & (1 << state)) w = -w;
        if (flip & (16 << state)) h = -h;
        const int aw = std::abs(w), ah = std::abs(h);
        const int dx = xalignSpr < 0 ? x : xalignSpr == 0 ? x + (xs - aw) / 2 : x + xs - aw;
        const int dy = yalignSpr < 0 ? y : yalignSpr == 0 ? y + (ys - ah) / 2 : y + ys - ah;
        grDraw(material(), dx, dy, w, h, s, 0, 0, spriteWidth(s), spriteHeight(s), tint, clock);
    }
    DrawCaption();
    DrawBounds();
    for (int i = 0; i < childCount(); ++i) children[i]->Draw();
    return 0;
}

// --- UITextStatic ------------------------------------------------------------------------------

void UITextStatic::Load(const char* file, const char* name) {
    UIWndSprite::Load(file, name);
    xFont = iniGetFloat(file, name, "xFont", 1.0f);
    yFont = iniGetFloat(file, name, "yFont", 1.0f);
    if (xFont < 0) xFont = 0;
    if (yFont < 0) yFont = 0;
}

const std::vector<std::u16string>& UITextStatic::WrappedLines() {
    const int width = std::abs(xs);
    if (wrappedFont_ == font && wrappedScale_ == xFont && wrappedWidth_ == width &&
        wrappedCaption_ == caption.str())
        return lines_;
    wrappedFont_ = font;
    wrappedScale_ = xFont;
    wrappedWidth_ = width;
    wrappedCaption_ = caption.str();
    while (!lines_.empty()) {
        spareLines_.push_back(std::move(lines_.back()));
        lines_.pop_back();
    }
    if (!font || !caption[0]) return lines_;

    auto emit = [this](const char16_t* from, int n) {
        if (static_cast<int>(lines_.size()) >= kMaxTextLines) return;
        const size_t units = static_cast<size_t>(n < kMaxLineUnits ? n : kMaxLineUnits);
        if (spareLines_.empty()) {
            lines_.emplace_back(from, units);
            return;
        }
        lines_.push_back(std::move(spareLines_.back()));
        spareLines_.pop_back();
        lines_.back().assign(from, units);
    };
    auto wider = [this, width](const char16_t* from, int n) {
        return static_cast<int>(std::lround(grTextWidth(font, from, n) * xFont)) > width;
    };
    // Words are added while the line fits; a line that no longer fits is cut at its last space,
    // or kept whole when it has none. Each line is measured as it grows, once per word.
    const char16_t* start = caption;
    const char16_t* lastSpace = nullptr;
    const char16_t* p = caption;
    while (static_cast<int>(lines_.size()) < kMaxTextLines) {
        while (*p && *p != u' ' && !isMarker(p)) ++p;
        const int n = static_cast<int>(p - start);
        if (lastSpace && wider(start, n)) {
            emit(start, static_cast<int>(lastSpace - start));
            start = p = lastSpace + 1;
            lastSpace = nullptr;
            continue;
        }
        if (!*p) {
            emit(start, n);
            break;
        }
        if (isMarker(p)) {
            emit(start, n);
            start = p = p + 2;
            lastSpace = nullptr;
            continue;
        }
        if (wider(start, n)) {  // one word wider than the line: it stands alone
            emit(start, n);
            start = p + 1;
            lastSpace = nullptr;
        } else {
            lastSpace = p;
        }
        ++p;
    }
    return lines_;
}

int UITextStatic::Draw() {
    if (hidden()) return 0;
    DrawStateSprite();
    if (font) {
        const std::vector<std::u16string>& lines = WrappedLines();
        const int lineHeight = grFontHeight(font);
        const int block = static_cast<int>(lines.size()) * lineHeight;
        const int h = std::abs(ys), w = std::abs(xs);
        int ly = yalign == 0 ? y + (h - block) / 2 : yalign > 0 ? y + h - block : y;
        const int lx = xalign > 0 ? x + w : xalign == 0 ? x + w / 2 : x;
        const int row = (select() + state) % 4;
        for (const std::u16string& line : lines) {
            grDrawTextColor(material(), font, lx, ly, xFont, yFont, line.c_str(), tint, row,
                            xalign, -1);
            ly += lineHeight;
        }
    }
    for (int i = 0; i < childCount(); ++i) children[i]->Draw();
    return 0;
}

// --- UIWndButtonPrompt -------------------------------------------------------------------------

UIWndButtonPrompt::~UIWndButtonPrompt() { delete prompt; }

void UIWndButtonPrompt::Load(const char* file, const char* name) {
    UIWndSprite::Load(file, name);
    if (isPrompt_) return;
    char promptSection[kUiSectionSize * 2];
    StrCopyN(promptSection, iniGetString(file, name, "prompt", ""), sizeof promptSection);
    if (!*promptSection) return;
    UIWndButtonIE* p = new UIWndButtonIE;
    static_cast<UIWndButtonPrompt*>(p)->isPrompt_ = true;
    p->Load(file, promptSection);
    p->state = UI_IGNORE;
    grFreeFont(p->font);
    p->font = uiShareFont(font);
    delete prompt;
    prompt = p;
}

void UIWndButtonPrompt::Refresh() {
    if (prompt) prompt->setHidden(state != UI_ACTIVE && state != UI_PRESS);
}

int UIWndButtonPrompt::Draw() {
    if (prompt) prompt->Draw();
    return UIWndSprite::Draw();
}

// --- UIWndButtonIE -----------------------------------------------------------------------------

void UIWndButtonIE::Load(const char* file, const char* name) {
    UIWndButtonPrompt::Load(file, name);
    char value[kUiFileSize];
    for (int i = 0; i < 8; ++i) {
        StrCopyN(value, iniGetString(file, name, kCapNames[i], ""), sizeof value);
        if (!*value) continue;
        grFreeSprite(sprites[kUiLeftCap + i]);
        sprites[kUiLeftCap + i] = grLoadSprite(value, nullptr, 0);
    }
}

int UIWndButtonIE::Draw() {
    if (hidden()) return 0;
    const int s = state & 3;
    HSPRITE middle = sprites[s], left = sprites[kUiLeftCap + s], right = sprites[kUiRightCap + s];
    const int l = spriteWidth(left), r = spriteWidth(right), w = std::abs(xs);
    const sMaterial m = material();
    // A button narrower than its caps has no room for the middle; a negative width would
    // mirror it outside the button.
    if (middle && w - l - r >= 1) {
        const int mw = (flip & (1 << s)) ? -(w - l - r) : w - l - r;
        const int mh = (flip & (16 << s)) ? -spriteHeight(middle) : spriteHeight(middle);
        grDraw(m, x + l, y, mw, mh, middle, 0, 0, spriteWidth(middle), spriteHeight(middle), tint,
               clock);
    }
    if (left) grDraw(m, x, y, l, spriteHeight(left), left, 0, 0, l, spriteHeight(left), tint, clock);
    if (right)
        grDraw(m, x + w - r, y, r, spriteHeight(right), right, 0, 0, r, spriteHeight(right), tint,
               clock);
    DrawCaption();
    DrawBounds();
    if (prompt) prompt->Draw();
    return 0;
}

// --- UIAnimWnd ---------------------------------------------------------------------------------

void UIAnimWnd::Load(const char* file, const char* name) {
    UIWndSprite::Load(file, name);
    keyCount = 0;
    const char* value = iniGetString(file, name, "animkey", "");
    if (!*value) return;
    if (strlen(value) >= static_cast<size_t>(kUiFileSize)) {
        logPrintf("%s [%s]: animkey names a file longer than %d characters; no keys\n", file,
                  name, kUiFileSize - 1);
        return;
    }
    char keyFile[kUiFileSize];
    StrCopyN(keyFile, value, sizeof keyFile);
    for (int i = 0; i < kMaxKeys; ++i) {
        char keySection[16];
        formatString(keySection, sizeof keySection, "%d", i);
        const int time = iniGetInt(keyFile, keySection, "time", 0);
        if (i > 0 && time == 0) break;
        Key& k = keys[keyCount++];
        k.time = time;
        k.x = static_cast<int16_t>(iniGetInt(keyFile, keySection, "x", 0));
        k.y = static_cast<int16_t>(iniGetInt(keyFile, keySection, "y", 0));
        k.visible = static_cast<uint8_t>(iniGetInt(keyFile, keySection, "visible", 0));
    }
}

int UIAnimWnd::Update(int milliseconds) {
    const int period = keyCount >= 2 ? keys[keyCount - 1].time : 0;
    // A last key at 0 ms or before leaves no period: the widget stays where it is.
    if (period > 0) {
        const int t = static_cast<int>(static_cast<uint32_t>(clock) % static_cast<uint32_t>(period));
        for (int i = 0; i + 1 < keyCount; ++i) {
            const Key& a = keys[i];
            const Key& b = keys[i + 1];
            // Two keys at one time make a segment of no length: nothing to place along it.
            if (b.time <= a.time || t < a.time || t > b.time) continue;
            const int64_t f = (int64_t(t) - a.time) * 4096 / (int64_t(b.time) - a.time);
            x = static_cast<int16_t>((a.x * int64_t(4096) + (b.x - a.x) * f) >> 12);
            y = static_cast<int16_t>((a.y * int64_t(4096) + (b.y - a.y) * f) >> 12);
            setHidden(a.visible == 0);
            break;
        }
    }
    return UIWnd::Update(milliseconds);
}
