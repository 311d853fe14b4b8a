// The UI framework: widgets read from INI layout sections, windows (the base of every screen)
// and the window manager that stacks, fades, dims and routes input to them. The one header
// screens and game code include.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/array.h"
#include "core/values.h"
#include "engine/gr/gr.h"

// --- Widgets -----------------------------------------------------------------------------------

// Widget states: disabled (never focused, ignores buttons), normal, active (under the pointer or
// focused) and pressed.
enum { UI_IGNORE = 0, UI_NORMAL = 1, UI_ACTIVE = 2, UI_PRESS = 3 };

// Flag bits of UIWnd::flags.
constexpr uint8_t UI_HIDDEN = 1;
constexpr uint8_t UI_SELECT_MASK = 6;  // two bits: glyph-row shift of the caption
constexpr uint8_t UI_EDITOR_SELECTED = 8;

// A widget holds at most kUiChildSlots - 1 children (127); a caption at most kUiCaptionUnits - 1
// units (1023), as the layouts were made for.
constexpr int kUiChildSlots = 128;
constexpr int kUiCaptionUnits = 1024;
constexpr int kUiSectionSize = 24;
constexpr int kUiFileSize = 256;
constexpr int kUiSoundSize = 16;
// State sprites, then four left caps and four right caps, each in state order.
constexpr int kUiSprites = 12;
constexpr int kUiLeftCap = 4;
constexpr int kUiRightCap = 8;

// Mouse buttons arrive as these key codes, the pointer packed into the key data as x in the low
// and y in the high 16 bits (both signed).
constexpr int kUiLeftButton = 1;
constexpr int kUiEnter = 13;
inline int uiPackedX(intptr_t position) { return static_cast<int16_t>(position & 0xFFFF); }
inline int uiPackedY(intptr_t position) { return static_cast<int16_t>((position >> 16) & 0xFFFF); }
inline intptr_t uiPack(int x, int y) {
    return static_cast<intptr_t>(static_cast<uint32_t>(static_cast<uint16_t>(x)) |
                                 static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16);
}

class UIWnd;

// A widget's ordered children. Most widgets have none, so the list takes room only as children
// come, and it knows its length instead of looking for the end. An index past the end reads as
// null, so a walk over a list that shrank under it stops instead of reading freed entries.
class UIChildList {
public:
    int size() const { return static_cast<int>(items_.size()); }
    UIWnd* operator[](int i) const {
        return i >= 0 && i < size() ? items_[static_cast<size_t>(i)] : nullptr;
    }
    UIWnd* const* begin() const { return items_.data(); }
    UIWnd* const* end() const { return items_.data() + items_.size(); }

    // The list's owner keeps the limit of kUiChildSlots - 1 entries; these only arrange them.
    void insert(int at, UIWnd* child) { items_.insert(items_.begin() + at, child); }
    void erase(int at) { items_.erase(items_.begin() + at); }
    void append(UIWnd* child) { items_.push_back(child); }
    void clear() { items_.clear(); }

private:
    std::vector<UIWnd*> items_;
};

// A widget's caption, kept at the length of its text (most widgets have a short one or none),
// read as the zero-ended text it holds.
class UICaption {
public:
    operator const char16_t*() const { return text_.c_str(); }
    const char16_t* c_str() const { return text_.c_str(); }
    const std::u16string& str() const { return text_; }
    int length() const { return static_cast<int>(text_.size()); }
    // The text up to its first zero or kUiCaptionUnits - 1 units, whichever comes first.
    void assign(const char16_t* text);
    void erase(int at) { text_.erase(text_.begin() + at); }

private:
    std::u16string text_;
};

// The root of every widget and window: a rectangle with a parent, an ordered list of owned
// children, a caption, a state with one sprite per state, two state sounds, a font, a clock and a
// tint. Every input operation returns nonzero when it handled the event, and routing stops there.
class UIWnd {
public:
    UIWnd();
    // Frees the sprites and the font, deletes every child.
    virtual ~UIWnd();
    UIWnd(const UIWnd&) = delete;
    UIWnd& operator=(const UIWnd&) = delete;

