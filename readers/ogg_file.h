#pragma once

// TOGGFile: the program's reader of Ogg Vorbis files. It parses nothing
// itself: the orva_tags library reads the Vorbis stream's headers, and this
// class copies the stream values and files the comments (vorbis_comments.h).
//
// All text is UTF-8. Stream values (FBitRate to FVendor) keep their last
// values over ClearFields and mean something only while FValid is set.

#include <cstdint>
#include <string>

#include "readers/vorbis_comments.h"

class TOGGFile : public TVorbisComments {
 public:
  int32_t FBitRate = 0;  // kbit/s
  std::string FChannelMode;  // "Mono", "Stereo" or the channel count
  int32_t FFileSize = 0;  // KiB
  int32_t FSampleRate = 0;
  int32_t FDuration = 0;  // seconds; -1 when the library could not tell
  bool FValid = false;
  std::string FVendor;

  TOGGFile() { ClearFields(); }
  // Empties the comments, the flags and FFrames.
  void ClearFields();
  // True when the stream values were read.
  bool ReadHeader(const std::string& path);

 private:
  void ReadComments(const char* block, int32_t count);
};
