// TMPEGplus: Musepack stream headers.
#include "fuzz/fuzz_input.h"
#include "readers/mpeg_plus.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TMemoryInput input;
  input.Set(data, size);
  TMPEGplus mpc;
  if (mpc.ReadHeader(input.Path())) {
    (void)mpc.BitRate();
    CheckReal(mpc.Duration(), "Musepack duration");
    (void)mpc.ChannelMode();
    (void)mpc.Profile();
  }
  CheckFilesClosed();
  return 0;
}
