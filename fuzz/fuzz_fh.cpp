// Fuzzes the font metric reader: arbitrary bytes as a ".fh" text in memory for a font image of a
// size taken from the input, then every glyph measured and looked up.
#include <cstdint>

#include "engine/gr/font.h"
#include "engine/gr/gr.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::scratchDir();  // the log goes to /dev/null
    if (size < 2 || size > (1u << 20)) return 0;
    CGraphFont font;
    // An image size from the first two bytes, so glyphs both fit and reach past its edges.
    font.width = static_cast<int16_t>(data[0] * 4);
    font.height = static_cast<int16_t>(data[1]);
    font.fullHeight = font.height;
    grFontParseMetrics(&font, reinterpret_cast<const char*>(data + 2), static_cast<int>(size - 2),
                       "fuzz.fh");
    char text[256];
    for (int i = 0; i < 255; ++i) text[i] = static_cast<char>(i + 1);
    text[255] = '\0';
    grTextWidthA(&font, text, 255);
    grTextFit(&font, text, 100);
    // Every code of a small table, and both ends of a large one.
    for (int code = -1; code <= font.tableSize; code = code == 300 ? font.tableSize - 1 : code + 1) {
        int x, y, w, h, left, extra;
        grGlyphInfo(&font, code, &x, &y, &w, &h, &left, &extra);
        grGlyphAdvance(&font, code);
    }
    return 0;
}
