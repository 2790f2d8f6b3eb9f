#include "readers/tag_location.h"

#include <cstring>

#include "toolkit/file_io.h"

bool ReadTagHeader(const std::string& FileName, TagInfo& Info) {
  Info = TagInfo{};
  TFile file;
  return file.Open(FileName) && ReadTagHeader(file, Info);
}

bool ReadTagHeader(const TFile& File, TagInfo& Info) {
  Info = TagInfo{};
  std::string bytes;
  if (!File.ReadExact(0, Info.Header.size(), bytes)) return false;
  std::memcpy(Info.Header.data(), bytes.data(), Info.Header.size());
  Info.FileSize = File.Size();
  return true;
}

int64_t TagSizeOf(const TagInfo& Info) {
  const auto& h = Info.Header;
  int64_t size = static_cast<int64_t>(h[6]) * (1 << 21) + static_cast<int64_t>(h[7]) * (1 << 14) +
                 static_cast<int64_t>(h[8]) * (1 << 7) + h[9] + 10;
  if (h[5] & 0x10) size += 10;
  return size > Info.FileSize ? 0 : size;
}

int64_t GetID3v2Size(const std::string& FileName) {
  TFile file;
  return file.Open(FileName) ? GetID3v2Size(file) : 0;
}

int64_t GetID3v2Size(const TFile& File) {
  TagInfo info;
  if (!ReadTagHeader(File, info)) return 0;
  if (std::memcmp(info.Header.data(), "ID3", 3) != 0) return 0;
  return TagSizeOf(info);
}

bool HasID3v1Tag(const std::string& FileName) {
  TFile file;
  return file.Open(FileName) && HasID3v1Tag(file);
}

bool HasID3v1Tag(const TFile& File) {
  std::string bytes;
  if (File.Size() < 128) return false;
  return File.ReadExact(File.Size() - 128, 3, bytes) && bytes == "TAG";
}