    virtual void Load(const char* file, const char* section);
    virtual int OnKeyDown(int key, intptr_t data);
    virtual int OnKeyUp(int key, intptr_t data);
    virtual int OnChar(int character, intptr_t data);
    // Moves the children, then the widget itself (16-bit wrap). 0.
    virtual int Move(int dx, int dy);
    virtual int OnMouseMove(int buttons, intptr_t position);
    virtual intptr_t ForwardToActive(intptr_t a, intptr_t b, intptr_t c);
    // A child reports an activation; the base passes it to the parent (0 without one).
    virtual int OnCommand(UIWnd* sender);
    virtual void Refresh();
    // Adds ms to the clock, then updates the children from the last to the first; nonzero when
    // one of them stopped the walk.
    virtual int Update(int milliseconds);
    virtual int Draw();
    // Appends the child and makes it the active one; it shares this widget's font from then on.
    // Null for a null child or a full list (logged), and the caller keeps the child then.
    virtual UIWnd* AddChild(UIWnd* child);
    // Takes every occurrence of the child out of the list and deletes it.
    virtual void RemoveChild(UIWnd* child);
    virtual void OnIdle();
    virtual bool HitTest(int px, int py);
    virtual void SetValue(float value);
    virtual float GetValue();
    // Plays the transition's sound and takes the state; state 0 also clears the parent's focus
    // on this widget.
    virtual void SetState(int newState);
    virtual void Hook(int value);

    // Captions are cut to 1023 units.
    void SetText(const char* text);
    void SetTextW(const char16_t* text);
    int SetTextF(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // The low byte of each unit into buffer (size bytes with the terminator); the length copied.
    int GetTextA(char* buffer, int size) const;
    int childCount() const { return children.size(); }
    void SetColorAll(uint32_t colour);
    // 1 -> 2 plays sndNormalActive, 2 -> 3 sndActivePress; every other change is silent.
    void PlayStateSound(int from, int to);
    // Keyboard focus: the first normal child from index on, stepping by direction (0: towards
    // index as seen from the active child), wrapping; no active child when none is normal.
    void FocusNext(int index, int direction);
    // Pointer focus: the first enabled child under the point.
    void FocusChildAt(intptr_t position);
    // The layout editor: selection by click, moving and sizing by the arrows, F2 saves.
    int EditorInput(int key, intptr_t data);
    void EditorSave();

    // The shared drawing steps of the widget classes.
    void DrawStateSprite();
    void DrawCaption();
    void DrawBounds();

    bool hidden() const { return (flags & UI_HIDDEN) != 0; }
    void setHidden(bool on) { flags = on ? (flags | UI_HIDDEN) : (flags & ~UI_HIDDEN); }
    int select() const { return (flags & UI_SELECT_MASK) >> 1; }
    UIWnd* activeChild() const;
    // The sprite blending for this widget's tint: alpha, or alpha with a constant tint.
    sMaterial material() const;

    UIWnd* parent = nullptr;
    UIChildList children;
    UICaption caption;
    char section[kUiSectionSize] = {};
    int8_t active = -1;
    int16_t x = 0, y = 0, xs = 0, ys = 0;
    uint8_t state = UI_NORMAL;
    int8_t xalign = 0, yalign = 0;
    // Bit s mirrors the state-s sprite horizontally, bit 4 + s vertically.
    uint8_t flip = 0;
    HSPRITE sprites[kUiSprites] = {};
    CGraphFont* font = nullptr;
    int32_t clock = 0;
    char iniFile[kUiFileSize] = {};
    char sndNormalActive[kUiSoundSize] = {};
    char sndActivePress[kUiSoundSize] = {};
    uint8_t flags = 0;
    uint32_t tint = 0xFFFFFFFFu;

private:
    // What the layout editor changed since the layout was read or last saved.
    int16_t editMove_[4] = {};
};

// A widget drawing the sprite of its state, aligned in its rectangle; the button behaviour of
// every clickable widget (Enter or the left button press it, the release sends OnCommand).
class UIWndSprite : public UIWnd {
public:
    void Load(const char* file, const char* section) override;
    int OnKeyDown(int key, intptr_t data) override;
    int OnKeyUp(int key, intptr_t data) override;
    int Draw() override;

