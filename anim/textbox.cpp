// Text box layout: words, line filling and the scale search.
#include "anim/textbox.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "core/strings.h"
#include "core/text.h"

namespace {

constexpr float kTinyBox = 0.00001f;

struct Word {
    const char16_t* start;
    int length;  // with its one trailing space, when it has one
    float width;
};

// Words cut at spaces: each keeps one trailing space, extra spaces are dropped.
void splitWords(const char16_t* text, CGraphFont* font, cArray<Word>& words) {
    words.clear();
    const char16_t* p = text;
    while (*p) {
        while (*p == u' ') ++p;
        if (!*p) break;
        const char16_t* start = p;
        while (*p && *p != u' ') ++p;
        if (*p == u' ') ++p;
        Word w;
        w.start = start;
        w.length = static_cast<int>(p - start);
        w.width = static_cast<float>(grTextWidth(font, start, w.length));
        words.push_back(w);
    }
}

char16_t* joinWords(const cArray<Word>& words, uint32_t from, uint32_t to) {
    int length = 0;
    for (uint32_t i = from; i < to; ++i) length += words[i].length;
    char16_t* line = static_cast<char16_t*>(malloc((length + 1) * sizeof(char16_t)));
    if (!line) return nullptr;
    int at = 0;
    for (uint32_t i = from; i < to; ++i)
        for (int k = 0; k < words[i].length; ++k) line[at++] = words[i].start[k];
    line[at] = 0;
    return line;
}

// A count computed in floats, limited to [0, most] before it becomes an int: box sizes from a
// file may be far beyond the int range.
int clampedCount(float v, int most) {
    if (!(v > 0.0f)) return 0;
    return v >= static_cast<float>(most) ? most : static_cast<int>(v);
}

// Scale for n lines, then the lines themselves, then the scale shrunk until the widest fits.
void fillLines(const cArray<Word>& words, CGraphFont* font, float textW, float fontH, int n,
               float boxWidth, float boxHeight, float maxScale, TextLines& lines, float& scale) {
    if (n < 1) n = 1;
    const float s = floatMin(boxHeight / (n * fontH), n * boxWidth / textW);
    scale = s <= maxScale ? s : maxScale;
    const float target = (textW / n) * scale;
    const uint32_t first = lines.size();
    uint32_t next = 0;
    for (int line = 0; line < n && next < words.size(); ++line) {
        uint32_t end = next;
        if (line == n - 1) {
            end = words.size();
        } else {
            float taken = 0.0f;
            while (end < words.size()) {
                const float w = words[end].width * scale;
                if (taken + w <= target) {
                    taken += w;
                    ++end;
                    continue;
                }
                if (w / 2.0f < target - taken) ++end;
                break;
            }
        }
        if (end > next) lines.push_back(joinWords(words, next, end));
        next = end;
    }
    for (uint32_t i = first; i < lines.size(); ++i) {
        const float w = textWidthF(font, lines[i]) * scale;
        if (w > boxWidth) scale = boxWidth / w * scale;
    }
}

bool boxUsable(const char16_t* text, float boxWidth, float boxHeight) {
    return text[0] && boxWidth > kTinyBox && boxHeight > kTinyBox;
}

}  // namespace

void freeTextLines(TextLines& lines) {
    for (uint32_t i = 0; i < lines.size(); ++i) free(lines[i]);
    lines.clear();
}

float textWidthF(CGraphFont* font, const char16_t* text) {
    if (!font || !text) return 0.0f;
    return static_cast<float>(grTextWidth(font, text, INT_MAX));
}

float fontHeightF(CGraphFont* font) { return font ? static_cast<float>(grFontHeight(font)) : 0.0f; }
float floorF(float x) { return std::floor(x); }
float ceilF(float x) { return std::ceil(x); }
float sqrtF(float x) { return std::sqrt(x); }

bool fitTextInBox(const char16_t* text, TextLines* lines, float* scale, CGraphFont* font,
                  float boxWidth, float boxHeight, float maxScale) {
    if (!font || !text || !lines || !scale) return false;
    lines->clear();
    float s = maxScale;
    bool result = false;
    const float fontH = fontHeightF(font);
    if (boxUsable(text, boxWidth, boxHeight) && fontH > 0.0f) {
        result = true;
        cArray<Word> words;
        splitWords(text, font, words);
        const int most = static_cast<int>(words.size());
        const float textW = textWidthF(font, text);
        // A row count above the words + 1 changes no decision below.
        const int rows = clampedCount(floorF(boxHeight / fontH), most + 1);
        int n = clampedCount(ceilF(textW / (boxWidth * 0.8f)), most);
        if (n > rows - 1) {
            n = clampedCount(ceilF(textW / boxWidth), most);
            if (n > rows) result = false;
        }
        fillLines(words, font, textW, fontH, n, boxWidth, boxHeight, maxScale, *lines, s);
    }
    *scale = s;
    if (s < 1.0f) result = false;
    return result;
}

void layoutTextInBox(const char16_t* text, TextLines* lines, float* scale, CGraphFont* font,
                     float boxWidth, float boxHeight, float maxScale) {
    if (!font) return;
    // The lines held before are replaced whatever happens next.
    if (lines) freeTextLines(*lines);
    if (text && boxUsable(text, boxWidth, boxHeight)) {
        if (wstrFind(text, u"<>")) {
            const unsigned length = wstrLen(text);
            char16_t* copy = static_cast<char16_t*>(malloc((length + 1) * sizeof(char16_t)));
            if (!copy) return;
            wstrCopy(copy, text);
            float smallest = maxScale;
            TextLines part;
            char16_t* p = copy;
            while (p) {
                char16_t* mark = const_cast<char16_t*>(wstrFind(p, u"<>"));
                if (mark) *mark = 0;
                if (p[0]) {
                    float s = maxScale;
                    fitTextInBox(p, &part, &s, font, boxWidth, boxHeight, maxScale);
                    // The smallest scale keeps every paragraph inside the box.
                    smallest = floatMin(smallest, s);
                    for (uint32_t i = 0; i < part.size(); ++i) {
                        if (lines) lines->push_back(part[i]);
                        else free(part[i]);
                    }
                    part.clear();
                }
                p = mark ? mark + 2 : nullptr;
            }
            free(copy);
            if (scale) *scale = smallest;
            return;
        }
    }
    if (fitTextInBox(text, lines, scale, font, boxWidth, boxHeight, maxScale)) return;
    if (lines) freeTextLines(*lines);
    if (!text || !lines || !scale) return;
    *scale = maxScale;
    const float fontH = fontHeightF(font);
    if (!boxUsable(text, boxWidth, boxHeight) || fontH <= 0.0f) return;
    cArray<Word> words;
    splitWords(text, font, words);
    const float textW = textWidthF(font, text);
    const int most = static_cast<int>(words.size());
    const float ratio = sqrtF((textW * boxHeight) / (fontH * boxWidth));
    int n = ratio >= static_cast<float>(most) ? most : roundToInt(ratio);
    if (n < 1) n = 1;
    fillLines(words, font, textW, fontH, n, boxWidth, boxHeight, maxScale, *lines, *scale);
}
