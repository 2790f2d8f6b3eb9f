#pragma once

// The ID3v1 and ID3v1.1 tag: the last 128 bytes of a file.
//
//   offset size
//     0     3   "TAG"
//     3    30   title
//    33    30   artist
//    63    30   album
//    93     4   year
//    97    30   comment (v1.0), or 28 bytes of comment (v1.1)
//   125     1   v1.1: zero byte (or a space)
//   126     1   v1.1: track number
//   127     1   genre index
//
// Texts keep the file's bytes (Windows-1252); the loader decodes them.

#include <cstdint>
#include <string>

class TFile;

class TID3v1 {
 public:
  bool Exists = false;
  uint8_t VersionID = 1;  // 1 = ID3v1.0, 2 = ID3v1.1
  std::string Title;
  std::string Artist;
  std::string Album;
  std::string Year;
  std::string Comment;
  uint8_t Track = 0;
  uint8_t GenreID = 255;

  TID3v1() { ClearTag(); }
  void ClearTag();
  // True when the last 128 bytes could be read, whether or not they hold a
  // tag (Exists tells); false when the file cannot be opened or is shorter.
  bool LoadTag(const std::string& FileName);
  // The same through a file that is open already.
  bool LoadTag(const TFile& file);
};

// The 148 genre names of ID3v1, indices 0 to 147.
extern const char* const GenreNames[148];
constexpr int kGenreCount = 148;

// Entry Index of GenreNames, or empty for 148 to 255 (255 stands for none).
std::string GenreName(uint8_t Index);
