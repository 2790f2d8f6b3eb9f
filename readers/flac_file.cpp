#include "readers/flac_file.h"

#include "toolkit/byte_view.h"
#include "toolkit/file_io.h"
#include "readers/tag_location.h"

namespace {
constexpr size_t kHeadSize = 26;
}

bool TFLACfile::ReadHeader(const std::string& FileName) {
  ClearFields();
  TFile file;
  return file.Open(FileName) && ReadHeader(file);
}

bool TFLACfile::ReadHeader(const TFile& file) {
  ClearFields();
  int64_t id3v2_size = GetID3v2Size(file);
  bool has_id3v1 = HasID3v1Tag(file);
  std::string head;
  if (!file.ReadExact(id3v2_size, kHeadSize, head)) return false;
  FileSize = file.Size();
  ID3v2Size = id3v2_size;
  HasID3v1 = has_id3v1;

  TByteView h(head);
  if (!h.Matches(0, "fLaC")) return true;
  uint8_t b20 = h.U8(20);
  uint8_t b21 = h.U8(21);
  SampleRate = static_cast<int32_t>(h.BE24(18) >> 4);
  Channels = static_cast<uint8_t>(((b20 >> 1) & 0x7) + 1);
  BitsPerSample = static_cast<uint8_t>((((b20 & 0x1) << 4) | (b21 >> 4)) + 1);
  TotalSamples = (static_cast<uint64_t>(b21 & 0xF) << 32) | h.BE32(22);
  return true;
}

bool TFLACfile::IsValid() const { return Channels != 0 && SampleRate > 0 && BitsPerSample != 0 && TotalSamples > 0; }

double TFLACfile::Duration() const {
  if (!IsValid()) return 0;
  return static_cast<double>(TotalSamples) / SampleRate;
}

double TFLACfile::Ratio() const {
  if (!IsValid()) return 0;
  double raw_bytes = static_cast<double>(TotalSamples) * Channels * BitsPerSample / 8;
  return static_cast<double>(FileSize) / raw_bytes * 100.0;
}
