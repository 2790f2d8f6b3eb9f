#include "readers/monkey.h"

#include "toolkit/byte_view.h"
#include "toolkit/file_io.h"
#include "readers/tag_location.h"

namespace {

constexpr size_t kOldHeaderSize = 40;
constexpr size_t kNewHeaderSize = 24;
constexpr uint32_t kDescriptorMin = 16;  // identifier to header byte count
constexpr uint16_t kFirstDescriptorVersion = 3980;
constexpr uint16_t kFlag8Bit = 0x1;
constexpr uint16_t kFlagPeakLevel = 0x4;
constexpr uint16_t kFlag24Bit = 0x8;
constexpr uint16_t kFlagSeekElements = 0x10;
constexpr double kWavHeaderSize = 44;

}  // namespace

bool TMonkeyFile::ReadHeader(const std::string& FileName) {
  ClearFields();
  TFile file;
  return file.Open(FileName) && ReadHeader(file);
}

bool TMonkeyFile::ReadHeader(const TFile& file) {
  ClearFields();
  int64_t id3v2_size = GetID3v2Size(file);
  bool has_id3v1 = HasID3v1Tag(file);

  std::string head;
  if (!file.ReadExact(id3v2_size, kOldHeaderSize, head)) return false;
  TByteView h(head);
  bool descriptor = h.Matches(0, "MAC ") && h.LE16(4) >= kFirstDescriptorVersion;
  if (descriptor) {
    // The header lies descriptor-bytes after the descriptor's start.
    uint32_t descriptor_bytes = h.LE32(8);
    int64_t remaining = file.Size() - id3v2_size;
    std::string header;
    if (descriptor_bytes > remaining || !file.ReadExact(id3v2_size + descriptor_bytes, kNewHeaderSize, header)) {
      return false;
    }
    // A descriptor too short to hold its own byte counts has no header to
    // trust: the values stay 0 and the file is not valid.
    if (descriptor_bytes >= kDescriptorMin) DecodeNewHeader(header);
  } else {
    DecodeOldHeader(head);
  }
  HasMacId = h.Matches(0, "MAC ");
  Version = h.LE16(4);
  FileSize = file.Size();
  ID3v2Size = id3v2_size;
  HasID3v1 = has_id3v1;
  return true;
}

void TMonkeyFile::DecodeOldHeader(std::string_view header) {
  TByteView h(header);
  CompressionLevel = h.LE16(6);
  FormatFlags = h.LE16(8);
  Channels = h.LE16(10);
  SampleRate = static_cast<int32_t>(h.LE32(12));
  TotalFrames = static_cast<int32_t>(h.LE32(24));
  FinalFrameSamples = static_cast<int32_t>(h.LE32(28));
  PeakLevel = (FormatFlags & kFlagPeakLevel) ? h.LE32(32) : 0;
  SeekElements = (FormatFlags & kFlagSeekElements) ? h.LE32(36) : 0;
}

void TMonkeyFile::DecodeNewHeader(std::string_view header) {
  TByteView h(header);
  CompressionLevel = h.LE16(0);
  FormatFlags = h.LE16(2);
  HeaderBlocksPerFrame = h.LE32(4);
  FinalFrameSamples = static_cast<int32_t>(h.LE32(8));
  TotalFrames = static_cast<int32_t>(h.LE32(12));
  HeaderBitsPerSample = h.LE16(16);
  Channels = h.LE16(18);
  SampleRate = static_cast<int32_t>(h.LE32(20));
}

bool TMonkeyFile::IsValid() const { return HasMacId && SampleRate > 0 && Channels > 0; }

int TMonkeyFile::BitsPerSample() const {
  if (!IsValid()) return 0;
  if (IsDescriptorLayout()) return HeaderBitsPerSample;
  if (FormatFlags & kFlag24Bit) return 24;
  if (FormatFlags & kFlag8Bit) return 8;
  return 16;
}

uint32_t TMonkeyFile::BlocksPerFrame() const {
  if (!IsValid()) return 0;
  if (IsDescriptorLayout()) return HeaderBlocksPerFrame;
  if (Version >= 3950) return 294912;
  if (Version >= 3900 || (Version >= 3800 && CompressionLevel == 4000)) return 73728;
  return 9216;
}

// Whole frames before the last one plus the last frame's samples, in 64
// bits so that long files do not wrap. No frames means no samples.
int64_t TMonkeyFile::Samples() const {
  if (!IsValid() || TotalFrames <= 0) return 0;
  int64_t samples = static_cast<int64_t>(BlocksPerFrame()) * (TotalFrames - 1) + FinalFrameSamples;
  return samples > 0 ? samples : 0;
}

double TMonkeyFile::Duration() const {
  if (!IsValid()) return 0;
  return static_cast<double>(Samples()) / SampleRate;
}

double TMonkeyFile::Ratio() const {
  if (!IsValid()) return 0;
  // In floating point: samples x channels x bits can pass 63 bits.
  double wav_size = static_cast<double>(Samples()) * Channels * BitsPerSample() / 8 + kWavHeaderSize;
  return static_cast<double>(FileSize) / wav_size * 100.0;
}

std::string TMonkeyFile::ChannelModeName() const {
  if (Channels == 0) return "Unknown";
  return ChannelCountText(Channels);
}

std::string TMonkeyFile::CompressionName() const {
  switch (CompressionLevel / 1000) {
    case 1:
      return "Fast";
    case 2:
      return "Normal";
    case 3:
      return "High";
    case 4:
      return "Extra High";
    default:
      return "Unknown";
  }
}

std::string TMonkeyFile::VersionText(const TNumberFormat& format) const {
  if (Version == 0) return {};
  std::string text = FormatFixed2(Version / 1000.0, format);
  if (text.size() < 4) text.insert(0, 4 - text.size(), ' ');
  return text;
}