    int16_t xsSpr = 0, ysSpr = 0;  // 0: the sprite's own size
    int8_t xalignSpr = -1, yalignSpr = -1;
};

// A caption word-wrapped into the widget's width, at most 32 lines.
class UITextStatic : public UIWndSprite {
public:
    void Load(const char* file, const char* section) override;
    int Draw() override;

    // The caption's lines as drawn: wrapped again only when caption, font, scale or width change.
    const std::vector<std::u16string>& WrappedLines();

    float xFont = 1.0f, yFont = 1.0f;

private:
    std::u16string wrappedCaption_;
    CGraphFont* wrappedFont_ = nullptr;
    float wrappedScale_ = -1.0f;
    int wrappedWidth_ = -1;
    std::vector<std::u16string> lines_;
    // Strings of earlier wraps, last line first: a new wrap reuses their storage, so a caption
    // that changes while shown (a counter) is wrapped again without allocating.
    std::vector<std::u16string> spareLines_;
};

class UIWndButtonIE;

// A button with an optional prompt window, shown while the button is active or pressed.
class UIWndButtonPrompt : public UIWndSprite {
public:
    ~UIWndButtonPrompt() override;
    void Load(const char* file, const char* section) override;
    void Refresh() override;
    int Draw() override;

    UIWndButtonIE* prompt = nullptr;  // owned; not a child

protected:
    // A prompt loads no prompt of its own, so a section naming itself cannot recurse.
    bool isPrompt_ = false;
};

// A button stretched between a left and a right end cap for each state.
class UIWndButtonIE : public UIWndButtonPrompt {
public:
    void Load(const char* file, const char* section) override;
    int Draw() override;
};

// A widget moved along key frames read from the file named by "animkey", repeating.
class UIAnimWnd : public UIWndSprite {
public:
    struct Key {
        int16_t x, y;
        int32_t time;
        uint8_t visible;
    };
    static constexpr int kMaxKeys = 32;

    void Load(const char* file, const char* section) override;
    int Update(int milliseconds) override;

    int keyCount = 0;
    Key keys[kMaxKeys] = {};
};

// A button cycling through options (its children, read from the keys "0" to "9"); the selected
// option is the active child, and the only one drawn.
class UISwitch : public UIWndButtonIE {
public:
    void Load(const char* file, const char* section) override;
    int OnKeyDown(int key, intptr_t data) override;
    int OnKeyUp(int key, intptr_t data) override;
    int Update(int milliseconds) override;
    int Draw() override;

    UIWnd* selected() const { return activeChild(); }

protected:
    // Options from the keys "0" to "9" up to the first missing or empty one. With exchange, the
    // switch and each option lend each other a missing size, and options move by the switch's
    // corner; without, AddChild places them.
    void LoadOptions(const char* file, const char* section, bool exchange);
    // Selects the next (+1) or previous (-1) option, wrapping, and sends OnCommand.
    int Step(int direction);
};

// A switch whose selected option sits between a left and a right arrow.
class UISwitchSelect : public UISwitch {
public:
    void Load(const char* file, const char* section) override;
    int OnKeyDown(int key, intptr_t data) override;
    int OnKeyUp(int key, intptr_t data) override;
    // Moves the arrows and the options; the selector's own corner stays.
    int Move(int dx, int dy) override;
    int Draw() override;
    // Places and sizes the option between the arrows.
    UIWnd* AddChild(UIWnd* child) override;
    void SetState(int newState) override;

    UIWndSprite left, right;
};

// A bar of options "0" (empty track), "1" (filled track) and "2" (thumb) showing a value in
// 0..1, which the pointer and the Left and Right keys (repeating every 200 ms) also set.
class UIProgress : public UISwitch {
public:
    void Load(const char* file, const char* section) override;
    int OnKeyDown(int key, intptr_t data) override;
    int OnKeyUp(int key, intptr_t data) override;
    int OnMouseMove(int buttons, intptr_t position) override;
    int Update(int milliseconds) override;
    int Draw() override;
    // Limited to 0..1; NaN is ignored.
    void SetValue(float v) override;
    float GetValue() override { return value; }

