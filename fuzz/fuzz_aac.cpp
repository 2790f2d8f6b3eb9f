// TAACfile: ADIF and ADTS headers and the frame walk.
#include "fuzz/fuzz_input.h"
#include "readers/aac_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TMemoryInput input;
  input.Set(data, size);
  TAACfile aac;
  if (aac.ReadHeader(input.Path())) {
    (void)aac.IsValid();
    CheckReal(aac.Duration(), "AAC duration");
    (void)aac.HeaderTypeName();
  }
  CheckFilesClosed();
  return 0;
}
