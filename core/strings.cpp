// The heap string and plain-text helpers.
#include "core/strings.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

CString::CString() { assign("", 0); }

CString::CString(const char* s) {
    if (!s) s = "";
    assign(s, static_cast<int>(strlen(s)));
}

CString::CString(const CString& other) { assign(other.text_, other.length_); }

CString::~CString() { delete[] text_; }

void CString::assign(const char* s, int n) {
    text_ = new char[n + 1];
    memcpy(text_, s, n);
    text_[n] = '\0';
    length_ = n;
}

CString& CString::operator=(const CString& other) {
    if (this == &other) return *this;
    char* old = text_;
    assign(other.text_, other.length_);
    delete[] old;
    return *this;
}

CString& CString::operator=(const char* s) {
    if (!s) return *this = CString();
    // Take the new text before freeing the old one: s may point into it.
    char* old = text_;
    assign(s, static_cast<int>(strlen(s)));
    delete[] old;
    return *this;
}

bool CString::Equals(const CString& other) const {
    if (length_ != other.length_) return false;
    return memcmp(text_, other.text_, length_) == 0;
}

bool CString::Less(const CString& other) const { return strcmp(text_, other.text_) < 0; }

void StrCopyN(char* target, const char* source, int n) {
    if (!target || !source || n < 1) return;
    int i = 0;
    for (; i < n - 1 && source[i]; ++i) target[i] = source[i];
    target[i] = '\0';
}

int strCmpNoCase(const char* a, const char* b) {
    if (!a || !b) return 1;
    for (;; ++a, ++b) {
        signed char ca = static_cast<signed char>(*a);
        signed char cb = static_cast<signed char>(*b);
        if (ca >= 'a' && ca <= 'z') ca = static_cast<signed char>(ca - 32);
        if (cb >= 'a' && cb <= 'z') cb = static_cast<signed char>(cb - 32);
        if (ca < cb) return -1;
        if (ca > cb) return 1;
        if (ca == 0) return 0;
    }
}

int formatString(char* target, size_t size, const char* format, ...) {
    if (!target || size == 0) return 0;
    va_list args;
    va_start(args, format);
    int n = vsnprintf(target, size, format, args);
    va_end(args);
    if (n < 0) {
        target[0] = '\0';
        return 0;
    }
    // vsnprintf reports what it would have written; report what it did write.
    return static_cast<size_t>(n) < size ? n : static_cast<int>(size - 1);
}

void wstrCopy(char16_t* target, const char16_t* source) {
    if (!target || !source) return;
    while ((*target++ = *source++) != 0) {
    }
}

unsigned wstrLen(const char16_t* text) {
    unsigned n = 0;
    while (text[n]) ++n;
    return n;
}

void wstrAppend(char16_t* target, const char16_t* source) {
    if (!target || !source) return;
    wstrCopy(target + wstrLen(target), source);
}

void narrowToWide(const char* source, char16_t* target, size_t size) {
    if (!source || !target || size == 0) return;
    size_t i = 0;
    for (; i + 1 < size && source[i]; ++i) target[i] = static_cast<unsigned char>(source[i]);
    target[i] = 0;
}

void WideToNarrow(const char16_t* source, char* target, size_t size) {
    if (!source || !target || size == 0) return;
    size_t i = 0;
    for (; i + 1 < size && source[i]; ++i) target[i] = static_cast<char>(source[i] & 0xFF);
    target[i] = '\0';
}