    float value = 0.0f;
    int32_t repeat = 0;  // the clock when the held arrow last stepped, signed by its direction
    int32_t vertical = 0;

private:
    struct Track {
        int barX, barWidth, start, length;
    };
    Track track() const;
    UIWnd* option(int i) const { return i < childCount() ? children[i] : nullptr; }
    void valueFromPointer(intptr_t position);
};

// A one-line text box: the caption is the text, with a caret at the cursor while focused.
class UIEntryIE : public UIWndButtonIE {
public:
    void Load(const char* file, const char* section) override;
    int OnKeyDown(int key, intptr_t data) override;
    int OnKeyUp(int key, intptr_t data) override;
    int OnChar(int character, intptr_t data) override;
    int Draw() override;
    // The cursor, rounded half to even and kept within the text; NaN gives 0.
    void SetValue(float v) override;
    float GetValue() override { return 0.0f; }

    // The cursor within [0, text length], wherever the text or the cursor came from.
    int Cursor();
    int Length() const;

    int16_t cursor = 0;
    int16_t strsize = kUiCaptionUnits;  // capacity with the terminator
    uint32_t cursorColour = 0xFFFFFFFFu;

protected:
    void EraseAt(int index);
};

// The screens know the text box by this name too.
using UIEditIE = UIEntryIE;

// The text box with Backspace handled on key down, for names typed by the player.
class UIEntryIE_Repaired : public UIEntryIE {
public:
    int OnKeyDown(int key, intptr_t data) override;
    int OnKeyUp(int key, intptr_t data) override;
    int OnChar(int character, intptr_t data) override;
};

// A resizable panel drawn from four corners, four stretched edges and a stretched centre.
class cFrame : public UIWnd {
public:
    enum { LEFT_TOP, TOP, RIGHT_TOP, RIGHT, RIGHT_BOTTOM, BOTTOM, LEFT_BOTTOM, LEFT, CENTER, PIECES };
    ~cFrame() override;
    // Only the rectangle and the nine pieces; nothing when file or section is empty.
    void Load(const char* file, const char* section) override;
    int Draw() override;

    HSPRITE pieces[PIECES] = {};
};

// A new widget of the class the type names (compared without case); null for any other.
UIWnd* CreateWidget(const char* type);
// A widget built from one layout section, added to the parent when there is one, moved by the
// parent's corner (or centre) with relative placement. Null when file or section is empty, the
// file is missing, the type is unknown or the parent's list is full.
UIWnd* CreateChildFromIni(UIWnd* parent, const char* file, const char* section, int relative,
                          int center);
UIWnd* CreateChildFromIniBuf(UIWnd* parent, char* file, char* section, int relative, int center);

int childCount(const UIWnd* widget);
// The first child whose section name equals name without regard to case; null when none.
UIWnd* findChild(UIWnd* widget, const char* name);
// The index of that child; -1 when none.
int findChildIndex(UIWnd* widget, const char* name);
// Named children: shown or hidden with a state; whether one exists, whether it is shown. A
// missing name changes nothing and is not shown.
void showChildWithState(UIWnd* widget, const char* name, uint8_t state);
void hideChildWithState(UIWnd* widget, const char* name, uint8_t state);
bool hasChild(UIWnd* widget, const char* name);
bool isChildShown(UIWnd* widget, const char* name);

// --- Windows -----------------------------------------------------------------------------------

// The base of every screen and dialog: a result code for its opener, pointer focus among its
// children, clipped drawing with pressed children one pixel lower, and the window manager's hooks.
class Window : public UIWnd {
public:
    int OnMouseMove(int buttons, intptr_t position) override;
    int Draw() override;
    // Takes the child out (DetachChild) and deletes it.
    void RemoveChild(UIWnd* child) override;

    // Loads the window from the section and reads "sticky_focus"; nothing when either is empty.
    virtual void Create(const char* file, const char* section);
    // The fade-in starts (0) and ends (1); the fade-out starts (0) and the window leaves (1).
    virtual void OnShow(int finished);
    virtual void OnHide(int finished);
    virtual void OnClosed();
    // Stores the result and closes through the window manager, which then calls OnClosed.
    virtual void Close(uint32_t code);

