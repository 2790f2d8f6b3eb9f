#include "readers/wma_info_file.h"

#include <algorithm>

#include "toolkit/byte_view.h"
#include "toolkit/file_io.h"
#include "toolkit/str_tools.h"

namespace {

// GUIDs as stored: the first three groups of the textual form little-endian.
constexpr char kHeaderObject[] = "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C";
constexpr char kFileProperties[] = "\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65";
constexpr char kStreamProperties[] = "\x91\x07\xDC\xB7\xB7\xA9\xCF\x11\x8E\xE6\x00\xC0\x0C\x20\x53\x65";
// Stream type of an audio stream: F8699E40-5B4D-11CF-A8FD-00805F5C442B.
constexpr char kAudioMedia[] = "\x40\x9E\x69\xF8\x4D\x5B\xCF\x11\xA8\xFD\x00\x80\x5F\x5C\x44\x2B";
constexpr size_t kGuidSize = 16;

bool GuidIs(const TByteView& v, size_t pos, const char* guid) {
  return v.Matches(pos, std::string_view(guid, kGuidSize));
}

constexpr size_t kHeaderObjectSize = 30;
constexpr size_t kObjectHeaderSize = 24;
// The fields read lie in the first 104 bytes of a child object.
constexpr size_t kSubObjectBytes = 104;
constexpr size_t kReadAhead = 4096;

}  // namespace

void TWMAInfoFile::ClearFields() {
  FValid = false;
  FFileSize = 0;
  FChannels = 0;
  FSampleRate = 0;
  FBitRate = 0;
  FDuration = 0.0;
  FDurationEstimated = false;
}

std::string TWMAInfoFile::ChannelModeText() const { return FChannels == 0 ? "Unknown" : ChannelCountText(FChannels); }

bool TWMAInfoFile::ReadHeader(const std::string& path) {
  ClearFields();
  WMAInfoFileData data;
  TFile file;
  if (!file.Open(path)) return false;
  // The header objects are read a few bytes at a time; reading ahead turns
  // that into one or two reads of the file.
  file.ReadEnds(kReadAhead, 0);
  if (!ReadAsfHeader(file, data)) return false;
  if (!IsPlausible(data)) return true;
  FValid = true;
  FFileSize = ClampI32(data.FileSize);
  FChannels = static_cast<uint8_t>(data.Channels);
  FSampleRate = static_cast<int32_t>(data.SampleRate);
  FBitRate = static_cast<int32_t>(static_cast<uint64_t>(data.ByteRate) * 8 / 1000);
  if (data.PlayDuration != 0) {
    // The play duration counts the preroll too.
    FDuration = static_cast<double>(data.PlayDuration) / 1e7 - static_cast<double>(data.Preroll) / 1000.0;
  } else {
    FDuration = static_cast<double>(data.FileSize) * 8.0 / data.MaxBitRate;
    FDurationEstimated = true;
  }
  FDuration = std::max(FDuration, 0.0);
  return true;
}

// Walks the children of the Header Object. A file that ends inside a child
// gives false; a child whose size is smaller than its own header or larger
// than what is left of the header ends the walk with the values read so far.
bool TWMAInfoFile::ReadAsfHeader(const TFile& file, WMAInfoFileData& data) {
  data = WMAInfoFileData{};
  data.FileSize = file.Size();
  std::string bytes;
  if (!file.ReadAt(0, kHeaderObjectSize, bytes) || bytes.size() < kGuidSize) return false;
  if (!GuidIs(TByteView(bytes), 0, kHeaderObject)) return true;
  if (bytes.size() < kHeaderObjectSize) return false;
  TByteView head(bytes);
  uint64_t file_size = static_cast<uint64_t>(file.Size());
  uint64_t header_size = head.LE64(16);
  uint64_t limit = header_size >= kHeaderObjectSize && header_size <= file_size ? header_size : file_size;
  uint32_t count = head.LE32(24);
  uint64_t pos = kHeaderObjectSize;
  for (uint32_t i = 0; i < count; ++i) {
    if (!file.ReadExact(static_cast<int64_t>(pos), kObjectHeaderSize, bytes)) return false;
    uint64_t size = TByteView(bytes).LE64(16);
    if (size > file_size - pos) return false;
    if (size < kObjectHeaderSize || size > limit - pos) break;
    if (!file.ReadExact(static_cast<int64_t>(pos), static_cast<size_t>(std::min<uint64_t>(size, kSubObjectBytes)), bytes))
      return false;
    ReadAsfSubObject(bytes, data);
    pos += size;
  }
  return true;
}

void TWMAInfoFile::ReadAsfSubObject(const std::string& object, WMAInfoFileData& data) {
  TByteView v(object);
  if (GuidIs(v, 0, kFileProperties)) {
    data.PlayDuration = v.LE64(64);
    data.Preroll = v.LE64(80);
    data.MaxBitRate = v.LE32(100);
  } else if (GuidIs(v, 0, kStreamProperties)) {
    // Only the first audio stream counts: a video stream's type-specific
    // data is no WAVEFORMATEX, and in a file with its video after its audio
    // the last stream would otherwise give nonsense values.
    if (data.HasAudio || !GuidIs(v, 24, kAudioMedia) || v.LE32(64) < 12 || !v.Fits(78, 12)) return;
    data.HasAudio = true;
    data.Channels = v.LE16(80);
    data.SampleRate = v.LE32(82);
    data.ByteRate = v.LE32(86);
  }
}

// Ranges that real streams stay within: up to 8 channels and 192 kHz, and
// bit rates that a lossless multichannel stream reaches.
bool TWMAInfoFile::IsPlausible(const WMAInfoFileData& data) {
  return data.MaxBitRate >= 1 && data.MaxBitRate <= 10000000 && data.Channels >= 1 && data.Channels <= 8 &&
         data.SampleRate >= 8000 && data.SampleRate <= 192000 && data.ByteRate >= 1 && data.ByteRate <= 1000000;
}
