#pragma once

// TOGGFile: the program's reader of Ogg Vorbis files. It parses nothing
// itself: the orva_tags library reads the first logical stream's headers,
// and this class copies the stream values, splits each NAME=value comment
// and files the values by comment name. Comments of other names are kept as
// name/value items in FFrames.
//
// All text is UTF-8. Stream values (FBitRate to FVendor) keep their last
// values over ClearFields and mean something only while FValid is set.

#include <cstdint>
#include <string>
#include <vector>

class TFrameItemOGG {
 public:
  std::string FName;  // upper-cased comment name
  std::string FValue;
};

class TFramesLib_OGG {
 public:
  TFrameItemOGG& Add(std::string name, std::string value);
  void Clear() { FItems.clear(); }
  size_t Count() const { return FItems.size(); }
  const TFrameItemOGG& operator[](size_t index) const { return FItems[index]; }

 private:
  std::vector<TFrameItemOGG> FItems;
};

class TOGGFile {
 public:
  std::string FAlbum;
  std::string FArtist;
  std::string FBand;
  int32_t FBitRate = 0;  // kbit/s
  std::string FBPM;
  std::string FChannelMode;  // "Mono", "Stereo" or the channel count
  std::string FComment;
  std::string FComposer;
  std::string FConductor;
  std::string FCopyright;
  std::string FContentGroup;
  bool FHasTags = false;
  bool FHasLyrics = false;
  int32_t FFileSize = 0;  // KiB
  TFramesLib_OGG FFrames;
  std::string FGenre;
  std::string FLanguage;
  std::string FLink;
  std::string FLyricist;
  std::string FLyrics;
  std::string FOrigAlbum;
  std::string FOrigArtist;
  std::string FOrigLyricist;
  std::string FRecordDate;
  std::string FRemixed;
  int32_t FSampleRate = 0;
  std::string FSubtitle;
  int32_t FDuration = 0;  // seconds; -1 when the library could not tell
  std::string FTitle;
  std::string FTrack;
  bool FValid = false;
  std::string FVendor;
  std::string FYear;

  TOGGFile() { ClearFields(); }
  // Empties the comment fields, the flags and FFrames.
  void ClearFields();
  // True when the stream values were read.
  bool ReadHeader(const std::string& path);

 private:
  void ReadComments(const char* block, int32_t count);
  void FileComment(const std::string& entry);
};
