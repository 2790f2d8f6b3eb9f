#pragma once

// Decoding of ID3v2 frame data that starts with a text encoding byte:
//   0  ISO-8859-1 (read as Windows-1252), strings end with one zero byte
//   1  UTF-16 with byte-order mark (FF FE little-endian, FE FF big-endian;
//      read little-endian without one), strings end with a zero unit
//   2  UTF-16 big-endian (a byte-order mark is honoured), zero unit
//   3  UTF-8, one zero byte
// Results are UTF-8 with leading and trailing bytes 00 to 20 hex removed.

#include <string>
#include <string_view>

// A text frame: the encoding byte followed by the text.
std::string DecodeText(std::string_view data);

// Splits a frame that carries a description before its text (COMM, USLT:
// encoding, 3-byte language, description, text; WXXX: encoding,
// description, address). WithLanguage says whether the language is there.
struct TDescribedText {
  std::string Language;     // the 3 bytes as stored, empty without a language
  std::string Description;  // decoded like the text
  std::string Text;
};
TDescribedText SplitDescribed(std::string_view data, bool WithLanguage);

// The text part of SplitDescribed.
std::string DecodeDescribed(std::string_view data, bool WithLanguage);

// A user web link (WXXX): the address is always ISO-8859-1, whatever the
// encoding of the description.
std::string DecodeLink(std::string_view data);

// Content type (TCON) as shown: a bare genre number, 13 or (13), gives the
// genre name; otherwise everything up to the last ")" goes, so (13)Pop
// gives Pop.
std::string ResolveGenre(const std::string& text);
