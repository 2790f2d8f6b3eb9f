// The combined loader of Windows Media files (WMA, WMV, ASF): stream values
// and attributes from one reader.

#include "audiofile/audio_file.h"
#include "audiofile/str_tools.h"
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

  Tags.HasTagV1 = true;
  Tags.Artist = w.FArtist;
  Tags.Album = w.FAlbum;
  Tags.Title = w.FTitle;
  Tags.Year = w.FYear;
  Tags.Comment = w.FComment;
  SetTrack(w.FTrack);
  Tags.Genre = w.FGenre;
  Tags.Link = w.FLink;
  Tags.Language = w.FLanguage;
  Tags.BPM = ParseDecimal(w.FBPM);
  Tags.Lyricist = w.FLyricist;
  Tags.Subtitle = w.FSubtitle;
  Tags.Composer = w.FComposer;
  Tags.Conductor = w.FConductor;
  Tags.Band = w.FBand;
  Tags.Copyright = w.FCopyright;
  Tags.OrigArtist = w.FOrigArtist;
  Tags.OrigLyricist = w.FOrigLyricist;
  Tags.OrigAlbum = w.FOrigAlbum;
  Tags.Remixed = w.FRemixed;
  Tags.RecordDate = w.FRecordDate;
  Tags.ContentGroup = w.FContentGroup;
  if (w.FHasLyrics) {
    Tags.Lyrics = w.FLyrics;
    Tags.HasLyrics = true;
  }
  if (w.FHasPicture) {
    Tags.PictureData = w.FPicture;
    Tags.HasPicture = true;
  }
  Tags.TagVersion = w.FEncoder;
  return true;
}
