#pragma once

// Vorbis comments (NAME=value entries, UTF-8), as Ogg Vorbis and FLAC files
// carry them, filed by comment name into the fields the program shows.
// Names are compared in capitals. Comments of other names are kept as
// name/value items in FFrames. A METADATA_BLOCK_PICTURE comment (a base64
// picture block) offers its picture; the front cover wins over the others.

#include <string>
#include <vector>

#include "readers/flac_picture.h"

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

class TVorbisComments {
 public:
  std::string FAlbum;
  std::string FArtist;
  std::string FBand;
  std::string FBPM;
  std::string FComment;
  std::string FComposer;
  std::string FConductor;
  std::string FCopyright;
  std::string FContentGroup;
  bool FHasTags = false;  // at least one comment or picture was found
  bool FHasLyrics = false;
  bool FHasPicture = false;
  TFramesLib_OGG FFrames;
  std::string FGenre;
  std::string FLanguage;
  std::string FLink;
  std::string FLyricist;
  std::string FLyrics;
  std::string FOrigAlbum;
  std::string FOrigArtist;
  std::string FOrigLyricist;
  std::string FPicture;  // attached-picture body (see flac_picture.h)
  std::string FRecordDate;
  std::string FRemixed;
  std::string FSubtitle;
  std::string FTitle;
  std::string FTrack;
  std::string FYear;

  // Empties the comment fields, the picture, the flags and FFrames.
  void ClearComments();
  // Files one NAME=value entry; an entry without "=" is passed over.
  void FileComment(const std::string& entry);
  // Offers a picture block (FLAC's PICTURE block, or a decoded
  // METADATA_BLOCK_PICTURE comment).
  void OfferPicture(const TByteView& block);
  // Whether a picture block of this type would be taken.
  bool WantsPicture(uint32_t picture_type) const { return FPictureChoice.Wants(picture_type); }

 private:
  TPictureChoice FPictureChoice;
};
