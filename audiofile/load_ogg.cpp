// The combined loader of Ogg Vorbis files: stream values and comments from
// one TOGGFile read.

#include "audiofile/audio_file.h"
#include "audiofile/reader_tags.h"
#include "toolkit/str_tools.h"
#include "readers/ogg_file.h"

bool TAudioFile::LoadOgg() {
  TOGGFile& ogg = *FOGG;
  bool result = false;
  if (ogg.ReadHeader(FileName) && ogg.FValid) {
    Stream.Valid = true;
    Stream.BitRate = ClampU32(ogg.FBitRate);
    Stream.SampleRate = ClampU32(ogg.FSampleRate);
    // An unknown play time (-1) shows as 0.
    Stream.Duration = ClampU32(ogg.FDuration);
    Stream.DurationText = FStrTools.FormatDuration(Stream.Duration, ":");
    Stream.FileSizeKB = ogg.FFileSize;
    Stream.ChannelMode = ogg.FChannelMode;
    Stream.Encoder = ogg.FVendor;
    result = true;
  }
  // Comments count even when the stream values could not be read.
  if (ogg.FHasTags) {
    CopyReaderTags(ogg);
    Tags.TagVersion = ogg.FVendor;
    result = true;
  }
  return result;
}
