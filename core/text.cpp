// Small text functions, the shared token list and the quadratic Bezier point.
#include "core/text.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

int safeSnprintf(char* buffer, size_t size, const char* format, ...) {
    if (!buffer || size == 0) return -1;
    if (!format) {
        buffer[0] = '\0';
        return 0;
    }
    va_list args;
    va_start(args, format);
    const int length = vsnprintf(buffer, size, format, args);
    va_end(args);
    if (length < 0) {
        buffer[0] = '\0';
        return -1;
    }
    // vsnprintf has cut and terminated whatever did not fit.
    const size_t n = static_cast<size_t>(length);
    if (n < size) return length;
    return n == size ? static_cast<int>(size) : -1;
}

char* strDupN(const char* text, int n) {
    if (!text || n < 1) return nullptr;
    char* copy = static_cast<char*>(malloc(static_cast<size_t>(n) + 1));
    if (!copy) return nullptr;
    memcpy(copy, text, static_cast<size_t>(n));
    copy[n] = '\0';
    return copy;
}

char* strDup(const char* text) {
    if (!text) return nullptr;
    const size_t length = strlen(text);
    return length > 0x7FFFFFFE ? nullptr : strDupN(text, static_cast<int>(length));
}

int compareLen(const char* a, int lengthA, const char* b, int lengthB) {
    if (!a || !b) return 0;
    if (lengthA != lengthB) return lengthA < lengthB ? -1 : 1;
    if (lengthA <= 0) return 0;
    const int c = strncmp(a, b, static_cast<size_t>(lengthA));
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool isStrictPrefix(const char* prefix, const char* text) {
    if (!prefix || !text) return false;
    const size_t n = strlen(prefix);
    if (n >= strlen(text)) return false;
    return strncmp(prefix, text, n) == 0;
}

namespace {

bool isWhite(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

}  // namespace

const char* skipWhite(const char* text) {
    if (!text) return nullptr;
    while (isWhite(*text)) ++text;
    return text;
}

char* skipWhite(char* text) { return const_cast<char*>(skipWhite(static_cast<const char*>(text))); }

const char16_t* intToWide(int n) {
    static char16_t buffer[1024];
    char digits[16];
    snprintf(digits, sizeof digits, "%d", n);
    int i = 0;
    for (; digits[i]; ++i) buffer[i] = static_cast<char16_t>(digits[i]);
    buffer[i] = 0;
    return buffer;
}

int wstrCompareLen(const char16_t* a, const char16_t* b) {
    if (!a || !b) return 0;
    size_t la = 0, lb = 0;
    while (a[la]) ++la;
    while (b[lb]) ++lb;
    if (la != lb) return la < lb ? -1 : 1;
    for (size_t i = 0; i < la; ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

const char16_t* wstrFind(const char16_t* text, const char16_t* part) {
    if (!text || !part || !*part) return nullptr;
    for (; *text; ++text) {
        size_t i = 0;
        while (part[i] && text[i] == part[i]) ++i;
        if (!part[i]) return text;
    }
    return nullptr;
}

void bezierPoint(Vec2f& out, const Vec2f& p0, const Vec2f& p1, const Vec2f& p2, float t) {
    const double u = 1.0 - t;
    const double a = u * u, b = 2.0 * t * u, c = static_cast<double>(t) * t;
    out.x = static_cast<float>(a * p0.x + b * p1.x + c * p2.x);
    out.y = static_cast<float>(a * p0.y + b * p1.y + c * p2.y);
}

// --- Token lists
// -----------------------------------------------------------------------------------

struct TokenList::Record {
    uint32_t references;
    uint32_t count;
    char** tokens;
    char* buffer;
};

TokenList::TokenList(const TokenList& other) { Assign(other); }

TokenList& TokenList::operator=(const TokenList& other) {
    Assign(other);
    return *this;
}

TokenList::~TokenList() { Release(); }

void TokenList::Assign(const TokenList& other) {
    if (&other == this || other.record_ == record_) return;
    Release();
    record_ = other.record_;
    if (record_) ++record_->references;
}

void TokenList::Release() {
    Record* record = record_;
    record_ = nullptr;
    if (!record || record->references == 0) return;
    if (--record->references > 0) return;
    free(record->tokens);
    free(record->buffer);
    delete record;
}

uint32_t TokenList::Count() const { return record_ ? record_->count : 0; }

const char* TokenList::At(uint32_t i) const {
    return record_ && i < record_->count ? record_->tokens[i] : nullptr;
}

TokenList TokenList::Split(const char* text, char delimiter) {
    if (!text) return TokenList();
    const size_t length = strlen(text);
    return SplitRange(text, length > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(length), delimiter);
}

namespace {

// Calls visit(begin, length) for every token of the range, in order.
template <class Visit>
void scanTokens(const char* text, int length, char delimiter, Visit visit) {
    const bool trim = !isWhite(delimiter);
    const char* end = text + length;
    const char* p = text;
    while (p < end) {
        if (trim)
            while (p < end && isWhite(*p)) ++p;
        const char* begin = p;
        while (p < end && *p != delimiter) ++p;
        const char* last = p;
        if (trim)
            while (last > begin && isWhite(last[-1])) --last;
        if (last > begin) visit(begin, static_cast<size_t>(last - begin));
        if (p < end) ++p;  // past the delimiter
    }
}

}  // namespace

TokenList TokenList::SplitRange(const char* text, int length, char delimiter) {
    TokenList list;
    if (!text || !text[0] || length <= 0) return list;
    uint32_t count = 0;
    size_t bytes = 0;
    scanTokens(text, length, delimiter, [&](const char*, size_t n) {
        ++count;
        bytes += n + 1;
    });
    if (count == 0) return list;
    Record* record = new (std::nothrow) Record{1, count, nullptr, nullptr};
    if (!record) return list;
    record->tokens = static_cast<char**>(malloc(sizeof(char*) * count));
    record->buffer = static_cast<char*>(malloc(bytes));
    if (!record->tokens || !record->buffer) {
        free(record->tokens);
        free(record->buffer);
        delete record;
        return list;
    }
    char* out = record->buffer;
    uint32_t i = 0;
    scanTokens(text, length, delimiter, [&](const char* begin, size_t n) {
        memcpy(out, begin, n);
        out[n] = '\0';
        record->tokens[i++] = out;
        out += n + 1;
    });
    list.record_ = record;
    return list;
}
