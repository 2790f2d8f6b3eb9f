#pragma once

// The picture block of FLAC files, which Ogg files also carry, base64
// encoded, in a METADATA_BLOCK_PICTURE comment. Numbers are 32-bit
// big-endian:
//   picture type (3 is the front cover), MIME type length, MIME type,
//   description length, description (UTF-8), width, height, colour depth,
//   colour count, image length, image bytes.
//
// The picture is handed on as the attached-picture body that TImgArt reads:
// encoding 3 (UTF-8), MIME type and a zero byte, picture type, description
// and a zero byte, then the image bytes.

#include <cstdint>
#include <string>

class TByteView;

// The attached-picture body of a picture block, or empty when the block is
// cut short or holds no image.
std::string PictureBodyFromFlacPicture(const TByteView& block);

// Picks the picture a file shows from the blocks offered in file order: the
// first front cover, else the first picture.
class TPictureChoice {
 public:
  std::string Body;  // empty until a usable picture was offered

  void Clear() { *this = TPictureChoice(); }
  // Whether a block of this picture type would replace the current choice.
  bool Wants(uint32_t picture_type) const;
  void Offer(const TByteView& block);

 private:
  bool front_ = false;
};
