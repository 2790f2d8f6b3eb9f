#pragma once

// The stream header of a Musepack file, stream versions 4 to 7: the first
// 12 bytes after an ID3v2 tag, as bytes b0..b11 and as the little-endian
// words W0, W1, W2.
//
// Stream version 7: W0 = 072B504D hex ("MP+" and 07)
//   W1      frame count
//   b10     bits 7-4 profile (8 Thumb ... 12 Insane), bits 1-0 sample rate
//           (0 44100, 1 48000, 2 37800, 3 32000 Hz)
//   b11     bit 6 set: joint stereo
// Stream versions 4, 5, 6: (b1 AND 1F) >> 1 is 3, 7 or 11
//   W0 >> 23  bit rate in kbit/s (versions 4 and 5)
//   W1        frame count (version 4: its upper 16 bits)
//   b2 AND 7F non-zero: joint stereo
//   the sample rate is always 44100 Hz
// Every frame holds 1152 samples.

#include <cstdint>
#include <string>

class TFile;

class TMPEGplus {
 public:
  bool Valid = false;
  uint8_t StreamVersion = 0;  // 0 when the header is not Musepack
  uint8_t ChannelModeID = 0;  // 1 stereo, 2 joint stereo
  uint8_t ProfileID = 0;      // 1 Thumb ... 5 Insane
  uint32_t FrameCount = 0;
  uint16_t HeaderBitRate = 0;  // kbit/s; 0 when the header states none
  uint32_t SampleRate = 0;
  int64_t FileLength = 0;
  int64_t ID3v2Size = 0;
  bool HasID3v1 = false;

  void ClearFields() { *this = TMPEGplus(); }
  // True when 12 header bytes could be read, whether or not they are
  // Musepack (Valid tells); false on an I/O error or a file too short.
  bool ReadHeader(const std::string& FileName);
  // The same through a file that is open already.
  bool ReadHeader(const TFile& file);

  // kbit/s: the header's, or estimated from the audio size and frame count.
  uint16_t BitRate() const;
  double Duration() const;
  std::string ChannelMode() const;
  std::string Profile() const;

 private:
  void DecodeSV7(const std::string& header);
  void DecodeSV4to6(const std::string& header, uint8_t version);
};
