#pragma once

// The JSON line of one loaded file, written straight into a text buffer:
// no document tree is built per file. The bytes are those of the JSON
// library's compact dump (keys in this order, strings with its escapes, tag
// bytes that are not valid UTF-8 shown as U+FFFD).

#include <string>

#include "audiofile/audio_file.h"

// Appends the line for path (without its line end) to out: the file name,
// its type, the result of LoadFile and both records.
void AppendJsonLine(std::string& out, const std::string& path, const TAudioFile& audio, bool loaded);

// Appends text as a JSON string, quotes included.
void AppendJsonString(std::string& out, const std::string& text);
