#pragma once

// The stream header of a Monkey's Audio file, after an ID3v2 tag if there
// is one. Numbers are little-endian. Two layouts exist.
//
// Before version 3.98, one 40-byte header:
//    0  4  "MAC "
//    4  2  version x 1000 (3970 is 3.97)
//    6  2  compression level (1000 Fast ... 4000 Extra High)
//    8  2  format flags: bit 0 8-bit samples, bit 2 peak level present,
//          bit 3 24-bit samples, bit 4 seek elements present
//   10  2  channels
//   12  4  sample rate
//   16  4  WAV header bytes
//   20  4  terminating bytes
//   24  4  total frames
//   28  4  samples in the final frame
//   32  4  peak level
//   36  4  seek elements
// The samples per frame follow from version and level.
//
// From version 3.98 on, a descriptor followed by a header:
//    0  4  "MAC "
//    4  2  version x 1000
//    6  2  padding
//    8  4  descriptor bytes (where the header starts, from the descriptor's start)
//   12  4  header bytes
//   16 ..  seek table, WAV header, frame data and terminating byte counts, MD5
// header:
//    0  2  compression level
//    2  2  format flags
//    4  4  blocks (samples) per frame
//    8  4  samples in the final frame
//   12  4  total frames
//   16  2  bits per sample
//   18  2  channels
//   20  4  sample rate

#include <cstdint>
#include <string>

class TFile;

#include "toolkit/str_tools.h"

class TMonkeyFile {
 public:
  int64_t FileSize = 0;
  bool HasID3v1 = false;
  int64_t ID3v2Size = 0;
  // The header as read, in either layout.
  bool HasMacId = false;  // the stream starts with "MAC "
  uint16_t Version = 0;
  uint16_t CompressionLevel = 0;
  uint16_t FormatFlags = 0;
  uint16_t Channels = 0;
  int32_t SampleRate = 0;
  int32_t TotalFrames = 0;
  int32_t FinalFrameSamples = 0;
  uint32_t PeakLevel = 0;     // 0 unless flag bit 2 says it is there
  uint32_t SeekElements = 0;  // 0 unless flag bit 4 says it is there
  // Only the descriptor layout states these; 0 for the older one.
  uint32_t HeaderBlocksPerFrame = 0;
  uint16_t HeaderBitsPerSample = 0;

  void ClearFields() { *this = TMonkeyFile(); }
  // True when the header bytes were read, whatever they hold; on any
  // failure the fields are cleared and the result is false.
  bool ReadHeader(const std::string& FileName);
  // The same through a file that is open already.
  bool ReadHeader(const TFile& file);

  bool IsValid() const;
  bool IsDescriptorLayout() const { return Version >= 3980; }
  int BitsPerSample() const;
  uint32_t BlocksPerFrame() const;
  int64_t Samples() const;
  double Duration() const;
  // The file size in per cent of the uncompressed WAV file (44-byte header).
  double Ratio() const;
  std::string ChannelModeName() const;
  std::string CompressionName() const;
  // Version / 1000 with two decimals in at least four characters: 3990 gives 3.99.
  std::string VersionText(const TNumberFormat& format = CurrentNumberFormat()) const;

 private:
  void DecodeOldHeader(std::string_view header);
  void DecodeNewHeader(std::string_view header);
};
