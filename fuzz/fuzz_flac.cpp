// TFLACfile: metadata blocks and STREAMINFO behind an ID3v2 tag.
#include "fuzz/fuzz_input.h"
#include "readers/flac_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TMemoryInput input;
  input.Set(data, size);
  TFLACfile flac;
  if (flac.ReadHeader(input.Path())) {
    (void)flac.IsValid();
    CheckReal(flac.Duration(), "FLAC duration");
    CheckReal(flac.Ratio(), "FLAC ratio");
  }
  CheckFilesClosed();
  return 0;
}
