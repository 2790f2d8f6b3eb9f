// The combined loader of Ogg Vorbis files: stream values and comments from
// one TOGGFile read.

#include "audiofile/audio_file.h"
#include "audiofile/str_tools.h"
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
    Tags.HasTagV1 = true;
    Tags.Artist = ogg.FArtist;
    Tags.Album = ogg.FAlbum;
    Tags.Title = ogg.FTitle;
    Tags.Year = ogg.FYear;
    Tags.Comment = ogg.FComment;
    SetTrack(ogg.FTrack);
    Tags.Genre = ogg.FGenre;
    Tags.Link = ogg.FLink;
    Tags.Language = ogg.FLanguage;
    Tags.BPM = ParseDecimal(ogg.FBPM);
    Tags.Lyricist = ogg.FLyricist;
    Tags.Subtitle = ogg.FSubtitle;
    Tags.Composer = ogg.FComposer;
    Tags.Conductor = ogg.FConductor;
    Tags.Band = ogg.FBand;
    Tags.Copyright = ogg.FCopyright;
    Tags.OrigArtist = ogg.FOrigArtist;
    Tags.OrigLyricist = ogg.FOrigLyricist;
    Tags.OrigAlbum = ogg.FOrigAlbum;
    Tags.Remixed = ogg.FRemixed;
    Tags.RecordDate = ogg.FRecordDate;
    Tags.ContentGroup = ogg.FContentGroup;
    if (ogg.FHasLyrics) {
      Tags.Lyrics = ogg.FLyrics;
      Tags.HasLyrics = true;
    }
    Tags.TagVersion = ogg.FVendor;
    result = true;
  }
  return result;
}
