// Files, sounds and pixels for the widget tests.
#include "ui_fixtures.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/strings.h"
#include "engine/gr/image.h"
#include "engine/gr/sprite.h"
#include "engine/platform/log.h"
#include "tests/support/temp_folder.h"
#include "ui/ui_internal.h"

namespace {

const bool kOwnFolder = testsupport::workInOwnFolder("velmora_ui", [] { logOpen(); });

std::vector<std::string>* gHeard = nullptr;

void hear(const char* name) {
    if (gHeard) gHeard->push_back(name);
}

}  // namespace

int logLines() {
    std::ifstream log("gerr.log", std::ios::binary);
    int lines = 0;
    for (std::istreambuf_iterator<char> it(log), end; it != end; ++it) lines += *it == '\n';
    return lines;
}

void writeFile(const std::string& name, const std::string& text) {
    std::filesystem::path p(name);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream(name, std::ios::binary) << text;
}

void writeSprite(const std::string& name, int width, int height, uint32_t rgb) {
    std::filesystem::path p(name);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::vector<uint8_t> px(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < px.size(); i += 3) {
        px[i] = static_cast<uint8_t>(rgb);
        px[i + 1] = static_cast<uint8_t>(rgb >> 8);
        px[i + 2] = static_cast<uint8_t>(rgb >> 16);
    }
    cTGAImage writer;
    writer.Save(name.c_str(), px.data(), 24, width, -height);
}

std::string writeTinyFont() {
    const std::string base = "Fonts/tiny";
    writeSprite(base + ".tga", 3 * 94, 4, 0xFFFFFF);
    std::string metrics = "2 4 94\n";
    for (int code = 33; code < 127; ++code)
        metrics += std::to_string(code) + " " + std::to_string((code - 33) * 3) + " 0 0 3 1\n";
    writeFile(base + ".fh", metrics);
    return base + ".tga";
}

HeardSounds::HeardSounds() {
    gHeard = &names;
    uiSetSoundHook(hear);
}

HeardSounds::~HeardSounds() {
    uiSetSoundHook(nullptr);
    gHeard = nullptr;
}

Target::Target(int width, int height)
    : sprite(grCreateSprite(width, height, "ui test target")), previous(grScreen()) {
    grSetTarget(sprite);
    clear();
}

Target::~Target() {
    grSetTarget(previous);
    grFreeSprite(sprite);
}

uint16_t Target::at(int x, int y) {
    grLockSprite(sprite);
    return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(sprite->pixels) +
                                       y * sprite->pitch)[x];
}

void Target::clear() {
    grLockSprite(sprite);
    for (int y = 0; y < sprite->height; ++y)
        memset(reinterpret_cast<uint8_t*>(sprite->pixels) + y * sprite->pitch, 0,
               static_cast<size_t>(sprite->width) * 2);
}

uint16_t rgb565(uint32_t rgb) {
    return static_cast<uint16_t>(((rgb >> 19) & 31) << 11 | ((rgb >> 10) & 63) << 5 |
                                 ((rgb >> 3) & 31));
}

UIWnd* widgetAt(UIWnd* widget, const char* name, int x, int y, int w, int h, int state) {
    StrCopyN(widget->section, name, kUiSectionSize);
    widget->x = static_cast<int16_t>(x);
    widget->y = static_cast<int16_t>(y);
    widget->xs = static_cast<int16_t>(w);
    widget->ys = static_cast<int16_t>(h);
    widget->state = static_cast<uint8_t>(state);
    return widget;
}
