// The INI store: a first-in first-out cache of ten file texts, read in place through an index
// of their headers and keys that is built on the first lookup and after every change.
#include "engine/data/ini.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/strings.h"
#include "engine/data/file.h"
#include "engine/data/file_internal.h"
#include "engine/platform/engine.h"
#include "engine/platform/log.h"
#include "engine/platform/platform.h"

namespace {

const int kSlots = 10;
const int kNameBytes = 256;
const int kResultBytes = 2048;  // the least every result buffer holds
const int kTranslationKey = 260;
const char kTranslationFile[] = "data\\translation.ini";
const int kLastSectionBytes = 64;

// One section header of a file (the hash of its folded name, the name's length and where its
// '[' stands), or one key line (the hash of its folded key, the key's length and where the line
// starts).
struct IniNameRef {
    uint32_t hash;
    int length;
    int position;
};

}  // namespace

struct IniFile {
    char name[kNameBytes];
    uint32_t nameKey;  // the hash of the name as names compare, to pass over other files quickly
    unsigned char* text;
    int size;
    bool wide;
    bool unsaved;  // changed while saves were held
    // The text is what the file on the disk holds: read from it, or saved to it since. A write
    // that leaves such a text as it is has nothing to save.
    bool onDisk;
    bool looked;   // checked for damage since it was loaded
    // Every header and every key line in the text, ordered by (hash, length, position) so that a
    // lookup is a binary search and the first of equal names in the file comes first, and where
    // each line starting with '[' stands (such a line ends a section's keys, named or not);
    // rebuilt after each change.
    IniNameRef* sections;
    int sectionCount;
    int sectionCapacity;
    IniNameRef* keys;
    int keyCount;
    int keyCapacity;
    int* brackets;
    int bracketCount;
    int bracketCapacity;
    bool indexed;
    // The section looked up last and where it starts (-1: absent): a widget reads a dozen keys of
    // one section in a row. Valid while the index is, since it is cleared with every rebuild.
    char lastSection[kLastSectionBytes];
    int lastSectionAt;
    // The key lines of the section looked in last: where the section starts, its first line,
    // and the lines after it up to the next '['. Valid while the index is, like the above.
    int keysStart;
    int keysFirst;
    int keysFrom;
    int keysTo;
    // What damageOf found, kept until the text changes: a missing file is asked of the disk once.
    const char* damage;
    bool damageKnown;
};

