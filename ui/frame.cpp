// The nine-piece frame: corners drawn whole, edges and centre stretched to the frame's size.
#include "engine/data/ini.h"
#include "core/strings.h"
#include "ui/ui_internal.h"

namespace {

const char* const kPieceNames[cFrame::PIECES] = {"left_top",     "top",    "right_top",
                                                 "right",        "right_bottom", "bottom",
                                                 "left_bottom",  "left",   "center"};

}  // namespace

cFrame::~cFrame() {
    for (HSPRITE& piece : pieces) {
        grFreeSprite(piece);
        piece = nullptr;
    }
}

void cFrame::Load(const char* file, const char* name) {
    if (!file || !*file || !name || !*name) return;
    x = static_cast<int16_t>(layoutNumber(file, name, "x", INT16_MIN, INT16_MAX));
    y = static_cast<int16_t>(layoutNumber(file, name, "y", INT16_MIN, INT16_MAX));
    xs = static_cast<int16_t>(layoutNumber(file, name, "xs", INT16_MIN, INT16_MAX));
    ys = static_cast<int16_t>(layoutNumber(file, name, "ys", INT16_MIN, INT16_MAX));
    char value[kUiFileSize];
    for (int i = 0; i < PIECES; ++i) {
        StrCopyN(value, iniGetString(file, name, kPieceNames[i], ""), sizeof value);
        if (!*value) continue;
        grFreeSprite(pieces[i]);
        pieces[i] = grLoadSprite(value, nullptr, 0);
    }
}

int cFrame::Draw() {
    const sMaterial m(4, 4, 1, 30);
    auto w = [this](int i) { return spriteWidth(pieces[i]); };
    auto h = [this](int i) { return spriteHeight(pieces[i]); };
    // A piece whose room is empty is left out: a negative size would mirror it outside.
    auto stretch = [&](int i, int px, int py, int width, int height) {
        if (!pieces[i] || width <= 0 || height <= 0) return;
        grDraw(m, px, py, width, height, pieces[i], 0, 0, w(i), h(i), tint, 0);
    };
    auto corner = [&](int i, int px, int py) {
        if (pieces[i]) grDrawSpriteColor(m, px, py, pieces[i], tint, 0);
    };
    corner(LEFT_TOP, x, y);
    corner(RIGHT_TOP, x + xs - w(RIGHT_TOP), y);
    corner(LEFT_BOTTOM, x, y + ys - h(LEFT_BOTTOM));
    corner(RIGHT_BOTTOM, x + xs - w(RIGHT_BOTTOM), y + ys - h(RIGHT_BOTTOM));
    stretch(TOP, x + w(LEFT_TOP), y, xs - w(LEFT_TOP) - w(RIGHT_TOP), h(TOP));
    stretch(BOTTOM, x + w(LEFT_BOTTOM), y + ys - h(BOTTOM), xs - w(LEFT_BOTTOM) - w(RIGHT_BOTTOM),
            h(BOTTOM));
    stretch(LEFT, x, y + h(LEFT_TOP), w(LEFT), ys - h(LEFT_TOP) - h(LEFT_BOTTOM));
    stretch(RIGHT, x + xs - w(RIGHT), y + h(RIGHT_TOP), w(RIGHT),
            ys - h(RIGHT_TOP) - h(RIGHT_BOTTOM));
    // The centre fills what the four edges leave.
    stretch(CENTER, x + w(LEFT), y + h(TOP), xs - w(LEFT) - w(RIGHT), ys - h(TOP) - h(BOTTOM));
    return UIWnd::Draw();
}
