// TDAPEv2: footer, header and items, before an ID3v1 tag or at the end.
#include "fuzz/fuzz_input.h"
#include "readers/apev2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TMemoryInput input;
  input.Set(data, size);
  TDAPEv2 tag;
  if (tag.LoadTag(input.Path()) && tag.Exists) {
    size_t total = 0;
    for (const std::string& slot : tag.Slots) total += slot.size();
    for (const TFrameItemApe2& item : tag.OtherItems) total += item.Key.size() + item.Value.size();
    // A malformed UTF-8 byte becomes U+FFFD, three bytes; nothing grows more.
    if (total > 3 * size) FuzzFinding("APE items hold more text than the file can give");
  }
  CheckFilesClosed();
  return 0;
}
