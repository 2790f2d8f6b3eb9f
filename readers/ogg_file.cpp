#include "readers/ogg_file.h"

#include "toolkit/str_tools.h"
#include "tagbridge/orva_tags.h"

namespace {

// Runs the end of a read whatever happens in between.
struct TEndRead {
  ~TEndRead() { OGG_EndReadTags(); }
};

}  // namespace

void TOGGFile::ClearFields() {
  ClearComments();
  FValid = false;
}

bool TOGGFile::ReadHeader(const std::string& path) {
  ClearFields();
  TEndRead end_read;
  OGG_BeginReadTags(path.c_str());
  const OggHeaderInfo* header = OGG_GetHeaderInfo();
  const OggTagsInfo* tags = OGG_GetTagsInfo();
  if (header == nullptr || header->Valid != 1) return false;

  FValid = true;
  FSampleRate = header->SampleRate;
  FBitRate = ClampI32(RoundEven(header->NominalBitrate / 1000.0));
  FFileSize = ClampI32(RoundEven(header->FileSize / 1024.0));
  FDuration = header->Duration;
  FChannelMode = ChannelCountText(header->Channels);
  FVendor = tags != nullptr && tags->Vendor != nullptr ? tags->Vendor : "";

  if (tags == nullptr || tags->Count < 1 || tags->Comments == nullptr) return true;
  FHasTags = true;
  ReadComments(tags->Comments, tags->Count);
  return true;
}

// The block holds count zero-terminated entries one after the other.
void TOGGFile::ReadComments(const char* block, int32_t count) {
  const char* entry = block;
  for (int32_t i = 0; i < count; ++i) {
    std::string text(entry);
    entry += text.size() + 1;
    FileComment(text);
  }
}
