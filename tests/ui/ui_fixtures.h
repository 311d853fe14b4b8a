// What the widget tests share: files written into the binary's own folder (layouts, opaque
// sprites, a tiny font), the state sounds heard, and a draw target to read pixels from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/gr/gr.h"
#include "ui/ui.h"

// Lines in the log so far (the binary runs in a folder of its own, with a fresh log).
int logLines();

// Writes a text file, making its folders.
void writeFile(const std::string& name, const std::string& text);
// A 24-bit sprite of one colour (0xRRGGBB, not black, so every pixel draws).
void writeSprite(const std::string& name, int width, int height, uint32_t rgb);
// A white font of 4-pixel lines: every code from 33 to 126 is 3 pixels wide with one pixel of
// advance after it, so a glyph advances 4 and a space (or any code below 33) 2.
std::string writeTinyFont();

// The state sounds played while one is alive, in order.
struct HeardSounds {
    HeardSounds();
    ~HeardSounds();
    std::vector<std::string> names;
};

// A blank target of its own for one test; the RGB565 value at a pixel.
struct Target {
    HSPRITE sprite;
    HSPRITE previous;
    Target(int width, int height);
    ~Target();
    uint16_t at(int x, int y);
    void clear();
};
uint16_t rgb565(uint32_t rgb);

// A window holding children for a test, deleted with them.
struct TestWindow : Window {
    std::vector<std::string> commands;
    int OnCommand(UIWnd* sender) override {
        commands.push_back(sender->section);
        return 1;
    }
};

// A bare widget at a rectangle in a state, named.
UIWnd* widgetAt(UIWnd* widget, const char* name, int x, int y, int w, int h, int state);
