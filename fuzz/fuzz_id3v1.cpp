// TID3v1 over the last 128 bytes of the input, with the genre lookup.
#include "fuzz/fuzz_input.h"
#include "readers/id3v1.h"
#include "readers/tag_location.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TMemoryInput input;
  input.Set(data, size);
  TID3v1 tag;
  if (tag.LoadTag(input.Path()) && tag.Exists) {
    (void)GenreName(tag.GenreID);
    if (!HasID3v1Tag(input.Path())) FuzzFinding("a tag was read where the tag locator sees none");
  }
  CheckFilesClosed();
  return 0;
}