namespace {

IniFile gSlots[kSlots];
// Counts every change of what a slot holds, so that a slot found before can be trusted again.
unsigned gSlotChanges = 0;

// A result buffer grows to the longest value it has held, so values of any length come back
// whole; it is never shrunk, as a caller may still hold the result.
struct ResultBuffer {
    char* bytes = nullptr;
    size_t capacity = 0;
};
ResultBuffer gResults[4];
int gResultIndex = 0;
int gHoldDepth = 0;         // open save scopes
bool gTranslationTold = false;  // a damaged translation table was reported this run
bool gHeldSaveFailed = false;

// The next rotating buffer with room for at least bytes bytes; null when memory ran out.
char* nextResult(size_t bytes) {
    gResultIndex = (gResultIndex + 1) % 4;
    ResultBuffer& r = gResults[gResultIndex];
    if (bytes < static_cast<size_t>(kResultBytes)) bytes = kResultBytes;
    if (r.capacity < bytes) {
        char* grown = static_cast<char*>(realloc(r.bytes, bytes));
        if (!grown) return nullptr;
        r.bytes = grown;
        r.capacity = bytes;
    }
    return r.bytes;
}

// The character view shared by both encodings: byte i of an 8-bit text, or the UTF-16 unit that
// follows the byte-order mark by i places.
int length(const IniFile& f) { return f.wide ? f.size / 2 - 1 : f.size; }

unsigned at(const IniFile& f, int i) {
    return f.wide ? f.text[2 + 2 * i] | f.text[3 + 2 * i] << 8 : f.text[i];
}

int byteOffset(const IniFile& f, int i) { return f.wide ? 2 + 2 * i : i; }

bool isEol(unsigned c) { return c == '\r' || c == '\n'; }
bool isBlank(unsigned c) { return c == ' ' || c == '\t' || isEol(c); }

// Names compare with A-Z equal to a-z; in UTF-16 only the low byte of a unit takes part.
unsigned fold(unsigned c) {
    c &= 0xFF;
    return c >= 'a' && c <= 'z' ? c - 32 : c;
}

int skipBlanks(const IniFile& f, int pos) {
    int len = length(f);
    while (pos < len && isBlank(at(f, pos))) ++pos;
    return pos;
}

// To the next CR or LF, then past every blank: empty lines and leading blanks are skipped too.
// The first CR or LF at or after pos, or the end. An 8-bit text is searched with memchr: every
// value read and every line a scan passes over ends here, and a fuzzer's instrumentation makes
// a loop over the characters cost several calls each.
int lineEnd(const IniFile& f, int pos) {
    const int len = length(f);
    if (!f.wide && pos < len) {
        const unsigned char* from = f.text + pos;
        const void* lf = memchr(from, '\n', static_cast<size_t>(len - pos));
        const size_t upto = lf ? static_cast<size_t>(static_cast<const unsigned char*>(lf) - from)
                               : static_cast<size_t>(len - pos);
        const void* cr = memchr(from, '\r', upto);
        return pos + static_cast<int>(cr ? static_cast<const unsigned char*>(cr) - from : upto);
    }
    while (pos < len && !isEol(at(f, pos))) ++pos;
    return pos;
}

int nextLine(const IniFile& f, int pos) { return skipBlanks(f, lineEnd(f, pos)); }

bool save(IniFile& f);

// Files already reported as missing, empty or cut short, by the hash of their name: a file that
// keeps leaving the cache is reported once per run.
uint32_t gReported[64];
int gReportedCount = 0;


bool inDataFolder(const char* name) {
    return (name[0] == 'd' || name[0] == 'D') && (name[1] == 'a' || name[1] == 'A') &&
           (name[2] == 't' || name[2] == 'T') && (name[3] == 'a' || name[3] == 'A') &&
           (name[4] == '/' || name[4] == '\\');
}

// What is wrong with a cached file as a whole: null when nothing is, else why it cannot hold
// its values. Every file this program writes ends its last line, so one that ends inside a line
// was cut short; one of nothing but zero bytes was overwritten by a failing disk or copy.
constexpr const char* kMissing = "is missing";

const char* damageFound(const IniFile& f) {
    const int len = length(f);
    if (f.size > 0 && len > 0 && isEol(at(f, len - 1))) return nullptr;
    if (f.size <= 0 || len <= 0) return fileExists(f.name) ? "is empty" : kMissing;
    bool zeros = true;
    for (int i = 0; i < f.size && zeros; ++i) zeros = f.text[i] == 0;
    if (zeros) return "holds nothing but zero bytes: it was overwritten";
    return "ends inside a line: it was cut short";
}

const char* damageOf(IniFile& f) {
    if (!f.damageKnown) {
        f.damage = damageFound(f);
        f.damageKnown = true;
    }
    return f.damage;
}

// A file read for its values that is missing, empty or damaged gives defaults in place of what
// it should hold: one log line says which file and why, so that the odd behaviour that follows
// can be traced.
void noteIfDamaged(IniFile* f) {
    // Looked at once per load: reads in a level's every step must stay cheap.
    if (!f || f->looked) return;
    f->looked = true;
    const char* why = damageOf(*f);
    if (!why) return;
    // Settings and player files are missing until first written; the game's data never is.
    if (why == kMissing && !inDataFolder(f->name)) return;
    const uint32_t h = iniPathHash(f->name);
    for (int i = 0; i < gReportedCount; ++i)
        if (gReported[i] == h) return;
    if (gReportedCount < 64) gReported[gReportedCount++] = h;
    logPrintf("ini: %s %s; its values read as defaults\n", f->name, why);
}

void releaseSlot(IniFile& f) {
    ++gSlotChanges;
    // A change held by an open save scope is not lost when its file leaves the cache.
    if (f.unsaved && !save(f) && gHoldDepth > 0) gHeldSaveFailed = true;
    memFree(f.text);
    free(f.sections);
    free(f.keys);
    free(f.brackets);
    f = IniFile{};
}

int scanSection(const IniFile& f, const char* name) {
    int len = length(f);
    int n = static_cast<int>(strlen(name));
    for (int pos = skipBlanks(f, 0); pos < len; pos = nextLine(f, pos)) {
        if (at(f, pos) != '[') continue;
        int i = 0;
        while (i < n && pos + 1 + i < len &&
               fold(at(f, pos + 1 + i)) == fold(static_cast<unsigned char>(name[i])))
            ++i;
        if (i == n && pos + 1 + n < len && at(f, pos + 1 + n) == ']') return pos + 2 + n;
    }
    return -1;
}

uint32_t foldHashStep(uint32_t h, unsigned c) { return (h ^ fold(c)) * 16777619u; }

// The order of the index: a type rather than a function, so that sorting and searching compare
// in place instead of calling through a pointer for every step.
struct RefBefore {
    bool operator()(const IniNameRef& a, const IniNameRef& b) const {
        if (a.hash != b.hash) return a.hash < b.hash;
        if (a.length != b.length) return a.length < b.length;
        return a.position < b.position;
    }
};
constexpr RefBefore refBefore{};

template <class T>
bool append(T*& items, int& count, int& capacity, const T& item) {
    if (count == capacity) {
        int wanted = capacity * 2 + 16;
        void* grown = realloc(items, sizeof(T) * wanted);
        if (!grown) return false;
        items = static_cast<T*>(grown);
        capacity = wanted;
    }
    items[count++] = item;
    return true;
}

// Room for at least wanted items, kept from one rebuild of the index to the next.
template <class T>
bool reserve(T*& items, int& capacity, int wanted) {
    if (capacity >= wanted) return true;
    void* grown = realloc(items, sizeof(T) * wanted);
    if (!grown) return false;
    items = static_cast<T*>(grown);
    capacity = wanted;
    return true;
}

bool isKeyPad(unsigned c) { return c == ' ' || c == '\t' || c == 0; }

// One pass over the text records every header that ends its name with ']' on its own line, every
// line starting with '[', and the key of every other line that holds '=': what stands before the
// first '=', less the blanks and zero characters in front of it. A key that holds neither '=' nor
// blanks matches a line exactly when the scan below would: the line's text before the first '='
// is the key, then only blanks and zeros. The text is read through get (character i): an 8-bit
// text straight from its bytes, which spares the encoding test at every character.
bool startIndex(IniFile& f, int lines) {
    f.sectionCount = f.keyCount = f.bracketCount = 0;
    // No line holds more than one entry of each kind: the lists are made once at their full
    // size instead of growing entry by entry.
    return reserve(f.sections, f.sectionCapacity, lines) && reserve(f.keys, f.keyCapacity, lines) &&
           reserve(f.brackets, f.bracketCapacity, lines);
}

void finishIndex(IniFile& f) {
    std::sort(f.sections, f.sections + f.sectionCount, refBefore);
    std::sort(f.keys, f.keys + f.keyCount, refBefore);
    f.lastSection[0] = '\0';
    f.keysStart = -1;
    f.indexed = true;
}

template <class Get>
bool buildIndexWith(IniFile& f, int len, int lines, Get get) {
    if (!startIndex(f, lines)) return false;
    auto skip = [&](int pos) {
        while (pos < len && isBlank(get(pos))) ++pos;
        return pos;
    };
    for (int pos = skip(0); pos < len;) {
        uint32_t h = 2166136261u;
        int end = pos + 1;
        if (get(pos) == '[') {
            if (!append(f.brackets, f.bracketCount, f.bracketCapacity, pos)) return false;
            while (end < len && get(end) != ']' && !isEol(get(end))) ++end;
            if (end < len && get(end) == ']') {
                for (int i = pos + 1; i < end; ++i) h = foldHashStep(h, get(i));
                if (!append(f.sections, f.sectionCount, f.sectionCapacity,
                            IniNameRef{h, end - pos - 1, pos}))
                    return false;
            }
        } else {
            end = pos;
            while (end < len && get(end) != '=' && !isEol(get(end))) ++end;
            if (end < len && get(end) == '=') {
                while (end > pos && isKeyPad(get(end - 1))) --end;
                if (end > pos) {
                    for (int i = pos; i < end; ++i) h = foldHashStep(h, get(i));
                    if (!append(f.keys, f.keyCount, f.keyCapacity, IniNameRef{h, end - pos, pos}))
                        return false;
                }
            }
        }
        // To the next line break, then past every blank, as nextLine goes.
        while (pos < len && !isEol(get(pos))) ++pos;
        pos = skip(pos);
    }
    finishIndex(f);
    return true;
}

// The same pass over an 8-bit text, finding line breaks, '=' and ']' with memchr: a loop over
// the characters costs several comparisons each, and the text of a big layout is indexed anew
// whenever it is loaded.
bool buildNarrowIndex(IniFile& f, int len, int lines) {
    if (!startIndex(f, lines)) return false;
    const unsigned char* const text = f.text;
    const unsigned char* const end = text + len;
    auto find = [end](const unsigned char* from, const unsigned char* to, unsigned char c) {
        const void* hit = memchr(from, c, static_cast<size_t>(to - from));
        return hit ? static_cast<const unsigned char*>(hit) : end;
    };
    // The next CR and the next LF at or after the line being read, each sought again only once
    // passed, so that a text without one of them is not searched through at every line.
    const unsigned char* cr = nullptr;
    const unsigned char* lf = nullptr;
    auto hash = [](const unsigned char* from, const unsigned char* to) {
        uint32_t h = 2166136261u;
        for (const unsigned char* c = from; c < to; ++c) h = foldHashStep(h, *c);
        return h;
    };
    const unsigned char* p = text;
    while (p < end && isBlank(*p)) ++p;
    while (p < end) {
        if (!cr || cr < p) cr = find(p, end, '\r');
        if (!lf || lf < p) lf = find(p, end, '\n');
        const unsigned char* eol = cr < lf ? cr : lf;
        const int pos = static_cast<int>(p - text);
        if (*p == '[') {
            if (!append(f.brackets, f.bracketCount, f.bracketCapacity, pos)) return false;
            const unsigned char* close = find(p + 1, eol, ']');
            if (close < eol &&
                !append(f.sections, f.sectionCount, f.sectionCapacity,
                        IniNameRef{hash(p + 1, close), static_cast<int>(close - p - 1), pos}))
                return false;
        } else {
            const unsigned char* equals = find(p, eol, '=');
            if (equals < eol) {
                while (equals > p && isKeyPad(equals[-1])) --equals;
                if (equals > p &&
                    !append(f.keys, f.keyCount, f.keyCapacity,
                            IniNameRef{hash(p, equals), static_cast<int>(equals - p), pos}))
                    return false;
            }
        }
        p = eol;
        while (p < end && isBlank(*p)) ++p;
    }
    finishIndex(f);
    return true;
}

// How many times c stands in the n bytes from text.
int countByte(const unsigned char* text, size_t n, unsigned char c) {
    int count = 0;
    const unsigned char* end = text + n;
    for (const unsigned char* p = text; p < end; ++count) {
        p = static_cast<const unsigned char*>(memchr(p, c, static_cast<size_t>(end - p)));
        if (!p) break;
        ++p;
    }
    return count;
}

bool buildIndex(IniFile& f) {
    const int len = length(f);
    // Lines are at most one more than the line breaks.
    int lines = 1;
    if (f.wide) {
        for (int i = 0; i < len; ++i) lines += isEol(at(f, i));
        return buildIndexWith(f, len, lines, [&f](int i) { return at(f, i); });
    }
    const size_t n = static_cast<size_t>(len);
    lines += countByte(f.text, n, '\r') + countByte(f.text, n, '\n');
    return buildNarrowIndex(f, len, lines);
}

uint32_t foldHash(const char* name) {
    uint32_t h = 2166136261u;
    for (const char* p = name; *p; ++p) h = foldHashStep(h, static_cast<unsigned char>(*p));
    return h;
}

// Position just behind the section's ']', or -1; the first matching header in the file wins.
// Names holding ']' or a line break can match only across what the index takes for a header's
// end, so they are scanned for.
int findSection(IniFile& f, const char* name) {
    if (f.indexed && f.lastSection[0] && strcmp(f.lastSection, name) == 0) return f.lastSectionAt;
    if (strpbrk(name, "]\r\n")) return scanSection(f, name);
    if (!f.indexed && !buildIndex(f)) return scanSection(f, name);
    const uint32_t h = foldHash(name);
    const int n = static_cast<int>(strlen(name));
    IniNameRef key{h, n, -1};
    IniNameRef* end = f.sections + f.sectionCount;
    int found = -1;
    for (IniNameRef* r = std::lower_bound(f.sections, end, key, refBefore);
         r != end && r->hash == h && r->length == n && found < 0; ++r) {
        int i = 0;
        while (i < n &&
               fold(at(f, r->position + 1 + i)) == fold(static_cast<unsigned char>(name[i])))
            ++i;
        if (i == n) found = r->position + 2 + n;
    }
    if (n < kLastSectionBytes) {
        memcpy(f.lastSection, name, static_cast<size_t>(n) + 1);
        f.lastSectionAt = found;
    }
    return found;
}

// Start of the value when the line at pos holds the key (n characters), else -1.
int valueOnLine(const IniFile& f, int pos, const char* key, int n) {
    int len = length(f);
    int i = 0;
    while (i < n && pos + i < len &&
           fold(at(f, pos + i)) == fold(static_cast<unsigned char>(key[i])))
        ++i;
    if (i < n) return -1;
    int q = pos + n;
    while (q < len && isKeyPad(at(f, q))) ++q;
    if (q >= len || at(f, q) != '=') return -1;
    ++q;
    while (q < len && (at(f, q) == '=' || isKeyPad(at(f, q)))) ++q;
    return q;
}

int scanKey(const IniFile& f, int start, const char* key) {
    int len = length(f);
    int n = static_cast<int>(strlen(key));
    for (int pos = skipBlanks(f, start); pos < len; pos = nextLine(f, pos)) {
        if (at(f, pos) == '[') return -1;
        int v = valueOnLine(f, pos, key, n);
        if (v >= 0) return v;
    }
    return -1;
}

// Start of the key's value within the section that starts at start, or -1; the first matching
// line wins. The section's first line may be the rest of its header's line, so it is looked at
// directly; every later line is one the index knows, up to the next line starting with '['.
// Keys holding '=' or blanks can match across what the index takes for a key's end, so they are
// scanned for.
int findKey(IniFile& f, int start, const char* key) {
    if (strpbrk(key, "= \t\r\n")) return scanKey(f, start, key);
    if (!f.indexed && !buildIndex(f)) return scanKey(f, start, key);
    const int len = length(f);
    const int n = static_cast<int>(strlen(key));
    if (f.keysStart != start) {
        f.keysStart = start;
        f.keysFirst = skipBlanks(f, start);
        f.keysFrom = f.keysTo = len;
        if (f.keysFirst < len && at(f, f.keysFirst) != '[') {
            f.keysFrom = nextLine(f, f.keysFirst);
            const int* bracket = std::lower_bound(f.brackets, f.brackets + f.bracketCount, f.keysFrom);
            f.keysTo = bracket == f.brackets + f.bracketCount ? len : *bracket;
        }
    }
    const int first = f.keysFirst, from = f.keysFrom, to = f.keysTo;
    if (first >= len || at(f, first) == '[') return -1;
    int v = valueOnLine(f, first, key, n);
    if (v >= 0 || from >= to) return v;
    IniNameRef wanted{foldHash(key), n, from};
    IniNameRef* end = f.keys + f.keyCount;
    for (IniNameRef* r = std::lower_bound(f.keys, end, wanted, refBefore);
         r != end && r->hash == wanted.hash && r->length == n && r->position < to; ++r) {
        v = valueOnLine(f, r->position, key, n);
        if (v >= 0) return v;
    }
    return -1;
}

// The value that starts at pos: one leading quote is dropped, the rest of the line is the value.
void valueRange(const IniFile& f, int pos, int* from, int* to) {
    int len = length(f);
    if (pos < len && at(f, pos) == '"') ++pos;
    *from = pos;
    *to = lineEnd(f, pos);
}

// Finds the value of key in section (none: before the first header); false when absent.
bool locateValue(IniFile* f, const char* section, const char* key, int* from, int* to) {
    if (!f || !key || !*key) return false;
    int start = 0;
    if (section && *section) {
        start = findSection(*f, section);
        if (start < 0) return false;
    }
    int v = findKey(*f, start, key);
    if (v < 0) return false;
    valueRange(*f, v, from, to);
    return true;
}

// A line to insert, built in the text's encoding; it grows to whatever it is given, so a value
// is never cut. A piece that could not grow is marked failed and must not be used.
struct Piece {
    explicit Piece(bool w) : wide(w) {}
    ~Piece() { free(bytes); }
    Piece(const Piece&) = delete;
    Piece& operator=(const Piece&) = delete;
    unsigned char* bytes = nullptr;
    int units = 0;
    int capacity = 0;  // in units
    bool wide;
    bool failed = false;

