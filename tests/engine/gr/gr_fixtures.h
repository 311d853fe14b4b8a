// Sprite and display fixtures: image files written into the private folder the tests run in,
// and the log.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "image_fixtures.h"

// The RGB565 value the sprite loader makes of a colour.
uint16_t rgb565(Rgb c);

// Image files relative to the test folder (folders are created). Pixels come top row first.
void writeTga24(const std::string& name, int width, int height,
                const std::function<Rgb(int x, int y)>& colour);
void writeTga32(const std::string& name, int width, int height,
                const std::function<Rgb(int x, int y)>& colour,
                const std::function<int(int x, int y)>& alpha);
// 8-bit gray without a colour map: what an alpha image should be.
void writeGrayTga(const std::string& name, int width, int height,
                  const std::function<int(int x, int y)>& value);
void writeJpeg(const std::string& name, int width, int height,
               const std::function<Rgb(int x, int y)>& colour);
void writeText(const std::string& name, const std::string& text);

// The whole log so far, and its number of lines.
std::string logText();
int logLines();
