// Checks a screen's texts as the player sees them: each measured with its own font fits its widget,
// and no two visible texts cover one another.
#pragma once

#include <string>
#include <vector>

#include "ui/ui.h"

// Where a widget's caption is drawn, as the widget draws it.
struct TextBox {
    const UIWnd* widget = nullptr;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    // The widest line and the whole block, against the widget's own size.
    int widest = 0, height = 0;
};

// The caption's box; false for a widget that draws no text (no caption, no font, or a plain
// widget that does not draw its caption).
bool textBoxOf(UIWnd* widget, TextBox* box);

// The faults of a text box alone: a line wider than the widget, a block taller than it.
std::vector<std::string> fitFaults(const TextBox& box);

// Every visible widget under the window (the window's own hidden children and theirs left out):
// its text must fit, and no two texts may overlap. One line per fault, naming the sections.
std::vector<std::string> layoutFaults(UIWnd* window);