    bool CloseSelf();
    uint32_t GetResult() const { return result; }
    void ResetResult() { result = 0; }
    // Puts the child in front of the list; parent and font are left alone. False for a null
    // child or a full list (logged).
    bool InsertChildFirst(UIWnd* child);
    // Takes every occurrence of the child out of the list without deleting it.
    void DetachChild(UIWnd* child);

    uint32_t result = 0;
    // Only end-cap buttons take the pointer's focus.
    uint8_t sticky_focus = 0;
    // Its layout file was missing or damaged when it was made (the player was told).
    bool layoutDamaged = false;
};

// Every direct child keeps its offset from the window's corner, which moves to (px, py).
void MoveWindowTo(Window* window, int px, int py);
// Children in state 3 move by (+1, +1) and back.
void ShiftPressedChildren(Window* window);
void UnshiftPressedChildren(Window* window);

// --- The window manager ------------------------------------------------------------------------

// The stack of windows on show. It only points to them: the screens belong to their holders.
// Every input call returns 1; input goes from the top down to the topmost modal or exclusive
// window, to settled windows only.
class WM {
public:
    virtual ~WM() {}
    virtual void Push(Window* window, bool closeOthers, bool modal, bool exclusive) = 0;
    virtual bool Close(Window* window) = 0;
    virtual bool CloseAndNotify(Window* window) = 0;
    virtual bool IsModal(Window* window) = 0;
    virtual int Count() = 0;
    virtual void Clear() = 0;
    virtual int OnKeyDown(int key, intptr_t data) = 0;
    virtual int OnKeyUp(int key, intptr_t data) = 0;
    virtual int OnChar(int character, intptr_t data) = 0;
    virtual int OnMouseMove(int buttons, intptr_t position) = 0;
    virtual int Render() = 0;
    virtual int Update(int milliseconds) = 0;
    // The topmost window that takes input (settled, not closing); null when none.
    virtual Window* Top() { return nullptr; }

    // The one manager: made empty by Create, null before it and after Destroy, which hides every
    // window on the stack first (the windows are not deleted).
    static void Create();
    static WM* Get();
    static void Destroy();
};

// Milliseconds of a fade in or out.
constexpr int kUiFadeMs = 300;

// --- The game's own mouse cursor ---------------------------------------------------------------

struct CursorRecord {
    HSPRITE sprite = nullptr;
    int32_t offsetX = 0, offsetY = 0;  // the hot spot, added to the pointer
    int32_t dT = 0;                    // click spin: starting speed of the click animation
    int32_t ttl = 0;                   // click run: milliseconds of animation after a click
};

// The cursor pictures of "data/cursor/cursor.ini" (sections "cursor00" on), one of them drawn at
// the pointer every frame with its animation, which a click may start.
class cCursorManager {
public:
    cCursorManager();
    ~cCursorManager();
    cCursorManager(const cCursorManager&) = delete;
    cCursorManager& operator=(const cCursorManager&) = delete;

    // One animation step of 25 ms.
    void Step(int milliseconds);
    void Draw();

    int32_t shown = 1;
    int32_t inside = 1;  // the pointer is in the client area
    int32_t current = 0;
    int32_t clock = 0;
    int32_t spin = 0;
    int32_t clicked = 0;
    int32_t runTimer = 0;
    Point16 position;
    int32_t pending = 0;  // milliseconds not yet stepped
    cArray<CursorRecord> records;
};

// Hides the system cursor and makes the manager, when there is none.
void cursorCreate();
// Gives the system cursor back (shown as the manager's own was) and deletes the manager.
void cursorDestroy();
cCursorManager* cursorGet();
// With a manager, whether its cursor is drawn; without, the system cursor's visibility.
void cursorSet(int flag);
bool cursorIsCustom();
// Whether the pointer is in the window's client area; outside it the manager's cursor is not
// drawn (the system's own shows there). Starts inside.
void cursorPointerInside(int inside);
void cursorMove(int buttons, intptr_t position);
// A left-button release: the next step may start the click animation.
void cursorClick();
// The milliseconds that really passed: one animation step per whole 25 ms of them (the rest is
// kept for the next call), then the cursor is drawn.
void cursorTick(int milliseconds);
// Restarts the animation and selects cursor n when 0 <= n < the number of records.
void cursorSelect(int n);
