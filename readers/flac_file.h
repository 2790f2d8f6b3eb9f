#pragma once

// The stream properties of a FLAC file from the fixed start of its stream,
// after an ID3v2 tag if there is one: 26 bytes.
//
//    0-3   "fLaC"
//    4-7   first metadata block header (taken to be STREAMINFO)
//    8-17  block and frame size limits (not used)
//   18-20  sample rate: 20 bits, big-endian
//   20     bits 3-1: channels - 1; bit 0: top bit of bits per sample - 1
//   21     bits 7-4: rest of bits per sample - 1; bits 3-0: top of the sample count
//   22-25  rest of the 36-bit sample count
//
// Tags of FLAC files come from ID3 tags; no other metadata block is read.

#include <cstdint>
#include <string>

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
};
