// TAudioFile.LoadFile on the input under every file extension the program
// knows, and an unknown one, with both ID3 preferences.
#include <array>

#include "audiofile/audio_file.h"
#include "fuzz/fuzz_input.h"

namespace {

const std::array<const char*, 12> kExtensions = {".mp3", ".mp2", ".mp1", ".ogg", ".wma", ".wmv",
                                                 ".asf", ".ape", ".mpc", ".aac", ".flac", ".txt"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TMemoryInput input;
  static TAudioFile audio;
  input.Set(data, size);
  for (const char* extension : kExtensions) {
    audio.FileName = input.Name(extension);
    for (int preferred : {2, 1}) {
      audio.SetPreferredTag(preferred);
      audio.LoadFile();
      if (audio.Tags.HasPicture != !audio.Tags.PictureData.empty()) FuzzFinding("picture flag and data disagree");
    }
  }
  CheckFilesClosed();
  return 0;
}
