#pragma once

// The stream properties of a raw AAC file, after an ID3v2 tag if there is
// one: a single ADIF header, or a run of ADTS frames whose headers are
// walked to estimate the bit rate. Bit fields are read most significant
// bit first.
//
// ADIF: "ADIF", copyright id present (1 bit) [+ 72-bit id], original/copy,
//   home, bitstream type (1: variable), bit rate (23), PCE count (4),
//   buffer fullness (20, constant rate only), then the first program
//   configuration element: instance tag (4), object type (2), sampling
//   index (4), front, side and back element counts (4 each), LFE count (2).
// ADTS frame header: sync 0xFFF (12), ID (1), layer (2), protection
//   absent (1), object type (2), sampling index (4), private (1), channel
//   configuration (3), 4 bits of flags, frame length (13, from bit 30),
//   buffer fullness (11, 0x7FF marks a variable rate). Each frame holds
//   1024 samples. The layout is the same for MPEG-2 (ID 1) and MPEG-4
//   (ID 0): only drafts before 2002 put two emphasis bits in front of the
//   frame length of MPEG-4 streams, and current encoders write ID 0.

#include <cstdint>
#include <string>

class TFile;

enum TAACHeaderType : uint8_t { aacUnknown = 0, aacADIF = 1, aacADTS = 2 };
enum TAACBitRateKind : uint8_t { aacRateNone = 0, aacRateConstant = 1, aacRateVariable = 2 };

class TAACfile {
 public:
  int32_t BitRate = 0;  // bit/s
  uint8_t BitRateType = aacRateNone;
  uint8_t Channels = 0;
  int64_t FileSize = 0;
  uint8_t HeaderTypeID = aacUnknown;
  int32_t SampleRate = 0;
  bool HasID3v1 = false;
  int64_t ID3v2Size = 0;

  void ClearFields() { *this = TAACfile(); }
  // True when the file could be opened and examined, whether or not it is AAC.
  bool ReadHeader(const std::string& FileName);
  // The same through a file that is open already.
  bool ReadHeader(const TFile& file);

  bool IsValid() const;
  double Duration() const;
  std::string HeaderTypeName() const;

 private:
  void ReadADIF(const TFile& file);
  void ReadADTS(const TFile& file);
};
