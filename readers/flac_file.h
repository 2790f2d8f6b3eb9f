#pragma once

// A FLAC file, after an ID3v2 tag if there is one: "fLaC", then metadata
// blocks, each behind a 4-byte header (bit 7: last block; bits 6-0: type;
// then a 24-bit big-endian length). The first block is STREAMINFO; from
// the start of the stream:
//
//    0-3   "fLaC"
//    4-7   first metadata block header (taken to be STREAMINFO)
//    8-17  block and frame size limits (not used)
//   18-20  sample rate: 20 bits, big-endian
//   20     bits 3-1: channels - 1; bit 0: top bit of bits per sample - 1
//   21     bits 7-4: rest of bits per sample - 1; bits 3-0: top of the sample count
//   22-25  rest of the 36-bit sample count
//
// Of the blocks after it, the file's own tags are read: the Vorbis comment
// block (type 4: little-endian 32-bit lengths; vendor, entry count, then
// each entry as length and UTF-8 NAME=value) and the PICTURE blocks (type 6,
// see flac_picture.h).

#include <cstdint>
#include <string>

#include "readers/vorbis_comments.h"

class TFile;

class TFLACfile {
 public:
  uint8_t Channels = 0;
  uint8_t BitsPerSample = 0;
  int64_t FileSize = 0;
  int32_t SampleRate = 0;
  uint64_t TotalSamples = 0;  // all 36 bits
  bool HasID3v1 = false;
  int64_t ID3v2Size = 0;
  std::string Vendor;        // of the Vorbis comment block
  TVorbisComments Comments;  // the comments and the picture the file shows

  void ClearFields() { *this = TFLACfile(); }
  // True when the 26 bytes and the file size were read, whether or not the
  // signature matched; false when the file cannot be opened or is too short.
  bool ReadHeader(const std::string& FileName);
  // The same through a file that is open already.
  bool ReadHeader(const TFile& file);

  bool IsValid() const;
  double Duration() const;
  // The file size in per cent of the raw sample data.
  double Ratio() const;

 private:
  void ReadMetadataBlocks(const TFile& file, int64_t pos);
  void ReadCommentBlock(const std::string& block);
};
