#pragma once

// Text conversion of the Ogg interface. Vorbis comments are UTF-8, and so is
// the "local" 8-bit text that crosses the library's C interface, so the
// local conversions validate rather than translate: every malformed
// sequence becomes U+FFFD, well-formed text passes unchanged.
//
// The UTF-16 codecs are full codecs: a four-byte UTF-8 sequence becomes a
// surrogate pair and a surrogate pair becomes one four-byte sequence. Inputs
// are zero-terminated and no pass reads beyond the terminator.

#include <string>

// UTF-8 to UTF-16. A malformed sequence (stray continuation byte, overlong
// form, encoded surrogate, value above U+10FFFF, sequence cut short) gives
// one U+FFFD and decoding goes on at the byte after its lead byte.
std::u16string Utf8ToUtf16(const char* text);

// UTF-16 to UTF-8; a lone surrogate gives U+FFFD.
std::string Utf16ToUtf8(const char16_t* units);

// A comment from the file to local text. 0 on success, -1 on failure (out is
// then empty); the cause of a failure goes to standard error as one line.
int Utf8ToLocal(const char* text, std::string& out);

// Local text to UTF-8 for storing in a comment. An empty text fails (-1), as
// a comment without value is not stored; no message is written.
int LocalToUtf8(const char* text, std::string& out);
