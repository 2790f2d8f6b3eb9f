// The combined loader of Windows Media files (WMA, WMV, ASF): stream values
// and attributes from one reader.

#include "audiofile/audio_file.h"
#include "audiofile/reader_tags.h"
#include "toolkit/str_tools.h"
#include "readers/wma_file.h"

bool TAudioFile::LoadWma() {
  if (!FWMA->ReadHeader(FileName) || !FWMA->FValid) return false;
  const TWMAFile& w = *FWMA;
  Stream.Valid = true;
  Stream.BitRate = ClampU32(w.FBitRate);
  Stream.SampleRate = ClampU32(w.FSampleRate);
  Stream.Duration = ClampU32(w.FDuration);
  Stream.DurationText = FStrTools.FormatDuration(Stream.Duration, ":");
  Stream.FileSizeKB = w.FFileSize;
  Stream.ChannelMode = w.FChannelMode;
  // The reader has no format text; Encoder stays empty.
  if (!w.FHasTags && !w.FHasPicture) return true;

  CopyReaderTags(w);
  Tags.TagVersion = w.FEncoder;
  return true;
}
