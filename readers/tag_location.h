#pragma once

// Where the tags of a file lie: the size of an ID3v2 tag at its start and
// whether an ID3v1 block ends it. Every stream reader asks these first, to
// learn where its audio data starts and ends. The forms that take a path
// open the file, read, and close it again; the forms that take an open file
// read through it, so the readers of one load share one open (and, with
// TFile::ReadEnds, one read of the file's ends).

#include <array>
#include <cstdint>
#include <string>

class TFile;

// The first 10 bytes of a file as they stand, and the file's size.
struct TagInfo {
  std::array<uint8_t, 10> Header{};  // identifier (3), major version, revision, flags, size (4)
  int64_t FileSize = 0;
};

// Reads the record; false when fewer than 10 bytes could be read or on any I/O error.
bool ReadTagHeader(const std::string& FileName, TagInfo& Info);
bool ReadTagHeader(const TFile& File, TagInfo& Info);

// Total tag size from an ID3v2 header: the four size bytes taken whole
// (7 bits each by position, the top bit not masked), plus 10 for the header
// and 10 more when the footer flag (bit 4) is set; 0 when that exceeds the file.
int64_t TagSizeOf(const TagInfo& Info);

// Size of the ID3v2 tag at the start of the file, or 0.
int64_t GetID3v2Size(const std::string& FileName);
int64_t GetID3v2Size(const TFile& File);

// True when the 128 bytes at the end of the file begin with "TAG".
bool HasID3v1Tag(const std::string& FileName);
bool HasID3v1Tag(const TFile& File);
