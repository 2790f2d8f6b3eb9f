// TMPEGaudio: frame search, Xing and VBRI headers, encoder signature.
#include "fuzz/fuzz_input.h"
#include "readers/mpeg_audio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TMemoryInput input;
  input.Set(data, size);
  TMPEGaudio mpeg;
  if (mpeg.ReadHeader(input.Path())) {
    (void)mpeg.BitRate();
    (void)mpeg.SampleRate();
    CheckReal(mpeg.Duration(), "MPEG duration");
    (void)mpeg.ChannelMode();
    (void)mpeg.Encoder();
  }
  CheckFilesClosed();
  return 0;
}
