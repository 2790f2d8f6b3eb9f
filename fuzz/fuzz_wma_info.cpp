// TWMAInfoFile: the ASF header object and its stream and file properties.
#include "fuzz/fuzz_input.h"
#include "readers/wma_info_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TMemoryInput input;
  input.Set(data, size);
  TWMAInfoFile wma;
  if (wma.ReadHeader(input.Path())) {
    CheckReal(wma.FDuration, "Windows Media duration");
    (void)wma.ChannelModeText();
  }
  CheckFilesClosed();
  return 0;
}
