// The window manager: the stack of windows on show, their fades through darkness, the dimming
// under a modal dialog, input routing from the top down and the fixed-step update and drawing.
#include <algorithm>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "core/array.h"
#include "ui/ui_internal.h"

namespace {

constexpr uint32_t kModal = 1;
constexpr uint32_t kClosing = 2;
constexpr uint32_t kOpening = 4;
constexpr uint32_t kExclusive = 8;
constexpr const char* kDarknessFile = "Data/fx/darkness.tga";

struct Entry {
    Window* window = nullptr;
    uint32_t flags = 0;
    int32_t fade = 0;  // ms into the running fade, 0..300
};

// A screen that has gone lets its pictures go; the allocator is asked to hand the pages they
// left back to the system, which it would otherwise keep for good (a picture's megabyte sits in
// the middle of the heap, above anything a trim of its top could reach).
void giveBackFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

// The darkness laid over an entry's window: rising while it closes, falling while it opens.
float fadeValue(const Entry& e) {
    if (e.flags & kClosing) return e.fade / float(kUiFadeMs);
    if (e.flags & kOpening) return 1.0f - e.fade / float(kUiFadeMs);
    return 0.0f;
}

class InternalWM : public WM {
public:
    InternalWM() : darkness_(grLoadSprite(kDarknessFile, nullptr, 0)) {}
    ~InternalWM() override {
        entries_.release();
        grFreeSprite(darkness_);
    }

    void Push(Window* window, bool closeOthers, bool modal, bool exclusive) override {
        if (!window) return;
        if (closeOthers)
            for (uint32_t i = 0; i < entries_.size(); ++i) startClose(entries_[i]);
        Entry e;
        e.window = window;
        e.flags = kOpening | (modal ? kModal : 0) | (exclusive ? kExclusive : 0);
        entries_.push_back(e);
    }

    bool Close(Window* window) override {
        for (uint32_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].window == window) {
                startClose(entries_[i]);
                return true;
            }
        return false;
    }

    bool CloseAndNotify(Window* window) override {
        if (!Close(window)) return false;
        window->OnClosed();
        return true;
    }

    bool IsModal(Window* window) override {
        if (!window) return false;
        for (int i = static_cast<int>(entries_.size()) - 1; i >= 0; --i)
            if (entries_[i].window == window) return (entries_[i].flags & kModal) != 0;
        return false;
    }

    int Count() override { return static_cast<int>(entries_.size()); }

    Window* Top() override {
        for (int i = static_cast<int>(entries_.size()) - 1; i >= 0; --i)
            if (!(entries_[i].flags & (kOpening | kClosing))) return entries_[i].window;
        return nullptr;
    }

    // A window pushed afterwards must not wait for entries that are gone.
    void Clear() override {
        entries_.clear();
        closing_ = 0;
    }

    int OnKeyDown(int key, intptr_t data) override {
        return route([&](Window* w) { return w->OnKeyDown(key, data); });
    }
    int OnKeyUp(int key, intptr_t data) override {
        return route([&](Window* w) { return w->OnKeyUp(key, data); });
    }
    int OnChar(int character, intptr_t data) override {
        return route([&](Window* w) { return w->OnChar(character, data); });
    }
    int OnMouseMove(int buttons, intptr_t position) override {
        return route([&](Window* w) { return w->OnMouseMove(buttons, position); });
    }

    int Render() override {
        drawDarkness(nullptr, 1.0f);
        HSPRITE screen = grScreen();
        int c0, c1, c2, c3;
        grGetClip(screen, &c0, &c1, &c2, &c3);
        const int floor = topmost(kModal);
        for (uint32_t i = 0; i < entries_.size(); ++i) {
            const Entry e = entries_[i];
            if (closing_ != 0 && !(e.flags & kClosing) && static_cast<int>(i) >= floor) continue;
            // A modal dialog vanishes at once when it closes.
            if ((e.flags & (kModal | kClosing)) != (kModal | kClosing)) e.window->Draw();
            if (i + 1 < entries_.size() && (entries_[i + 1].flags & kModal)) {
                drawDarkness(e.window, (1.0f - fadeValue(entries_[i + 1])) * 0.5f);
                continue;
            }
            if (!(e.flags & kModal)) drawDarkness(e.window, fadeValue(e));
        }
        grSetClip(screen, c0, c1, c2, c3);
        return 1;
    }

