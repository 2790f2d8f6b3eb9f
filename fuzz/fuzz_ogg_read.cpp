// OGG_BeginReadTags and the two records it leaves, walked as a caller does.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "tagbridge/orva_tags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TMemoryInput input;
  input.Set(data, size);
  OGG_BeginReadTags(input.Path().c_str());
  const OggHeaderInfo* header = OGG_GetHeaderInfo();
  const OggTagsInfo* tags = OGG_GetTagsInfo();
  if (header == nullptr || tags == nullptr) FuzzFinding("the read records are missing");
  if (header->Valid == 0 && (tags->Count != 0 || tags->Comments != nullptr)) FuzzFinding("comments without headers");
  if (tags->Count < 0) FuzzFinding("a negative comment count");
  // Count entries, each ended by a zero byte, then one more zero.
  const char* p = tags->Comments;
  for (int32_t i = 0; i < tags->Count; ++i) p += std::strlen(p) + 1;
  if (p != nullptr && *p != '\0') FuzzFinding("the comment block is not closed by a zero byte");
  if (tags->Vendor != nullptr) (void)std::strlen(tags->Vendor);
  OGG_EndReadTags();
  CheckFilesClosed();
  return 0;
}
