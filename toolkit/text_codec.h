#pragma once

// Text conversions. All text inside the program is UTF-8 in std::string.
// Files store text as Windows-1252 bytes (ID3v1, ID3v2 encoding 0), UTF-16
// in either byte order, or UTF-8; these functions turn each into UTF-8.
// Malformed input never stops a conversion: what cannot be decoded becomes
// U+FFFD.

#include <cstddef>
#include <string>
#include <string_view>

// Windows-1252 bytes to UTF-8. The five bytes 1252 leaves undefined map to
// the C1 controls of the same value, so no byte is lost.
std::string Cp1252ToUtf8(std::string_view bytes);

// UTF-16 code units to UTF-8, surrogate pairs joined; a lone surrogate
// becomes U+FFFD. Stops at nothing: a zero unit is converted like any other.
std::string Utf16ToUtf8(std::u16string_view units);

// UTF-16 stored as bytes in the given byte order; a last odd byte is ignored.
std::u16string Utf16FromBytes(std::string_view bytes, bool big_endian);

// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD and decoding goes on
// at the next byte.
std::u16string Utf8ToUtf16(std::string_view text);

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t cp);

// Number of characters of UTF-8 text (each malformed byte counts as one).
size_t Utf8Length(std::string_view text);

// The first n characters of UTF-8 text, never cutting a character in half.
std::string Utf8Left(std::string_view text, size_t n);

// Whether the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

// Removes leading and trailing bytes 00 to 20 hex (blanks and control characters).
std::string TrimControls(std::string_view text);

// Removes trailing bytes 00 to 20 hex only.
std::string TrimTrailingControls(std::string_view text);