    void add(unsigned unit) {
        if (failed) return;
        if (units == capacity) {
            long wanted = capacity * 2L + 64;
            if (wanted * 2 > INT_MAX) {
                failed = true;
                return;
            }
            void* grown = realloc(bytes, static_cast<size_t>(wanted) * 2);
            if (!grown) {
                failed = true;
                return;
            }
            bytes = static_cast<unsigned char*>(grown);
            capacity = static_cast<int>(wanted);
        }
        if (wide) {
            bytes[2 * units] = static_cast<unsigned char>(unit & 0xFF);
            bytes[2 * units + 1] = static_cast<unsigned char>(unit >> 8);
        } else {
            bytes[units] = static_cast<unsigned char>(unit);
        }
        ++units;
    }
    void add(const char* s) {
        for (; *s; ++s) add(static_cast<unsigned char>(*s));
    }
    void add(const char16_t* s) {
        for (; *s; ++s) add(static_cast<unsigned>(*s));
    }
    void addLineBreak() {
        add('\r');
        add('\n');
    }
    int byteCount() const { return wide ? 2 * units : units; }
};

// Moves every entry of the index at or after character to by delta.
void shiftIndex(IniFile& f, int to, int delta) {
    for (int i = 0; i < f.sectionCount; ++i)
        if (f.sections[i].position >= to) f.sections[i].position += delta;
    for (int i = 0; i < f.keyCount; ++i)
        if (f.keys[i].position >= to) f.keys[i].position += delta;
    for (int i = 0; i < f.bracketCount; ++i)
        if (f.brackets[i] >= to) f.brackets[i] += delta;
}

// Puts a name into its sorted place in a list of the index; false when memory ran out.
bool insertRef(IniNameRef*& items, int& count, int& capacity, const IniNameRef& item) {
    if (!append(items, count, capacity, item)) return false;
    IniNameRef* place = std::upper_bound(items, items + count - 1, item, refBefore);
    std::move_backward(place, items + count - 1, items + count);
    *place = item;
    return true;
}

// How a change keeps the index: the characters it replaces hold no line start the index knows
// (a value up to the next line, or nothing at all), so every entry behind it only moves.
enum class Reindex { kRebuild, kShift };

// Replaces the characters [from, to) with the piece in a new buffer of exactly the new size.
// Rewriting a value or adding a line would otherwise cost a whole new index at the next read,
// which for a player file written key by key is most of the time its writes take.
bool splice(IniFile& f, int from, int to, const Piece& piece, Reindex reindex = Reindex::kRebuild) {
    if (piece.failed) {
        logPrintf("ini: no memory for a change of %s\n", f.name);
        return false;
    }
    int head = f.text ? byteOffset(f, from) : 0;
    int tailStart = f.text ? byteOffset(f, to) : 0;
    int tail = f.size - tailStart;
    if (tail < 0) tail = 0;
    long newSize = static_cast<long>(head) + piece.byteCount() + tail;
    if (newSize > INT_MAX) return false;
    unsigned char* text = static_cast<unsigned char*>(malloc(newSize > 0 ? newSize : 1));
    if (!text) return false;
    if (head) memcpy(text, f.text, head);
    if (piece.byteCount()) memcpy(text + head, piece.bytes, piece.byteCount());
    if (tail) memcpy(text + head + piece.byteCount(), f.text + tailStart, tail);
    memFree(f.text);
    f.text = text;
    f.size = static_cast<int>(newSize);
    f.onDisk = false;
    if (reindex == Reindex::kShift && f.indexed)
        shiftIndex(f, to, piece.units - (to - from));
    else
        f.indexed = false;  // positions have moved
    f.lastSection[0] = '\0';
    f.keysStart = -1;
    f.damageKnown = false;
    return true;
}

// Turns an 8-bit text into UTF-16 with a byte-order mark; bytes widen to the units of the same
// value (0xE9 stays U+00E9), as the readers widen them. Widened as signed values, every accented
// letter already in the file (a player's name "Renée") would turn into U+FFE9 and read back
// as another character after the first wide value is written.
bool makeWide(IniFile& f) {
    long newSize = 2L * f.size + 2;
    if (newSize > INT_MAX) return false;
    unsigned char* text = static_cast<unsigned char*>(malloc(newSize));
    if (!text) return false;
    text[0] = 0xFF;
    text[1] = 0xFE;
    for (int i = 0; i < f.size; ++i) {
        text[2 + 2 * i] = f.text[i];
        text[3 + 2 * i] = 0;
    }
    memFree(f.text);
    f.text = text;
    f.size = static_cast<int>(newSize);
    f.wide = true;
    f.onDisk = false;
    f.indexed = false;
    f.damageKnown = false;
    return true;
}

void (*gSaveFailed)(const char* file) = nullptr;

// A file that could not be written stays marked unsaved: it keeps its place in the cache and is
// tried again at every later save and when the cache is freed, so a full disk that frees up loses
// nothing.
bool save(IniFile& f) {
    f.unsaved = false;
    f.onDisk = true;
    if (fileSaveChecked(f.name, f.text, f.size) < 0) {
        f.unsaved = true;
        f.onDisk = false;
        logPrintf("ini: cannot save %s; the change is kept in memory and tried again at the next "
                  "save\n", f.name);
        if (gSaveFailed) gSaveFailed(f.name);
        return false;
    }
    return true;
}

// Saves every file held unsaved; false when one of them still cannot be written.
bool saveUnsaved() {
    bool ok = true;
    for (IniFile& f : gSlots)
        if (f.unsaved && !save(f)) ok = false;
    return ok;
}

// A change is saved at once, with whatever earlier saves could not write, or at the end of the
// open save scope.
bool saveOrHold(IniFile& f) {
    f.unsaved = true;
    if (gHoldDepth > 0) return true;
    saveUnsaved();
    return !f.unsaved;
}

bool hasLineBreak(const char* s) { return s && (strchr(s, '\r') || strchr(s, '\n')); }

bool hasLineBreak(const char16_t* s) {
    for (; s && *s; ++s)
        if (*s == u'\r' || *s == u'\n') return true;
    return false;
}

// The common path of both writers: exactly one of narrow and wide is set.
int writeValue(const char* file, const char* section, const char* key, const char* narrow,
               const char16_t* wide) {
    if (!section || !*section || !key || !*key || strchr(section, ']') || hasLineBreak(section) ||
        hasLineBreak(key) || hasLineBreak(narrow) || hasLineBreak(wide)) {
        logPrintf("ini: refused to write [%s] %s into %s: bad section, key or value\n",
                  section ? section : "", key ? key : "", file ? file : "");
        return 0;
    }
    IniFile* f = iniOpen(file);
    if (!f) {
        logPrintf("ini: cannot write into %s: bad file name\n", file ? file : "");
        return 0;
    }
    if (wide && !f->wide && !makeWide(*f)) return 0;

    int pos = findSection(*f, section);
    if (pos < 0) {
        int len = length(*f);
        Piece header(f->wide);
        // A last line without a break would swallow the header.
        const int broken = len > 0 && !isEol(at(*f, len - 1)) ? 2 : 0;
        if (broken) header.addLineBreak();
        header.add('[');
        header.add(section);
        header.add(']');
        header.addLineBreak();
        if (!splice(*f, len, len, header, Reindex::kShift)) return 0;
        // The header closes the text: its '[' is the last line start of all.
        const int opening = len + broken;
        if (f->indexed &&
            (!append(f->brackets, f->bracketCount, f->bracketCapacity, opening) ||
             !insertRef(f->sections, f->sectionCount, f->sectionCapacity,
                        IniNameRef{foldHash(section), static_cast<int>(strlen(section)), opening})))
            f->indexed = false;
        pos = findSection(*f, section);
        if (pos < 0) return 0;
    }

    Piece line(f->wide);
    int v = findKey(*f, pos, key);
    int from, to, broken = 0;
    if (v >= 0) {
        from = v;
        to = nextLine(*f, v);
    } else {
        from = to = nextLine(*f, pos);
        if (from == length(*f) && from > 0 && !isEol(at(*f, from - 1))) broken = 2;
        if (broken) line.addLineBreak();
        line.add(key);
        line.add('=');
    }
    if (narrow) line.add(narrow);
    if (wide) line.add(wide);
    line.addLineBreak();
    // The value as the disk already holds it: the score table, for one, writes every row back
    // at each start.
    if (v >= 0 && f->onDisk && !line.failed && line.units == to - from &&
        memcmp(line.bytes, f->text + byteOffset(*f, from), static_cast<size_t>(line.byteCount())) == 0)
        return 1;
    if (!splice(*f, from, to, line, Reindex::kShift)) return 0;
    // A new line's key joins the index as the index would read it; a key with blanks, '=' or
    // '[' in it reads otherwise there, and the index is built anew instead.
    if (v < 0 && f->indexed &&
        (strpbrk(key, "= \t[") ||
         !insertRef(f->keys, f->keyCount, f->keyCapacity,
                    IniNameRef{foldHash(key), static_cast<int>(strlen(key)), from + broken})))
        f->indexed = false;
    return saveOrHold(*f) ? 1 : 0;
}

}  // namespace

