#pragma once

// TMPEGaudio: stream properties of an MPEG audio file (MP3, MP2, MP1) from
// at most three blocks of 3458 bytes, never a scan of the whole file:
//   1. the block right after the ID3v2 tag, searched for the first frame;
//   2. a block from the middle of the file, when the first held no frame;
//   3. the block at the end of the file (before an ID3v1 tag), searched for
//      an encoder signature, when the first frame has no Xing/VBRI header.
//
// Frame header, 4 bytes (bit 7 is the top bit of a byte):
//   byte 0     FF                 sync
//   byte 1 7-5 111                sync
//          4-3 VersionID          0 MPEG 2.5, 1 reserved, 2 MPEG 2, 3 MPEG 1
//          2-1 LayerID            0 reserved, 1 Layer III, 2 Layer II, 3 Layer I
//          0   protection         0 = a CRC follows the header
//   byte 2 7-4 BitRateID          0 free format, 15 bad
//          3-2 SampleRateID       3 reserved
//          1   padding
//          0   private
//   byte 3 7-6 ModeID             0 Stereo, 1 Joint Stereo, 2 Dual Channel, 3 Mono
//          5-4 mode extension
//          3   copyright
//          2   original
//          1-0 EmphasisID         2 reserved

#include <cstdint>
#include <string>

class TFile;

// The first frame as decoded.
struct FrameData {
  bool Found = false;
  int32_t Position = 0;  // offset of the header within the block it was found in
  uint16_t Size = 0;     // frame length in bytes
  bool Xing = false;     // the 6 bytes after the header are all zero
  uint8_t Data[4] = {};  // the header bytes
  uint8_t VersionID = 1;
  uint8_t LayerID = 0;
  bool ProtectionBit = false;  // true when a CRC follows (protection bit 0)
  uint16_t BitRateID = 0;
  uint16_t SampleRateID = 3;
  bool PaddingBit = false;
  bool PrivateBit = false;
  uint8_t ModeID = 4;
  uint8_t ModeExtensionID = 4;
  bool CopyrightBit = false;
  bool OriginalBit = false;
  uint8_t EmphasisID = 2;
};

// The Xing or VBRI header inside the first frame.
struct VBRData {
  bool Found = false;
  std::string ID;  // "Xing" or "VBRI"
  int32_t Frames = 0;
  int32_t Bytes = 0;
  uint8_t Scale = 0;
  std::string VendorID;  // 8 bytes after the Xing header (the LAME tag's version), Xing only
};

class TMPEGaudio {
 public:
  static constexpr size_t kBlockSize = 3458;

  int64_t FileLength = 0;
  FrameData Frame;
  VBRData VBR;
  std::string VendorID;  // encoder signature found near the end of the file
  int64_t ID3v2Size = 0;
  bool ID3v1Present = false;

  TMPEGaudio() { ClearFields(); }
  void ClearFields();
  // True when all reads went through, also when no frame was found (the
  // fields are then cleared); false on an I/O error.
  bool ReadHeader(const std::string& FileName);
  // The same through a file that is open already.
  bool ReadHeader(const TFile& file);

  uint16_t BitRate() const;     // kbit/s; the average for a VBR file
  uint16_t SampleRate() const;  // Hz
  double Duration() const;      // seconds
  std::string ChannelMode() const;
  uint8_t EncoderID() const;  // index into the encoder names
  std::string Encoder() const;

  // The frame header test and frame length, shared with the tests.
  static bool IsFrameHeader(const uint8_t* b);
  static uint16_t FrameLength(const FrameData& frame);

 private:
  void FindFrame();
  void ReadVBR(size_t pos);
  void FindVendorID(size_t count);
  uint16_t TableBitRate() const;
  uint16_t Coefficient() const;
  uint8_t PaddingBytes() const;

  std::string FBlock;  // the one block buffer for all three reads
};
