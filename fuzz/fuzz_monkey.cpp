// TMonkeyFile: old and descriptor header layouts and the derived values.
#include "fuzz/fuzz_input.h"
#include "readers/monkey.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TMemoryInput input;
  input.Set(data, size);
  TMonkeyFile ape;
  if (ape.ReadHeader(input.Path())) {
    (void)ape.IsValid();
    (void)ape.BitsPerSample();
    (void)ape.Samples();
    CheckReal(ape.Duration(), "Monkey's Audio duration");
    CheckReal(ape.Ratio(), "Monkey's Audio ratio");
    (void)ape.ChannelModeName();
    (void)ape.CompressionName();
    (void)ape.VersionText();
  }
  CheckFilesClosed();
  return 0;
}