namespace {

// Each byte as file names compare: '\\' as '/', a-z as A-Z.
struct PathFold {
    unsigned char of[256];
    PathFold() {
        for (unsigned c = 0; c < 256; ++c) of[c] = static_cast<unsigned char>(fold(c == '\\' ? '/' : c));
    }
};
const PathFold kPathFold;

}  // namespace

// Names are compared often (every cached file, every registered picture): bytes that are equal
// as they stand are passed over without folding them.
int iniPathEqual(const char* a, const char* b) {
    if (!a || !b) return 1;
    for (;; ++a, ++b) {
        const unsigned char ca = static_cast<unsigned char>(*a), cb = static_cast<unsigned char>(*b);
        if (ca != cb && kPathFold.of[ca] != kPathFold.of[cb]) return 1;
        if (!ca) return 0;
    }
}

uint32_t iniPathHash(const char* name) {
    uint32_t h = 2166136261u;
    for (const char* p = name; *p; ++p) h = (h ^ kPathFold.of[static_cast<unsigned char>(*p)]) * 16777619u;
    return h;
}

IniFile* iniOpen(const char* file) {
    if (!file || !*file) return nullptr;
    // Most lookups name the file the one before named, spelled the same way: its hash is kept,
    // and so is the slot it was found in while no slot has changed since.
    static char lastName[kNameBytes];
    static uint32_t lastKey = iniPathHash("");
    static IniFile* lastFound = nullptr;
    static unsigned lastChange = 0;
    // In debug mode every open reads the disk again, except over a change not yet saved.
    const bool debug = engineDebug();
    if (strcmp(lastName, file) == 0) {
        if (lastFound && lastChange == gSlotChanges && !debug) return lastFound;
    } else {
        if (strlen(file) >= static_cast<size_t>(kNameBytes)) {
            logPrintf("ini: file name too long: %.64s...\n", file);
            return nullptr;
        }
        StrCopyN(lastName, file, kNameBytes);
        lastKey = iniPathHash(file);
    }
    const uint32_t key = lastKey;
    lastFound = nullptr;
    for (int i = kSlots - 1; i >= 0 && !lastFound; --i)
        if (gSlots[i].nameKey == key &&
            (strcmp(gSlots[i].name, file) == 0 || iniPathEqual(gSlots[i].name, file) == 0) &&
            (!debug || gSlots[i].unsaved))
            lastFound = &gSlots[i];
    lastChange = gSlotChanges;
    if (lastFound) return lastFound;
    // The oldest file goes, unless it holds a change not yet on the disk.
    int out = 0;
    while (out < kSlots - 1 && gSlots[out].unsaved) ++out;
    releaseSlot(gSlots[out]);
    memmove(&gSlots[out], &gSlots[out + 1], sizeof(IniFile) * (kSlots - 1 - out));
    IniFile& f = gSlots[kSlots - 1];
    f = IniFile{};
    ++gSlotChanges;
    StrCopyN(f.name, file, kNameBytes);
    f.nameKey = key;
    f.size = fileLoad(file, &f.text);
    f.wide = f.size >= 2 && f.text[0] == 0xFF && f.text[1] == 0xFE;
    // A text from the resource pack has no copy on the disk for a write to match.
    f.onDisk = f.size > 0 && !packHas(file);
    return &f;
}

