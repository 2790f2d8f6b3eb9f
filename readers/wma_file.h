#pragma once

// TWMAFile: a Windows Media file (WMA, WMV, ASF). The stream values come from
// the ASF header through TWMAInfoFile, the attributes through the tag
// bridge's attribute interface (WMA_Begin ... WMA_End).
//
// String attributes are filed by name, compared after upper-casing the ASCII
// letters; a later attribute of the same name replaces an earlier value.
// Texts are UTF-8.

#include <cstdint>
#include <memory>
#include <string>

#include "readers/wma_info_file.h"

class TWMAFile {
 public:
  std::string FAlbum;
  std::string FArtist;
  std::string FBand;
  int32_t FBitRate = 0;  // kbit/s
  std::string FBPM;
  std::string FChannelMode;
  std::string FComment;
  std::string FComposer;
  std::string FConductor;
  std::string FCopyright;
  std::string FContentGroup;
  std::string FPicture;  // the body of an attached-picture frame (bytes)
  bool FHasTags = false;
  bool FHasPicture = false;
  bool FHasLyrics = false;
  int32_t FFileSize = 0;  // KiB
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
  int32_t FDuration = 0;  // seconds
  std::string FTitle;
  std::string FTrack;
  bool FValid = false;
  std::string FEncoder;  // the WMFSDKVersion attribute
  std::string FYear;
  std::unique_ptr<TWMAInfoFile> FInfo;

  TWMAFile();
  ~TWMAFile();
  // Empties every text and the picture and clears the flags.
  void ClearFields();
  // Reads the stream values and the attributes; gives FValid: whether
  // either source delivered.
  bool ReadHeader(const std::string& path);

  // The body of the first APIC frame of an ID3v2 tag stored as the binary
  // "ID3" attribute, or empty.
  static std::string ExtractApicBody(const uint8_t* data, size_t length);
  // A "WM/Picture" value (picture type, 32-bit data length, MIME type and
  // description as zero-terminated UTF-16LE, data) turned into the same
  // attached-picture body, or empty when the value does not hold together.
  static std::string PictureBodyFromWmPicture(const uint8_t* data, size_t length);

 private:
  void FileString(const std::string& upper_name, const std::string& value);
  void ClearStreamValues();
};
