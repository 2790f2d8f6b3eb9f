#include "readers/vorbis_comments.h"

#include <string_view>

#include "toolkit/base64.h"
#include "toolkit/byte_view.h"
#include "toolkit/text_codec.h"

namespace {

// Comment names and the fields they fill; LYRICS and METADATA_BLOCK_PICTURE
// have rules of their own.
struct TCommentField {
  std::string_view Name;
  std::string TVorbisComments::*Field;
};

constexpr TCommentField kCommentFields[] = {
    {"TITLE", &TVorbisComments::FTitle},
    {"ARTIST", &TVorbisComments::FArtist},
    {"ALBUM", &TVorbisComments::FAlbum},
    {"GENRE", &TVorbisComments::FGenre},
    {"TRACKNUMBER", &TVorbisComments::FTrack},
    {"DATE", &TVorbisComments::FYear},
    {"COMMENT", &TVorbisComments::FComment},
    {"LINK", &TVorbisComments::FLink},
    {"COPYRIGHT", &TVorbisComments::FCopyright},
    {"LANGUAGE", &TVorbisComments::FLanguage},
    {"BPM", &TVorbisComments::FBPM},
    {"LYRICIST", &TVorbisComments::FLyricist},
    {"SUBTITLE", &TVorbisComments::FSubtitle},
    {"COMPOSER", &TVorbisComments::FComposer},
    {"CONDUCTOR", &TVorbisComments::FConductor},
    {"BAND", &TVorbisComments::FBand},
    {"REMIXED", &TVorbisComments::FRemixed},
    {"RECDATE", &TVorbisComments::FRecordDate},
    {"CGDESCR", &TVorbisComments::FContentGroup},
    {"ORARTIST", &TVorbisComments::FOrigArtist},
    {"ORALBUM", &TVorbisComments::FOrigAlbum},
    {"ORLYRICIST", &TVorbisComments::FOrigLyricist},
};

// Comment names are ASCII; only a to z are folded.
std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace

TFrameItemOGG& TFramesLib_OGG::Add(std::string name, std::string value) {
  FItems.push_back(TFrameItemOGG{std::move(name), std::move(value)});
  return FItems.back();
}

void TVorbisComments::ClearComments() {
  for (const TCommentField& f : kCommentFields) (this->*f.Field).clear();
  FLyrics.clear();
  FPicture.clear();
  FPictureChoice.Clear();
  FHasTags = false;
  FHasLyrics = false;
  FHasPicture = false;
  FFrames.Clear();
}

void TVorbisComments::FileComment(const std::string& entry) {
  // An entry without "=" (a comment the library could not convert, or a
  // malformed one) has no name to file it under and is passed over.
  size_t eq = entry.find('=');
  if (eq == std::string::npos) return;
  std::string name = UpperAscii(std::string_view(entry).substr(0, eq));
  std::string value = entry.substr(eq + 1);

  if (name == "LYRICS") {
    if (value.empty()) return;
    FLyrics = TrimControls(value);
    FHasLyrics = true;
    return;
  }
  if (name == "METADATA_BLOCK_PICTURE") {
    std::string block;
    if (Base64Decode(value, block)) OfferPicture(TByteView(block));
    // Kept as an item as well, like every comment without a field.
  }
  for (const TCommentField& f : kCommentFields) {
    if (f.Name == name) {
      this->*f.Field = std::move(value);
      return;
    }
  }
  FFrames.Add(std::move(name), std::move(value));
}

void TVorbisComments::OfferPicture(const TByteView& block) {
  FPictureChoice.Offer(block);
  FPicture = FPictureChoice.Body;
  FHasPicture = !FPicture.empty();
}