const char* iniGetString(const char* file, const char* section, const char* key, const char* def) {
    if (!def) def = "";
    if (!section) return def;
    IniFile* f = iniOpen(file);
    noteIfDamaged(f);
    int from, to;
    if (!locateValue(f, section, key, &from, &to)) return def;
    char* out = nextResult(static_cast<size_t>(to - from) + 1);
    if (!out) {
        logPrintf("ini: no memory for a value of %d characters in %s\n", to - from, f->name);
        return def;
    }
    int n = 0;
    if (f->wide) {
        for (int i = from; i < to; ++i) out[n++] = static_cast<char>(at(*f, i));
    } else if (to > from) {
        n = to - from;
        memcpy(out, f->text + from, static_cast<size_t>(n));
    }
    out[n] = '\0';
    return out;
}

int iniGetInt(const char* file, const char* section, const char* key, int def) {
    static const char absent[] = "";
    const char* value = iniGetString(file, section, key, absent);
    if (value == absent) return def;
    long n = strtol(value, nullptr, 10);
    if (n > INT_MAX) return INT_MAX;
    if (n < INT_MIN) return INT_MIN;
    return static_cast<int>(n);
}

int iniHeldInt(int v, int lo, int hi, const char* file, const char* section, const char* key) {
    if (v >= lo && v <= hi) return v;
    const int held = v < lo ? lo : hi;
    logPrintf("%s [%s] \"%s\": %d is out of range; %d taken\n", file, section, key, v, held);
    return held;
}

