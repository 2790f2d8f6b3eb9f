#pragma once

// TWMAInfoFile: the stream values of a Windows Media file (WMA, WMV, ASF),
// read from the objects of its ASF Header Object.
//
// Header Object: 0 GUID, 16 size (8), 24 number of child objects (4),
// 28 two reserved bytes; the first child follows at 30. Each child: GUID,
// 64-bit size that counts its 24-byte header too.
//
// File Properties Object (8CABDCA1-A947-11CF-8EE4-00C00C205365):
//   40 file size (8), 64 play duration in 100 ns units (8),
//   80 preroll in ms (8), 100 maximum bit rate in bit/s (4).
// Stream Properties Object (B7DC0791-A9B7-11CF-8EE6-00C00C205365):
//   24 stream type GUID, 64 type-specific data length (4); the type-specific
//   data begins at 78, for an audio stream a WAVEFORMATEX:
//   78 format tag (2), 80 channels (2), 82 samples per second (4),
//   86 average bytes per second (4).

#include <cstdint>
#include <string>

class TFile;

// What the header walk collects; zeroed before each read.
struct WMAInfoFileData {
  int64_t FileSize = 0;
  uint32_t MaxBitRate = 0;
  uint16_t Channels = 0;
  uint32_t SampleRate = 0;
  uint32_t ByteRate = 0;
  uint64_t PlayDuration = 0;  // 100 ns units, preroll included
  uint64_t Preroll = 0;       // ms
  bool HasAudio = false;      // an audio Stream Properties Object was read
};

class TWMAInfoFile {
 public:
  int32_t FBitRate = 0;  // kbit/s: average bytes per second x 8 / 1000, truncated
  uint8_t FChannels = 0;
  double FDuration = 0.0;  // seconds
  // FDuration is the estimate file size x 8 / maximum bit rate, because the
  // File Properties Object states no play duration.
  bool FDurationEstimated = false;
  int32_t FFileSize = 0;  // bytes (clamped to 2 GiB - 1)
  int32_t FSampleRate = 0;
  bool FValid = false;

  TWMAInfoFile() { ClearFields(); }
  void ClearFields();
  // True when the file could be opened and its header walked without a
  // short read; FValid says whether the values are usable.
  bool ReadHeader(const std::string& path);
  // "Unknown" for 0 channels, "Mono", "Stereo", else the count.
  std::string ChannelModeText() const;

  static bool ReadAsfHeader(const TFile& file, WMAInfoFileData& data);
  // Takes the values of one child object of the Header Object, given its
  // first bytes (at most 104: the fields above lie within them).
  static void ReadAsfSubObject(const std::string& object, WMAInfoFileData& data);
  static bool IsPlausible(const WMAInfoFileData& data);
};
