// The heap string CString and the free functions over plain 8-bit and UTF-16 (char16_t) text.
#pragma once

#include <cstddef>

// An owned, always NUL-terminated byte string. Every copy allocates a fresh block of exactly
// length + 1 bytes: no sharing, no spare capacity. Embedded NUL bytes are not supported.
class CString {
public:
    CString();
    CString(const char* s);  // null gives the empty string
    CString(const CString& other);
    // Virtual, so that a string deleted through a pointer to this class frees its block whatever
    // class holds it.
    virtual ~CString();

    CString& operator=(const CString& other);
    CString& operator=(const char* s);  // null empties the string

    // Lengths are compared first, so strings of different length are never equal.
    bool Equals(const CString& other) const;
    // Plain byte order (strcmp): the order of every string-keyed map.
    bool Less(const CString& other) const;

    const char* c_str() const { return text_; }
    int length() const { return length_; }

private:
    void assign(const char* s, int n);

    char* text_;
    int length_;
};

// Copies at most n - 1 bytes and always terminates; does nothing when either pointer is null or
// n is below 1.
void StrCopyN(char* target, const char* source, int n);

// Case-insensitive compare folding only a-z; other bytes compare as signed chars, so 0x80-0xFF
// order below ASCII. Returns -1, 0 or 1, and 1 when either pointer is null.
int strCmpNoCase(const char* a, const char* b);

// printf-style formatting bounded by the target's size in bytes; always terminates (size >= 1).
// Returns the number of characters written, without the NUL.
int formatString(char* target, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// UTF-16 text helpers. wstrCopy and wstrAppend do nothing when either pointer is null.
void wstrCopy(char16_t* target, const char16_t* source);
unsigned wstrLen(const char16_t* text);
void wstrAppend(char16_t* target, const char16_t* source);

// Widens each byte by zero extension (0xE9 becomes 0x00E9). Writes at most size units, the
// terminating 0 included; a longer source is cut.
void narrowToWide(const char* source, char16_t* target, size_t size);

// Keeps the low byte of each unit. Writes at most size bytes, the terminating NUL included; a
// longer source is cut.
void WideToNarrow(const char16_t* source, char* target, size_t size);
