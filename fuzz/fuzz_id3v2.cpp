// TDID3v2 over the input, then every picture frame through TImgArt, and the
// comment and lyrics accessors over every index.
#include "fuzz/fuzz_input.h"
#include "readers/id3v2.h"
#include "readers/img_art.h"
#include "readers/tag_location.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TMemoryInput input;
  input.Set(data, size);
  TDID3v2 tag;
  if (tag.LoadTag(input.Path()) && tag.Exists) {
    for (int i = 0; i < tag.Comments.Count(); ++i) (void)tag.GetComment(i);
    for (int i = 0; i < tag.Lyrics.Count(); ++i) (void)tag.GetLyrics(i);
    (void)tag.GetShownComment();
    TImgArt art;
    for (int i = 0; i < tag.Pictures.Count(); ++i) {
      art.ClearFields();
      art.Data = tag.GetPicture(i);
      if (art.ExtractPicture().size() > art.Data.size()) FuzzFinding("a picture larger than its frame");
    }
  }
  (void)GetID3v2Size(input.Path());
  CheckFilesClosed();
  return 0;
}
