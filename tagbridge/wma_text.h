#pragma once

// UTF-16 strings as they cross the Windows Media attribute interface:
// zero-terminated sequences of uint16_t units.

#include <cstddef>
#include <cstdint>
#include <string>

// The units before the terminating zero, at most max of them; false when no
// zero comes within max units.
bool WmaReadUtf16(const uint16_t* text, size_t max, std::u16string& out);

// UTF-16 to UTF-8 with surrogate pairs joined; false for a lone surrogate,
// which no UTF-8 path can spell.
bool WmaUtf16ToUtf8(const std::u16string& text, std::string& out);