int iniGetIntHeld(const char* file, const char* section, const char* key, int lo, int hi) {
    return iniHeldInt(iniGetInt(file, section, key, 0), lo, hi, file, section, key);
}

float iniGetFloat(const char* file, const char* section, const char* key, float def) {
    static const char absent[] = "";
    const char* value = iniGetString(file, section, key, absent);
    if (value == absent) return def;
    return strtof(value, nullptr);
}

const char16_t* iniGetWide(const char* file, const char* section, const char* key,
                           const char16_t* def) {
    if (!def) def = u"";
    if (!key || !*key) return def;
    IniFile* f = iniOpen(file);
    noteIfDamaged(f);
    int from, to;
    if (!locateValue(f, section, key, &from, &to)) return def;
    void* block = nextResult((static_cast<size_t>(to - from) + 1) * sizeof(char16_t));
    if (!block) {
        logPrintf("ini: no memory for a value of %d characters in %s\n", to - from, f->name);
        return def;
    }
    char16_t* out = static_cast<char16_t*>(block);
    int n = 0;
    for (int i = from; i < to; ++i) out[n++] = static_cast<char16_t>(at(*f, i));
    out[n] = 0;
    return out;
}

namespace {

// A damaged translation table is told once a run, in a box naming it.
bool translationDamaged() {
    IniFile* f = iniOpen(kTranslationFile);
    const char* why = f ? damageOf(*f) : nullptr;
    if (!why) return false;
    if (!gTranslationTold) {
        gTranslationTold = true;
        char text[512];
        formatString(text, sizeof text,
                     "The text table Data/translation.ini %s. The texts it no longer holds show "
                     "as their keys; reinstalling the game mends it.",
                     why);
        errorBox(text, "Velmora: damaged game data", MB_OK | MB_ICONERROR);
    }
    return true;
}

// The text of a key of the translation table. A whole table that lacks the key gives the empty
// text; a damaged one gives the key, so that no button is left blank.
const char16_t* translate(const char* key) {
    static const char16_t absent[] = u"";
    const char16_t* text = iniGetWide(kTranslationFile, nullptr, key, absent);
    if (text != absent || !translationDamaged()) return text;
    char16_t* shown = reinterpret_cast<char16_t*>(nextResult(sizeof(char16_t) * kTranslationKey));
    if (!shown) return absent;
    narrowToWide(key, shown, kTranslationKey);
    return shown;
}

}  // namespace

