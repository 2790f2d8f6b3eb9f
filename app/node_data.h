#pragma once

// TMyNodeData: one tracklist row, a copy of one file's values taken right
// after it was loaded, so that painting, sorting and hints never reload it.

#include <cstdint>
#include <string>

#include "audiofile/audio_file.h"

struct TMyNodeData {
  std::string Album;
  std::string Artist;
  std::string Comment;
  std::string Genre;
  std::string Title;
  int32_t TrackNumber = 0;
  std::string TrackText;  // at most 12 characters
  std::string TagVersion;
  std::string Year;
  bool HasTag = false;
  bool StreamValid = false;
  bool HasPicture = false;
  bool HasLyrics = false;
  uint32_t BitRate = 0;
  uint32_t SampleRate = 0;
  std::string DurationText;  // at most 10 characters
  uint32_t Duration = 0;
  int32_t FileSizeKB = 0;
  std::string Encoder;
  std::string ChannelMode;
  std::string FullPath;
  std::string FileName;
  uint8_t ImageIndex = 0;
  TAudioType FileType = atUnknown;
};

// Row icons: indexes into the list's icon set, chosen by the file type and
// the tags the file holds.
enum TRowIcon : uint8_t {
  riId3Both = 7,
  riId3None = 8,
  riId3V1 = 9,
  riId3V2 = 10,
  riOggTag = 11,
  riOggNoTag = 12,
  riWmaTag = 13,
  riWmaNoTag = 14,
  riApeTag = 17,
  riApeNoTag = 18,
  riUnknown = 19,
  riPicture = 20,
  riLyrics = 21,
};

uint8_t RowIconIndex(TAudioType type, bool hasTagV1, bool hasTagV2);

// Copies the values of the file loaded last into a row.
void FillNode(TMyNodeData& row, const TAudioFile& audio);

// The name a user knows the format by (MP3, OGG, ...), empty when unknown.
const char* FileTypeName(TAudioType type);
