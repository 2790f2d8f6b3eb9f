#include "readers/mpeg_plus.h"

#include <array>

#include "toolkit/byte_view.h"
#include "toolkit/file_io.h"
#include "toolkit/str_tools.h"
#include "readers/tag_location.h"

namespace {

constexpr size_t kHeaderSize = 12;
constexpr uint32_t kSV7Id = 0x072B504D;
constexpr double kSamplesPerFrame = 1152;
constexpr uint32_t kOldVersionRate = 44100;
constexpr int64_t kID3v1Size = 128;

constexpr std::array<uint32_t, 4> kSV7Rates = {44100, 48000, 37800, 32000};
constexpr std::array<const char*, 3> kChannelModes = {"Unknown", "Stereo", "Joint Stereo"};
constexpr std::array<const char*, 6> kProfiles = {"Unknown", "Thumb", "Radio", "Standard", "Xtreme", "Insane"};

// The stream version of a header other than version 7, or 0.
uint8_t OldStreamVersion(uint8_t b1) {
  switch ((b1 & 0x1F) >> 1) {
    case 3:
      return 4;
    case 7:
      return 5;
    case 11:
      return 6;
    default:
      return 0;
  }
}

}  // namespace

bool TMPEGplus::ReadHeader(const std::string& FileName) {
  ClearFields();
  TFile file;
  return file.Open(FileName) && ReadHeader(file);
}

bool TMPEGplus::ReadHeader(const TFile& file) {
  ClearFields();
  int64_t id3v2_size = GetID3v2Size(file);
  bool has_id3v1 = HasID3v1Tag(file);
  std::string header;
  if (!file.ReadExact(id3v2_size, kHeaderSize, header)) return false;

  TByteView h(header);
  if (h.LE32(0) == kSV7Id) {
    DecodeSV7(header);
  } else if (uint8_t version = OldStreamVersion(h.U8(1)); version != 0) {
    DecodeSV4to6(header, version);
  } else {
    return true;
  }
  Valid = true;
  FileLength = file.Size();
  ID3v2Size = id3v2_size;
  HasID3v1 = has_id3v1;
  return true;
}

void TMPEGplus::DecodeSV7(const std::string& header) {
  TByteView h(header);
  StreamVersion = 7;
  FrameCount = h.LE32(4);
  ChannelModeID = (h.U8(11) & 0x40) ? 2 : 1;
  uint8_t profile = h.U8(10) >> 4;
  ProfileID = (profile >= 8 && profile <= 12) ? static_cast<uint8_t>(profile - 7) : 0;
  SampleRate = kSV7Rates[h.U8(10) & 0x3];
}

void TMPEGplus::DecodeSV4to6(const std::string& header, uint8_t version) {
  TByteView h(header);
  StreamVersion = version;
  FrameCount = version == 4 ? h.LE32(4) >> 16 : h.LE32(4);
  HeaderBitRate = version == 6 ? 0 : static_cast<uint16_t>(h.LE32(0) >> 23);
  ChannelModeID = (h.U8(2) & 0x7F) == 0 ? 1 : 2;
  SampleRate = kOldVersionRate;
}

uint16_t TMPEGplus::BitRate() const {
  if (HeaderBitRate != 0) return HeaderBitRate;
  if (FrameCount == 0 || SampleRate == 0) return 0;
  int64_t audio_size = FileLength - ID3v2Size - (HasID3v1 ? kID3v1Size : 0);
  if (audio_size <= 0) return 0;
  double kbps = static_cast<double>(audio_size) * 8 * (SampleRate / 1000.0) / FrameCount / kSamplesPerFrame;
  int64_t rounded = RoundEven(kbps);
  return static_cast<uint16_t>(rounded > UINT16_MAX ? UINT16_MAX : rounded);
}

double TMPEGplus::Duration() const {
  if (SampleRate == 0) return 0;
  return FrameCount * kSamplesPerFrame / SampleRate;
}

std::string TMPEGplus::ChannelMode() const { return kChannelModes[ChannelModeID < kChannelModes.size() ? ChannelModeID : 0]; }

std::string TMPEGplus::Profile() const { return kProfiles[ProfileID < kProfiles.size() ? ProfileID : 0]; }