const char16_t* iniGetText(const char* file, const char* section, const char* key) {
    const char16_t* value = iniGetWide(file, section, key, u"");
    if (value[0] != u'#') return value;
    char translationKey[kTranslationKey];
    WideToNarrow(value, translationKey, sizeof translationKey);
    return translate(translationKey);
}

const char16_t* iniGetWideGlobal(const char* file, const char* key) {
    if (key && key[0] == '#' && iniPathEqual(file, kTranslationFile) == 0) return translate(key);
    return iniGetWide(file, nullptr, key, u"");
}

void iniGetSections(const char* file, char* out, int size) {
    if (!out || size < 1) return;
    out[0] = '\0';
    IniFile* f = iniOpen(file);
    if (!f) return;
    noteIfDamaged(f);
    int len = length(*f);
    int used = 0;
    int pos = 0;
    while (pos < len && (at(*f, pos) == ' ' || at(*f, pos) == '\t' || at(*f, pos) == 0)) ++pos;
    for (; pos < len; pos = nextLine(*f, pos)) {
        if (at(*f, pos) != '[') continue;
        int end = pos + 1;
        while (end < len && at(*f, end) != ']' && !isEol(at(*f, end))) ++end;
        if (end >= len || at(*f, end) != ']') continue;  // a header without ']' names no section
        int n = end - pos - 1;
        if (n == 0) continue;  // an empty name would end the list
        if (used + n + 2 > size) {
            logPrintf("ini: %s has more sections than the list can hold\n", f->name);
            break;
        }
        for (int i = 0; i < n; ++i) out[used + i] = static_cast<char>(at(*f, pos + 1 + i));
        out[used + n] = '\0';
        used += n + 1;
    }
    out[used] = '\0';
}