    int Update(int ms) override {
        // Entries below an exclusive one are neither faded nor updated. Handlers may push, close
        // or clear: the entry at the walk's place is looked at afresh after every call.
        uint32_t i = static_cast<uint32_t>(topmost(kExclusive));
        while (i < entries_.size()) {
            Window* w = entries_[i].window;
            if (entries_[i].flags & kClosing) {
                if (entries_[i].fade == 0) {
                    w->OnHide(0);
                    if (!sameAt(i, w)) continue;
                }
                Entry& e = entries_[i];
                e.fade = std::min(kUiFadeMs, e.fade + ms);
                if (e.fade >= kUiFadeMs) {
                    entries_.erase(i);
                    recountClosing();
                    w->OnHide(1);
                    giveBackFreedMemory();
                    continue;
                }
            } else if ((entries_[i].flags & kOpening) && closing_ == 0) {
                if (entries_[i].fade == 0) {
                    w->OnShow(0);
                    if (!sameAt(i, w)) continue;
                }
                Entry& e = entries_[i];
                e.fade = std::min(kUiFadeMs, e.fade + ms);
                if (e.fade >= kUiFadeMs) {
                    e.flags &= ~kOpening;
                    w->OnShow(1);
                    if (!sameAt(i, w)) continue;
                }
            }
            if (!(entries_[i].flags & (kOpening | kClosing))) w->Update(ms);
            ++i;
        }
        return 1;
    }

    // Every window on the stack, bottom first, hears that it is hidden, as at the manager's end.
    void HideAll() {
        cArray<Window*> windows;
        for (uint32_t i = 0; i < entries_.size(); ++i) windows.push_back(entries_[i].window);
        for (uint32_t i = 0; i < windows.size(); ++i) {
            windows[i]->OnHide(0);
            windows[i]->OnHide(1);
        }
        windows.release();
    }

private:
    // An opening entry reverses its fade from where it stood; any other starts it at 0. The
    // count is of closing entries, so an entry closed twice counts once.
    void startClose(Entry& e) {
        if (e.flags & kOpening) {
            e.flags &= ~kOpening;
            e.fade = std::clamp(kUiFadeMs - e.fade, 0, kUiFadeMs);
        } else {
            e.fade = 0;
        }
        e.flags |= kClosing;
        recountClosing();
    }

    void recountClosing() {
        closing_ = 0;
        for (uint32_t i = 0; i < entries_.size(); ++i) closing_ += (entries_[i].flags & kClosing) ? 1 : 0;
    }

    bool sameAt(uint32_t i, const Window* w) const {
        return i < entries_.size() && entries_[i].window == w;
    }

    // The index of the topmost entry with any of the flags; 0 when none has them.
    int topmost(uint32_t flags) const {
        for (int i = static_cast<int>(entries_.size()) - 1; i >= 0; --i)
            if (entries_[i].flags & flags) return i;
        return 0;
    }

    // From the top down to the topmost modal or exclusive entry, settled entries only. The floor
    // is read afresh at every step, so a window a handler pushes as modal ends the walk.
    template <class Call>
    int route(Call call) {
        for (int i = static_cast<int>(entries_.size()) - 1;; --i) {
            if (i >= static_cast<int>(entries_.size())) i = static_cast<int>(entries_.size()) - 1;
            if (i < 0 || i < topmost(kModal | kExclusive)) break;
            const Entry e = entries_[i];
            if (e.flags & (kOpening | kClosing)) continue;
            if (call(e.window)) break;
        }
        return 1;
    }

    void drawDarkness(const Window* w, float strength) {
        if (!darkness_) return;
        const int alpha = static_cast<int>(std::clamp(strength * 255.0f, 0.0f, 255.0f));
        // A settled window is under no darkness: blending nothing over the screen would cost a
        // whole-screen pass every frame.
        if (alpha == 0) return;
        int x = 0, y = 0, width = 0, height = 0;
        if (w) {
            x = w->x;
            y = w->y;
            width = w->xs;
            height = w->ys;
        } else {
            int bits = 0, full = 0;
            grGetMode(&width, &height, &bits, &full);
            if (width == 0) {  // no display: the whole target
                width = spriteWidth(grScreen());
                height = spriteHeight(grScreen());
            }
        }
        grDraw(sMaterial(2, 4, 1, 30), x, y, width, height, darkness_, 0, 0,
               spriteWidth(darkness_), spriteHeight(darkness_),
               static_cast<uint32_t>(alpha) << 24 | 0xFFFFFFu, 0);
    }

    cArray<Entry> entries_;
    HSPRITE darkness_;
    int closing_ = 0;
};

WM* gWM = nullptr;

}  // namespace

void WM::Create() {
    if (gWM) return;
    gWM = new InternalWM;
    gWM->Clear();
}

WM* WM::Get() { return gWM; }

void WM::Destroy() {
    if (!gWM) return;
    if (InternalWM* internal = dynamic_cast<InternalWM*>(gWM)) internal->HideAll();
    WM* wm = gWM;
    gWM = nullptr;
    delete wm;
}

void wmInstall(WM* wm) {
    if (wm == gWM) return;
    delete gWM;
    gWM = wm;
}
