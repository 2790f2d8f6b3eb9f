#pragma once

// The tag fields of the Vorbis comment readers (Ogg, FLAC) and the Windows
// Media reader into TTagFull. They name their tag fields alike (FArtist,
// FTrack, FLyrics, FPicture, ...), so one mapping serves them.

#include "audiofile/audio_file.h"
#include "toolkit/str_tools.h"

template <class TReader>
void TAudioFile::CopyReaderTags(const TReader& r) {
  Tags.HasTagV1 = true;  // the file's own tag
  Tags.Artist = r.FArtist;
  Tags.Album = r.FAlbum;
  Tags.Title = r.FTitle;
  Tags.Year = r.FYear;
  Tags.Comment = r.FComment;
  SetTrack(r.FTrack);
  Tags.Genre = r.FGenre;
  Tags.Link = r.FLink;
  Tags.Language = r.FLanguage;
  Tags.BPM = ParseDecimal(r.FBPM);
  Tags.Lyricist = r.FLyricist;
  Tags.Subtitle = r.FSubtitle;
  Tags.Composer = r.FComposer;
  Tags.Conductor = r.FConductor;
  Tags.Band = r.FBand;
  Tags.Copyright = r.FCopyright;
  Tags.OrigArtist = r.FOrigArtist;
  Tags.OrigLyricist = r.FOrigLyricist;
  Tags.OrigAlbum = r.FOrigAlbum;
  Tags.Remixed = r.FRemixed;
  Tags.RecordDate = r.FRecordDate;
  Tags.ContentGroup = r.FContentGroup;
  if (r.FHasLyrics) {
    Tags.Lyrics = r.FLyrics;
    Tags.HasLyrics = true;
  }
  if (r.FHasPicture) {
    Tags.PictureData = r.FPicture;
    Tags.HasPicture = true;
  }
}