int iniWriteString(const char* file, const char* section, const char* key, const char* value) {
    return writeValue(file, section, key, value ? value : "", nullptr);
}

int iniWriteWide(const char* file, const char* section, const char* key, const char16_t* value) {
    return writeValue(file, section, key, nullptr, value ? value : u"");
}

int iniWriteInt(const char* file, const char* section, const char* key, int value) {
    char text[32];
    formatString(text, sizeof text, "%d", value);
    return iniWriteString(file, section, key, text);
}

int iniWriteFloat(const char* file, const char* section, const char* key, float value) {
    char text[64];
    formatString(text, sizeof text, "%f", static_cast<double>(value));
    return iniWriteString(file, section, key, text);
}

int iniDeleteSection(const char* file, const char* section) {
    if (!section || !*section) return 0;
    IniFile* f = iniOpen(file);
    if (!f) return 0;
    int pos = findSection(*f, section);
    if (pos < 0) return 1;
    // Found names match the request character for character, so the header starts here.
    int start = pos - static_cast<int>(strlen(section)) - 2;
    if (start < 0 || at(*f, start) != '[') return 0;
    int len = length(*f);
    int end = nextLine(*f, pos);
    while (end < len && at(*f, end) != '[') end = nextLine(*f, end);
    if (!splice(*f, start, end, Piece(f->wide))) return 0;
    return saveOrHold(*f) ? 1 : 0;
}

int iniClearFile(const char* file) {
    if (!file || !*file) return 0;
    int written = fileSaveChecked(file, nullptr, 0);
    for (int i = 0; i < kSlots; ++i) {
        if (iniPathEqual(gSlots[i].name, file) != 0) continue;
        gSlots[i].unsaved = false;  // the emptied file replaces any held change
        releaseSlot(gSlots[i]);
    }
    return written < 0 ? 0 : 1;
}

void iniFreeAll() {
    for (IniFile& f : gSlots) releaseSlot(f);
    gReportedCount = 0;
    gTranslationTold = false;
}

void iniHoldSaves() { ++gHoldDepth; }

int iniEndHold() {
    if (gHoldDepth == 0) return 1;
    if (--gHoldDepth > 0) return 1;
    bool ok = !gHeldSaveFailed;
    gHeldSaveFailed = false;
    if (!saveUnsaved()) ok = false;
    return ok ? 1 : 0;
}

const char* iniDamage(const char* file) {
    IniFile* f = iniOpen(file);
    return f ? damageOf(*f) : kMissing;
}

int iniMissing(const char* file) { return iniDamage(file) == kMissing; }

void iniSetSaveFailedHook(void (*hook)(const char* file)) { gSaveFailed = hook; }

int iniUnsavedCount() {
    int n = 0;
    for (const IniFile& f : gSlots) n += f.unsaved ? 1 : 0;
    return n;
}
