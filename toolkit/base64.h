#pragma once

// Base64 of the standard alphabet (A-Z a-z 0-9 + /), as tags store binary
// data in text fields.

#include <string>
#include <string_view>

// Decodes text into out. Padding "=" at the end may be there or not; any
// other character outside the alphabet, or a length no encoder writes,
// gives false with out empty.
bool Base64Decode(std::string_view text, std::string& out);
