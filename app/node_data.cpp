#include "app/node_data.h"

#include "toolkit/text_codec.h"

namespace {
constexpr size_t kDurationTextLimit = 10;
}

uint8_t RowIconIndex(TAudioType type, bool hasTagV1, bool hasTagV2) {
  switch (type) {
    case atMP3v1:
    case atMP3v2:
    case atAAC:
    case atFLAC:
      if (hasTagV1 && hasTagV2) return riId3Both;
      if (hasTagV1) return riId3V1;
      return hasTagV2 ? riId3V2 : riId3None;
    case atOGG:
      return hasTagV1 ? riOggTag : riOggNoTag;
    case atWMA:
    case atWMV:
    case atASF:
      return hasTagV1 ? riWmaTag : riWmaNoTag;
    case atAPE:
    case atMPC:
      return hasTagV1 ? riApeTag : riApeNoTag;
    default:
      return riUnknown;
  }
}

void FillNode(TMyNodeData& row, const TAudioFile& audio) {
  const TTagFull& tags = audio.Tags;
  const TMpegTotal& stream = audio.Stream;
  row.Album = tags.Album;
  row.Artist = tags.Artist;
  row.Comment = tags.Comment;
  row.Genre = tags.Genre;
  row.Title = tags.Title;
  row.TrackNumber = tags.TrackNumber;
  row.TrackText = Utf8Left(tags.TrackText, kTrackTextLimit);
  row.TagVersion = tags.TagVersion;
  row.Year = tags.Year;
  row.HasTag = audio.HasPreferredTag();
  row.StreamValid = stream.Valid;
  row.HasPicture = tags.HasPicture;
  row.HasLyrics = tags.HasLyrics;
  row.BitRate = stream.BitRate;
  row.SampleRate = stream.SampleRate;
  row.DurationText = Utf8Left(stream.DurationText, kDurationTextLimit);
  row.Duration = stream.Duration;
  row.FileSizeKB = stream.FileSizeKB;
  row.Encoder = stream.Encoder;
  row.ChannelMode = stream.ChannelMode;
  row.FullPath = audio.FileName;
  row.FileName = audio.GetShortFileName();
  row.FileType = audio.DetectFileType();
  row.ImageIndex = RowIconIndex(row.FileType, tags.HasTagV1, tags.HasTagV2);
}

const char* FileTypeName(TAudioType type) {
  switch (type) {
    case atMP3v1:
    case atMP3v2:
      return "MP3";
    case atOGG:
      return "OGG";
    case atWMA:
      return "WMA";
    case atWMV:
      return "WMV";
    case atASF:
      return "ASF";
    case atAPE:
      return "APE";
    case atMPC:
      return "MPC";
    case atAAC:
      return "AAC";
    case atFLAC:
      return "FLAC";
    default:
      return "";
  }
}
