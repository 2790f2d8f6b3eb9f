// The ID3 tag loaders of MPEG, AAC and FLAC files. The loader that runs
// also records whether the other kind of tag is present.

#include "audiofile/audio_file.h"
#include "audiofile/text_codec.h"
#include "readers/id3v1.h"
#include "readers/tag_location.h"

bool TAudioFile::LoadID3v1() {
  Tags.HasTagV2 = GetID3v2Size(FileName) > 10;
  if (!FID3v1->LoadTag(FileName) || !FID3v1->Exists) return false;
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
  Tags.HasTagV1 = HasID3v1Tag(FileName);
  return false;
}
