// The layout check of the screens' texts.
#include "tests/screens/layout_check.h"

#include <cmath>
#include <algorithm>
#include <cstdlib>

#include "engine/gr/gr.h"

namespace {

// The caption as Latin-1 text for the messages (the fonts hold Latin-1 only).
std::string narrow(const char16_t* text) {
    std::string out;
    for (; *text; ++text) out += static_cast<char>(*text < 256 ? *text : '?');
    return out;
}

std::string describe(const TextBox& b) {
    return std::string(b.widget->iniFile) + " [" + b.widget->section + "] \"" +
           narrow(b.widget->caption) + "\"";
}

// The lines a plain caption is drawn in: cut at each "<>" marker.
std::vector<std::u16string> markerLines(const char16_t* caption) {
    std::vector<std::u16string> lines(1);
    for (const char16_t* p = caption; *p; ++p) {
        if (p[0] == u'<' && p[1] == u'>') {
            lines.emplace_back();
            ++p;
        } else {
            lines.back() += *p;
        }
    }
    return lines;
}

bool visible(const UIWnd* w, const UIWnd* top) {
    for (; w && w != top; w = w->parent)
        if (w->hidden()) return false;
    return true;
}

void collect(UIWnd* w, UIWnd* top, std::vector<TextBox>* boxes) {
    for (int i = 0; i < w->childCount(); ++i) {
        UIWnd* c = w->children[i];
        if (!visible(c, top)) continue;
        TextBox box;
        if (textBoxOf(c, &box)) boxes->push_back(box);
        collect(c, top, boxes);
    }
}

}  // namespace

bool textBoxOf(UIWnd* widget, TextBox* box) {
    if (!widget || !widget->font || !widget->caption[0]) return false;
    CGraphFont* font = widget->font;
    const int lineHeight = grFontHeight(font);
    const int w = std::abs(widget->xs), h = std::abs(widget->ys);
    box->widget = widget;
    if (auto* text = dynamic_cast<UITextStatic*>(widget)) {
        const std::vector<std::u16string>& lines = text->WrappedLines();
        int widest = 0;
        for (const std::u16string& line : lines)
            widest = std::max(widest, static_cast<int>(std::lround(
                                          grTextWidth(font, line.c_str(), static_cast<int>(line.size())) *
                                          text->xFont)));
        const int block = static_cast<int>(lines.size()) * lineHeight;
        const int top = widget->yalign == 0   ? widget->y + (h - block) / 2
                        : widget->yalign > 0 ? widget->y + h - block
                                             : widget->y;
        const int left = widget->xalign > 0    ? widget->x + w - widest
                         : widget->xalign == 0 ? widget->x + (w - widest) / 2
                                               : widget->x;
        *box = {widget, left, top, left + widest, top + block, widest, block};
        return true;
    }
    // Sprites and buttons draw their caption as lines cut at the markers, each two lines apart.
    if (!dynamic_cast<UIWndSprite*>(widget)) return false;
    const std::vector<std::u16string> lines = markerLines(widget->caption);
    int widest = 0;
    for (const std::u16string& line : lines)
        widest = std::max(widest, grTextWidth(font, line.c_str(), static_cast<int>(line.size())));
    const int block = (2 * static_cast<int>(lines.size()) - 1) * lineHeight;
    const int ly = widget->yalign > 0 ? widget->y + h : widget->yalign == 0 ? widget->y + h / 2 : widget->y;
    const int top = widget->yalign > 0 ? ly - lineHeight : widget->yalign == 0 ? ly - lineHeight / 2 : ly;
    const int lx = widget->xalign > 0 ? widget->x + w : widget->xalign == 0 ? widget->x + w / 2 : widget->x;
    const int left = widget->xalign > 0 ? lx - widest : widget->xalign == 0 ? lx - widest / 2 : lx;
    *box = {widget, left, top, left + widest, top + block, widest, block};
    return true;
}

std::vector<std::string> fitFaults(const TextBox& box) {
    std::vector<std::string> faults;
    const int w = std::abs(box.widget->xs), h = std::abs(box.widget->ys);
    if (box.widest > w)
        faults.push_back(describe(box) + ": " + std::to_string(box.widest) + " px wide in " +
                         std::to_string(w));
    // A line's cell holds blank rows over and under its letters: a block may reach past the
    // widget by a little of that.
    if (box.height > h + grFontHeight(box.widget->font) / 8)
        faults.push_back(describe(box) + ": " + std::to_string(box.height) + " px high in " +
                         std::to_string(h));
    return faults;
}

std::vector<std::string> layoutFaults(UIWnd* window) {
    std::vector<TextBox> boxes;
    collect(window, window, &boxes);
    std::vector<std::string> faults;
    for (const TextBox& b : boxes)
        for (const std::string& f : fitFaults(b)) faults.push_back(f);
    for (size_t i = 0; i < boxes.size(); ++i)
        for (size_t j = i + 1; j < boxes.size(); ++j) {
            const TextBox &a = boxes[i], &b = boxes[j];
            if (a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1)
                faults.push_back(describe(a) + " overlaps " + describe(b));
        }
    return faults;
}
