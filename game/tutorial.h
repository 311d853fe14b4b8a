// In-level hints: the screen darkened but for a spot on the thing concerned, an arrow at the spot
// and a framed window with the heroine, the hint's text and a check box that switches hints off.
// Each hint opens at most once per player; the profile remembers the hints shown.
#pragma once

#include <cstdint>
#include <string>

#include "core/strings.h"
#include "core/strmap.h"
#include "core/values.h"
#include "engine/gr/gr.h"
#include "ui/ui.h"

// One hint of Data/Tutorial/Tutorial.ini, named by its section.
struct cTutorialHint {
    CString name;
    Point2i textSize{0, 0};  // measured when the hint opens
    std::u16string text;
    bool shown = false;
    bool offScreenTold = false;  // the log says once, not every frame the hint is asked for
};

// The check box in the hint's window: the player's "tips on" setting, changed by a click.
class cTutorialCheckBox {
public:
    cTutorialCheckBox() = default;
    ~cTutorialCheckBox();
    cTutorialCheckBox(const cTutorialCheckBox&) = delete;
    cTutorialCheckBox& operator=(const cTutorialCheckBox&) = delete;

    void Load(const char* file, const char* section);
    void Draw();
    // Edges included.
    bool Contains(int px, int py) const;

    HSPRITE offSprite = nullptr;
    HSPRITE onSprite = nullptr;
    Point2i pos{0, 0};
    Point2i size{0, 0};
    bool isChecked = false;
    std::u16string text;
    CGraphFont* font = nullptr;
};

// What a closing hint asks of the level screen: play goes on, and the click that closed the hint
// acts on the spotted thing too.
class TutorialLevel {
public:
    virtual ~TutorialLevel() {}
    virtual void ResumeFromTutorial() = 0;
    virtual int OnButtonDown(int button, intptr_t position) = 0;
};

class cTutorial {
public:
    cTutorial();
    ~cTutorial();
    cTutorial(const cTutorial&) = delete;
    cTutorial& operator=(const cTutorial&) = delete;

    // Builds gTutorial afresh from the file (nothing for a null or empty path); the current
    // player's shown hints and setting are read with it.
    static void Load(const char* path);
    static void Free();

    // Opens the hint with a rectangular spot (screen pixels). False when the file has no such
    // hint, it is the one opened last, or the spot lies wholly off the screen (it could never be
    // clicked, and the level would wait for ever).
    bool Show(const char* name, Point2i pos, Point2i size);
    bool ShowAt(const char* name, Point2i centre, int radius);
    void AddTime(int milliseconds) { clock += milliseconds; }
    void Draw();
    // Button 1 while a hint is open: the check box toggles; a click inside the spot closes the
    // hint, stores the setting and reaches the level screen as its own click.
    void OnMouseDown(int button, intptr_t position);
    void MarkShown(const char* name);
    // True when the player's hints are off, there is no player, or no such hint.
    bool WasShown(const char* name) const;

    // The level screen that hears a closing hint; null: nobody.
    void SetLevel(TutorialLevel* level) { level_ = level; }
    TutorialLevel* GetLevel() const { return level_; }
    cTutorialHint* FindHint(const char* name) const;

    cStrMap<cTutorialHint> hints;
    Point2i spotPos{0, 0};
    Point2i spotSize{0, 0};
    int32_t circleSpot = 0;
    int32_t clock = 0;
    HSPRITE back = nullptr;
    HSPRITE spot = nullptr;
    HSPRITE arrow = nullptr;
    HSPRITE picture = nullptr;
    CGraphFont* font = nullptr;
    cFrame frame;
    UITextStatic textWnd;
    cTutorialCheckBox checkBox;
    Point2i picturePos{0, 0};
    Point2i checkBoxPos{0, 0};
    Point2i textOffset{0, 0};
    Point2i bound{0, 0};
    Point2i boundsTopLeft{0, 0};
    Point2i boundsBottomRight{0, 0};
    int32_t spotR = 0;

private:
    void measure(cTutorialHint& hint) const;
    void placeFrame(Point2i pos, Point2i size);
    // Moves a frame that covers the spot (widened as drawn) or the arrow to a clear side.
    void keepFrameClear(int W, int H);

    TutorialLevel* level_ = nullptr;
};

extern cTutorial* gTutorial;
// The hint opened last; null until one opens after a load.
extern cTutorialHint* gOpenHint;

// For the level world's hook: marks a hint of gTutorial as needing no showing any more.
void tutorialMarkShown(const char* name);
