#pragma once

// TDID3v2: the ID3v2 tag (major versions 2, 3 and 4) at the start of a file.
//
// Tag header, 10 bytes: "ID3", major version, revision, flags (bit 7
// unsynchronisation, bit 6 extended header (versions 3 and 4), bit 4
// footer), size (4 bytes, 7 bits each).
//
// Frame header, versions 3 and 4 (10 bytes): identifier (4), data size (4;
// big-endian in version 3, 7 bits a byte in version 4), flags (2).
// Version 2 (6 bytes): identifier (3), data size (3, big-endian).
//
// 22 text-like frames fill named fields; comments, unsynchronised lyrics and
// pictures, which may come more than once, are kept in order in their
// collections; every other frame goes whole into OtherFrames. Texts are
// UTF-8; picture data stays raw bytes.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TFile;

// One kept frame.
class TFrameItem_ID3v2 {
 public:
  std::string Data;         // frame data; for comments and lyrics the decoded text
  std::string Description;  // other frames: the frame identifier; comments and lyrics: their decoded description
  uint16_t FrameFlags = 0;  // the two flag bytes, first byte in the low half; 0 for version 2
  std::string FrameID;
  int32_t FrameSize = 0;  // data size as stored in the frame header
  std::string Language;   // comments and lyrics: the 3-byte language as stored
  std::string MIMEtype;   // not set
  int32_t NUMtype = 0;    // not set
  int64_t DataOffset = -1;  // a picture whose bytes were left unread: where its FrameSize bytes of Data lie
};

// An ordered collection that owns its items.
class TFrameLib_ID3v2 {
 public:
  TFrameItem_ID3v2& Add() { return *FItems.emplace_back(std::make_unique<TFrameItem_ID3v2>()); }
  int Count() const { return static_cast<int>(FItems.size()); }
  TFrameItem_ID3v2& Item(int Index) { return *FItems[static_cast<size_t>(Index)]; }
  const TFrameItem_ID3v2& Item(int Index) const { return *FItems[static_cast<size_t>(Index)]; }
  void Clear() { FItems.clear(); }
  bool Empty() const { return FItems.empty(); }

 private:
  std::vector<std::unique_ptr<TFrameItem_ID3v2>> FItems;
};

class TDID3v2 {
 public:
  bool Exists = false;
  uint8_t VersionID = 0;  // major version
  int64_t Size = 0;       // tag size with header and footer
  std::string FileName;  // set by the path form of LoadTag

  std::string Title, Artist, Album, Year, Track, Genre, Lyricist, EncodedBy, Language, Copyright, Composer,
      Link, OrigLyricist, OrigArtist, OrigAlbum, ContentGroup, Subtitle, RecordingDates, Band, Conductor, Remixer;
  uint16_t BPM = 0;

  TFrameLib_ID3v2 Comments;
  TFrameLib_ID3v2 Lyrics;
  TFrameLib_ID3v2 Pictures;
  TFrameLib_ID3v2 OtherFrames;
  bool HasComments = false;
  bool HasLyrics = false;
  bool HasPicture = false;
  bool HasOtherFrames = false;

  // When false, LoadTag leaves the bytes of a picture unread where they can
  // be read later as they stand (a plain frame of version 3 or 4): its item
  // keeps DataOffset and FrameSize and an empty Data.
  bool ReadPictureData = true;

  TDID3v2() { ClearTag(); }
  void ClearTag();
  // True when the first 10 bytes could be read, whether or not they start a
  // tag (Exists tells); false when the file cannot be opened or is shorter.
  bool LoadTag(const std::string& FileName);
  // The same through a file that is open already.
  bool LoadTag(const TFile& file);

  // The Data of item Index of a collection, or empty.
  std::string GetComment(int Index) const;
  std::string GetLyrics(int Index) const;
  // The picture frame data, raw (a version 2.2 picture in the APIC layout).
  std::string GetPicture(int Index) const;
  // The length of that picture frame data, also when it was left unread.
  int64_t GetPictureSize(int Index) const;
  // The comment for a person: the first without a description, else the
  // first in tag order (described comments are mostly player data such as
  // iTunNORM); empty when there is none.
  std::string GetShownComment() const;

 private:
  friend class TID3v2FrameReader;
  void StoreFrame(const std::string& ID, std::string&& D, uint16_t F, int32_t N, std::vector<std::string>& rows);
  void FillFields(std::vector<std::string>& rows);
};
