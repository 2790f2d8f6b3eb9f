// The Ogg comment rewrite over a file in a private folder. A rewrite that
// reports success must leave a file whose comments read back as written.
#include <cstdio>

#include "fuzz/fuzz_input.h"
#include "tagbridge/ogg_comment_editor.h"
#include "tagbridge/orva_tags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TFolderInput input("input.ogg");
  input.Set(data, size);
  OGG_BeginWriteTags();
  OGG_AddTag("TITLE", "rewritten");
  OGG_AddTag("ARTIST", "");  // an empty value is left out
  OGG_AddTag("COMMENT", "two=parts");
  OGG_AddVendor("fuzz vendor");
  if (OGG_EndWriteTags(input.Path().c_str()) == 1) {
    OggTagList tags;
    OggStreamSummary summary;
    if (!OggCommentEditor::Read(input.Path().c_str(), tags, summary)) FuzzFinding("a rewritten file does not read");
    const std::vector<std::string> expected = {"TITLE=rewritten", "COMMENT=two=parts"};
    if (tags.Entries != expected || tags.Vendor != "fuzz vendor") {
      for (const std::string& entry : tags.Entries) std::fprintf(stderr, "read back: %s\n", entry.c_str());
      std::fprintf(stderr, "vendor: %s\n", tags.Vendor.c_str());
      FuzzFinding("the rewritten comments differ");
    }
  }
  CheckFilesClosed();
  return 0;
}
