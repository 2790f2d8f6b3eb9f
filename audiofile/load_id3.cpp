// The ID3 tag loaders of MPEG, AAC and FLAC files. The loader that runs
// also records whether the other kind of tag is present.

#include "audiofile/audio_file.h"
#include "toolkit/text_codec.h"
#include "readers/id3v1.h"
#include "readers/id3v2.h"
#include "readers/tag_location.h"

bool TAudioFile::LoadID3v1() {
  Tags.HasTagV2 = GetID3v2Size(FFile) > 10;
  if (!FID3v1->LoadTag(FFile) || !FID3v1->Exists) return false;
  Tags.HasTagV1 = true;
  Tags.Artist = Cp1252ToUtf8(FID3v1->Artist);
  Tags.Album = Cp1252ToUtf8(FID3v1->Album);
  Tags.Title = Cp1252ToUtf8(FID3v1->Title);
  Tags.Year = Cp1252ToUtf8(FID3v1->Year);
  Tags.Comment = Cp1252ToUtf8(FID3v1->Comment);
  Tags.TrackNumber = FID3v1->Track;
  Tags.TrackText = std::to_string(FID3v1->Track);
  Tags.Genre = GenreName(FID3v1->GenreID);
  // "1.1" stands for ID3v1.0 and "1.2" for ID3v1.1: the version number the
  // reader keeps, not the name of the tag version.
  Tags.TagVersion = "1." + std::to_string(FID3v1->VersionID);
  return true;
}

bool TAudioFile::LoadID3v2() {
  Tags.HasTagV1 = HasID3v1Tag(FFile);
  FID3v2->ReadPictureData = ReadPictures;
  if (!FID3v2->LoadTag(FFile) || !FID3v2->Exists) return false;
  const TDID3v2& tag = *FID3v2;
  Tags.HasTagV2 = true;
  Tags.Artist = tag.Artist;
  Tags.Album = tag.Album;
  Tags.Title = tag.Title;
  Tags.Year = tag.Year;
  Tags.Comment = tag.GetShownComment();
  SetTrack(tag.Track);
  Tags.Genre = tag.Genre;
  Tags.Link = tag.Link;
  Tags.Language = tag.Language;
  Tags.BPM = tag.BPM;
  Tags.Lyricist = tag.Lyricist;
  Tags.Subtitle = tag.Subtitle;
  Tags.Composer = tag.Composer;
  Tags.Conductor = tag.Conductor;
  Tags.Band = tag.Band;
  Tags.Copyright = tag.Copyright;
  Tags.OrigArtist = tag.OrigArtist;
  Tags.OrigLyricist = tag.OrigLyricist;
  Tags.OrigAlbum = tag.OrigAlbum;
  Tags.Remixed = tag.Remixer;
  Tags.RecordDate = tag.RecordingDates;
  Tags.ContentGroup = tag.ContentGroup;
  if (tag.HasLyrics) {
    Tags.Lyrics = tag.GetLyrics(0);
    Tags.HasLyrics = true;
  }
  if (tag.HasPicture) {
    Tags.PictureData = tag.GetPicture(0);
    Tags.PictureSize = tag.GetPictureSize(0);
    Tags.HasPicture = true;
    FPictureOffset = tag.Pictures.Item(0).DataOffset;
  }
  Tags.TagVersion = "2." + std::to_string(tag.VersionID);
  return true;
}
