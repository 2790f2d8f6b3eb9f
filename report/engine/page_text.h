#pragma once

// Text handling around the report page: reading a template into lines,
// escaping tag values for HTML, and encoding the finished page in the
// charset its charset line declares.

#include <string>
#include <string_view>
#include <vector>

// The lines of a template file. The bytes are read as UTF-8 when they are
// valid UTF-8 (a leading byte order mark dropped), else as Windows-1252.
// Lines end with CR LF, LF or CR; a line end at the very end of the file
// opens no further line.
std::vector<std::string> SplitTemplateLines(std::string_view bytes);

// ASCII letters to lower case; every other byte stays, so positions in the
// result hold in the text.
std::string AsciiLower(std::string_view text);

// Text with &, <, > and " written as character references, safe in element
// content and in a double-quoted attribute.
std::string HtmlEscape(std::string_view text);

// The charset name a charset line declares: what follows "charset=" (any
// letter case), up to a quote, blank, ";" or ">". Empty when there is none.
std::string DeclaredCharset(std::string_view charset_line);

// The UTF-8 page converted to the named charset. Each character the charset
// cannot hold becomes "&#N;" (N its decimal code point); a byte that is not
// valid UTF-8 becomes "&#65533;". When the charset is empty or unknown to
// the system's converter the page is given back as UTF-8, with the same
// treatment of invalid bytes.
std::string EncodePage(std::string_view utf8_page, const std::string& charset);
