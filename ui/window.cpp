// Windows, the base of every screen and dialog: pointer focus among the children, clipped drawing
// with pressed children one pixel lower, the child list's front insertion and detaching, and the
// hooks through which the window manager shows, hides and closes them.
#include <cstdlib>
#include <string>
#include <vector>

#include "core/strings.h"
#include "engine/data/ini.h"
#include "engine/platform/engine.h"
#include "engine/platform/platform.h"
#include "ui/ui_internal.h"

namespace {

constexpr int kNameBufferSize = 512;

}  // namespace

// A layout that is missing or damaged leaves its screen without some or all of its widgets: the
// player is told once per file, with the way out that always remains.
void reportDamagedLayout(const char* file, const char* why) {
    static std::vector<std::string> reported;
    for (const std::string& name : reported)
        if (iniPathEqual(name.c_str(), file) == 0) return;
    reported.push_back(file);
    char text[1024];
    formatString(text, sizeof text,
                 "The screen layout %s %s, so this screen cannot be shown as it should. "
                 "Reinstalling the game mends it; meanwhile Escape on an empty screen, or "
                 "closing the window, ends the game.",
                 file, why);
    errorBox(text, "Velmora: damaged game data", MB_OK | MB_ICONERROR);
}

int Window::OnMouseMove(int buttons, intptr_t position) {
    const int px = uiPackedX(position), py = uiPackedY(position);
    int result = 0;
    for (int i = childCount() - 1; i >= 0; --i) {
        UIWnd* child = children[i];
        if (!child->HitTest(px, py)) continue;
        if (sticky_focus && !dynamic_cast<UIWndButtonIE*>(child)) continue;
        if (child->state == UI_IGNORE) {
            // A disabled child (a background) only takes the focus from the active one; the
            // search for a normal child would light another button up and drop it again.
            UIWnd* old = activeChild();
            if (old && old != child && (old->state == UI_ACTIVE || old->state == UI_PRESS))
                old->SetState(UI_NORMAL);
        } else {
            FocusNext(i, 0);
        }
        active = static_cast<int8_t>(i);
        result = child->OnMouseMove(buttons, position);
        break;
    }
    for (int i = 0; i < childCount(); ++i)
        if (i != active && children[i]->state == UI_ACTIVE) children[i]->SetState(UI_NORMAL);
    return result;
}

int Window::Draw() {
    if (hidden()) return 1;
    HSPRITE screen = grScreen();
    int c0, c1, c2, c3;
    grGetClip(screen, &c0, &c1, &c2, &c3);
    // The clip's far edges are exclusive: the window's last column and row are its own.
    grSetClip(screen, x, y, x + std::abs(xs), y + std::abs(ys));
    ShiftPressedChildren(this);
    for (int i = 0; i < childCount(); ++i) children[i]->Draw();
    UnshiftPressedChildren(this);
    grSetClip(screen, c0, c1, c2, c3);
    return 1;
}

void Window::RemoveChild(UIWnd* child) {
    const int before = childCount();
    DetachChild(child);
    if (childCount() != before) delete child;
}

void Window::Create(const char* file, const char* name) {
    if (!file || !*file || !name || !*name) return;
    char fileBuf[kNameBufferSize], sectionBuf[kNameBufferSize];
    StrCopyN(fileBuf, file, sizeof fileBuf);
    StrCopyN(sectionBuf, name, sizeof sectionBuf);
    Load(fileBuf, sectionBuf);
    if (const char* why = iniDamage(fileBuf)) {
        layoutDamaged = true;
        reportDamagedLayout(fileBuf, why);
    }
    sticky_focus = iniGetInt(fileBuf, sectionBuf, "sticky_focus", 0) != 0;
}

void Window::OnShow(int) {}

void Window::OnHide(int) {}

void Window::OnClosed() {}

void Window::Close(uint32_t code) {
    result = code;
    if (WM* wm = WM::Get()) wm->CloseAndNotify(this);
}

bool Window::CloseSelf() {
    WM* wm = WM::Get();
    return wm ? wm->Close(this) : false;
}

bool Window::InsertChildFirst(UIWnd* child) {
    if (!child || !uiRoomForChild(this, child, "Window::InsertChildFirst")) return false;
    children.insert(0, child);
    if (active >= 0) ++active;
    return true;
}

void Window::DetachChild(UIWnd* child) {
    if (!child) return;
    int newActive = active;
    for (int i = childCount() - 1; i >= 0; --i) {
        if (children[i] != child) continue;
        children.erase(i);
        if (i <= active) --newActive;  // only entries at or before the focus move it
    }
    active = static_cast<int8_t>(newActive < -1 ? -1 : newActive);
}

void MoveWindowTo(Window* window, int px, int py) {
    if (!window) return;
    for (int i = 0; i < window->childCount(); ++i) {
        UIWnd* child = window->children[i];
        child->x = static_cast<int16_t>(px + (child->x - window->x));
        child->y = static_cast<int16_t>(py + (child->y - window->y));
    }
    window->x = static_cast<int16_t>(px);
    window->y = static_cast<int16_t>(py);
}

namespace {

void shiftPressed(Window* window, int d) {
    if (!window) return;
    for (int i = 0; i < window->childCount(); ++i) {
        UIWnd* child = window->children[i];
        if (child->state != UI_PRESS) continue;
        child->x = static_cast<int16_t>(child->x + d);
        child->y = static_cast<int16_t>(child->y + d);
    }
}

}  // namespace

void ShiftPressedChildren(Window* window) { shiftPressed(window, 1); }

void UnshiftPressedChildren(Window* window) { shiftPressed(window, -1); }
