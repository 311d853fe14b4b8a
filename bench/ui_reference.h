// The reference side of the interface benchmarks: one widget drawn by plain gr calls, the way
// its class draws it, from text lines wrapped beforehand (no layout work in the timed loop).
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "engine/gr/gr.h"
#include "ui/ui.h"

namespace benchref {

inline void drawWhole(const UIWnd* w, HSPRITE s, int x, int y, int width, int height) {
    grDraw(w->material(), x, y, width, height, s, 0, 0, spriteWidth(s), spriteHeight(s), w->tint,
           w->clock);
}

inline void drawFrame(const cFrame* f) {
    const sMaterial m(4, 4, 1, 30);
    auto w = [f](int i) { return spriteWidth(f->pieces[i]); };
    auto h = [f](int i) { return spriteHeight(f->pieces[i]); };
    auto piece = [&](int i, int x, int y, int width, int height) {
        grDraw(m, x, y, width, height, f->pieces[i], 0, 0, w(i), h(i), f->tint, 0);
    };
    const int x = f->x, y = f->y, xs = f->xs, ys = f->ys;
    piece(cFrame::LEFT_TOP, x, y, w(cFrame::LEFT_TOP), h(cFrame::LEFT_TOP));
    piece(cFrame::RIGHT_TOP, x + xs - 16, y, 16, 16);
    piece(cFrame::LEFT_BOTTOM, x, y + ys - 16, 16, 16);
    piece(cFrame::RIGHT_BOTTOM, x + xs - 16, y + ys - 16, 16, 16);
    piece(cFrame::TOP, x + 16, y, xs - 32, 16);
    piece(cFrame::BOTTOM, x + 16, y + ys - 16, xs - 32, 16);
    piece(cFrame::LEFT, x, y + 16, 16, ys - 32);
    piece(cFrame::RIGHT, x + xs - 16, y + 16, 16, ys - 32);
    piece(cFrame::CENTER, x + 16, y + 16, xs - 32, ys - 32);
}

inline void drawBar(const UIProgress* bar) {
    const sMaterial m(4, 4, 1, 30);
    const UIWnd* empty = bar->children[0];
    const UIWnd* filled = bar->children[1];
    const UIWnd* thumb = bar->children[2];
    const int s = bar->state;
    const int barX = filled->x, barWidth = filled->xs, start = barX + thumb->xs / 2;
    const int split = start + static_cast<int>(std::lround((barWidth - thumb->xs) * bar->value));
    HSPRITE f = filled->sprites[s], e = empty->sprites[s];
    grDraw(m, barX, filled->y - filled->ys / 2 + bar->ys / 2, split - barX, spriteHeight(f), f, 0,
           0, split - barX, spriteHeight(f), bar->tint, bar->clock);
    grDraw(m, split, empty->y - empty->ys / 2 + bar->ys / 2, barX + barWidth - split,
           spriteHeight(e), e, split - barX, 0, barX + barWidth - split, spriteHeight(e), bar->tint,
           bar->clock);
    grDrawSpriteColor(m, thumb->x - thumb->xs / 2 - barX + split,
                      thumb->y - thumb->ys / 2 + bar->ys / 2, thumb->sprites[s], bar->tint,
                      bar->clock);
}

// One widget as the reference draws it: sprite widgets, end-cap buttons and edit boxes with
// their captions, texts from their lines wrapped beforehand, the frame, bars and switches.
inline void drawReferenceWidget(const UIWnd* w, const std::vector<std::u16string>& lines) {
    const int s = w->state;
    if (auto* frame = dynamic_cast<const cFrame*>(w)) return drawFrame(frame);
    if (auto* bar = dynamic_cast<const UIProgress*>(w)) return drawBar(bar);
    if (auto* sw = dynamic_cast<const UISwitch*>(w)) {
        const UIWnd* option = sw->selected();
        HSPRITE sprite = option->sprites[option->state];
        drawWhole(option, sprite, option->x, option->y, spriteWidth(sprite), spriteHeight(sprite));
        return;
    }
    if (dynamic_cast<const UIWndButtonIE*>(w)) {
        HSPRITE mid = w->sprites[s], left = w->sprites[4 + s], right = w->sprites[8 + s];
        const int l = spriteWidth(left), r = spriteWidth(right);
        drawWhole(w, mid, w->x + l, w->y, w->xs - l - r, spriteHeight(mid));
        drawWhole(w, left, w->x, w->y, l, spriteHeight(left));
        drawWhole(w, right, w->x + w->xs - r, w->y, r, spriteHeight(right));
        grDrawTextEx(w->material(), w->font, w->x + w->xs / 2, w->y + w->ys / 2, w->caption,
                     w->tint, (w->select() + s) % 4, 0, 0);
        return;
    }
    if (auto* text = dynamic_cast<const UITextStatic*>(w)) {
        if (HSPRITE sprite = w->sprites[s]) drawWhole(w, sprite, w->x, w->y, spriteWidth(sprite),
                                                      spriteHeight(sprite));
        const int h = grFontHeight(w->font);
        int y = w->y + (w->ys - static_cast<int>(lines.size()) * h) / 2;
        const int x = w->xalign < 0 ? w->x : w->x + w->xs / 2;
        for (const std::u16string& line : lines) {
            grDrawTextColor(w->material(), w->font, x, y, text->xFont, text->yFont, line.c_str(),
                            w->tint, (w->select() + s) % 4, w->xalign, -1);
            y += h;
        }
        return;
    }
    HSPRITE sprite = w->sprites[s];
    if (auto* pic = dynamic_cast<const UIWndSprite*>(w)) {
        // Stretched to its own size and aligned in the box, as the layouts ask.
        const int width = pic->xsSpr ? pic->xsSpr : spriteWidth(sprite);
        const int height = pic->ysSpr ? pic->ysSpr : spriteHeight(sprite);
        const int x = pic->xalignSpr < 0 ? w->x : pic->xalignSpr == 0 ? w->x + (w->xs - width) / 2
                                                                       : w->x + w->xs - width;
        const int y = pic->yalignSpr < 0 ? w->y : pic->yalignSpr == 0 ? w->y + (w->ys - height) / 2
                                                                       : w->y + w->ys - height;
        drawWhole(w, sprite, x, y, width, height);
        if (w->caption[0] && w->font) {  // one line of caption, placed by the box's alignment
            const int bw = std::abs(w->xs), bh = std::abs(w->ys);
            const int lx = w->xalign > 0 ? w->x + bw : w->xalign == 0 ? w->x + bw / 2 : w->x;
            const int ly = w->yalign > 0 ? w->y + bh : w->yalign == 0 ? w->y + bh / 2 : w->y;
            grDrawTextEx(w->material(), w->font, lx, ly, w->caption, w->tint, (w->select() + s) % 4,
                         w->xalign, w->yalign);
        }
        return;
    }
    drawWhole(w, sprite, w->x, w->y, spriteWidth(sprite), spriteHeight(sprite));
}

}  // namespace benchref
