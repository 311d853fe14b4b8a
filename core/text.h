// Small text functions over 8-bit and UTF-16 text, the shared token list that splits INI values,
// and the point on a quadratic Bezier curve.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/values.h"

// printf-style formatting into buffer (size bytes), always terminated. Returns the length of a
// text shorter than size; size for a text of exactly size characters and -1 for a longer one (both
// cut to size - 1 characters). -1 for a null buffer or a size of 0; a null format writes "".
int safeSnprintf(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// A new malloc block of n + 1 bytes: the first n bytes of text and a zero (the caller frees it).
// Null for a null text or n below 1.
char* strDupN(const char* text, int n);
// strDupN of the whole text: null for a null and for an empty text.
char* strDup(const char* text);
// 0 when a or b is null; else the shorter text is smaller (-1 / 1); texts of equal length compare
// as strncmp over lengthA bytes (-1, 0 or 1).
int compareLen(const char* a, int lengthA, const char* b, int lengthB);
// True when text begins with prefix and is longer than it; false when either is null.
bool isStrictPrefix(const char* prefix, const char* text);
// White space here is tab, line feed, carriage return and space. Null stays null.
const char* skipWhite(const char* text);
char* skipWhite(char* text);
// n in decimal as UTF-16, in one static buffer that the next call overwrites.
const char16_t* intToWide(int n);

// 0 when either is null; a shorter text is smaller; texts of equal length compare unit by unit as
// unsigned 16-bit values. Returns -1, 0 or 1.
int wstrCompareLen(const char16_t* a, const char16_t* b);
// The first occurrence of part in text; null when either is null, part is empty or not found.
const char16_t* wstrFind(const char16_t* text, const char16_t* part);

// (1 - t)^2 p0 + 2t(1 - t) p1 + t^2 p2, computed in double precision.
void bezierPoint(Vec2f& out, const Vec2f& p0, const Vec2f& p1, const Vec2f& p2, float t);

// A shared list of tokens split from a text at one delimiter byte. Tokens never begin or end
// with white space (unless the delimiter is a white-space byte) and are never empty. Handles
// share one record: copying a handle raises its count, Release or the destructor drops it, and
// the last one frees the record with its single token buffer. Splitting allocates exactly twice
// (the pointer array and the buffer) plus the record; a list is never changed after it is made.
class TokenList {
public:
    TokenList() = default;
    TokenList(const TokenList& other);
    TokenList& operator=(const TokenList& other);
    ~TokenList();

    // Shares other's record, releasing the one held; nothing when other is this handle.
    void Assign(const TokenList& other);
    // Drops this handle's reference; afterwards the handle is the empty list. A second call does
    // nothing.
    void Release();

    uint32_t Count() const;
    // The i-th token, valid while some handle holds the record; null for i out of range.
    const char* At(uint32_t i) const;
    bool NotEmpty() const { return Count() > 0; }
    bool IsEmpty() const { return !NotEmpty(); }

    // A null text gives the empty list.
    static TokenList Split(const char* text, char delimiter);
    // Splits the bytes [text, text + length); an empty range or a text whose first byte is 0 gives
    // the empty list.
    static TokenList SplitRange(const char* text, int length, char delimiter);

private:
    struct Record;
    Record* record_ = nullptr;
};
