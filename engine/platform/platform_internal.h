// Private joints between the parts of the platform layer that do not need SDL's types.
#pragma once

#include <cstddef>

// Queues a WM_INSTANCE_RESTORE message; safe from any thread. False when the layer is not started.
bool platPushRestoreRequest();
// True under the dummy or offscreen video driver, or when no display can be reached.
bool platIsHeadless();

// UTF-16 to UTF-8 and back, always terminated (size >= 1); a text that does not fit is cut at
// a whole character. Unpaired surrogates and malformed UTF-8 become U+FFFD.
void utf16ToUtf8(const char16_t* source, char* target, size_t size);
// Returns false when the text was cut.
bool utf8ToUtf16(const char* source, char16_t* target, size_t size);
