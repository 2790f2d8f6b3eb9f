#include "readers/flac_picture.h"

#include "toolkit/byte_view.h"

namespace {
constexpr uint32_t kFrontCover = 3;
// Width, height, colour depth and colour count.
constexpr size_t kImageFieldsSize = 16;
}  // namespace

std::string PictureBodyFromFlacPicture(const TByteView& block) {
  size_t pos = 0;
  // A length-prefixed field; false when it does not fit the block.
  auto field = [&](TByteView& out) {
    if (!block.Fits(pos, 4)) return false;
    uint32_t size = block.BE32(pos);
    pos += 4;
    if (!block.Fits(pos, size)) return false;
    out = block.Sub(pos, size);
    pos += size;
    return true;
  };
  if (!block.Fits(0, 4)) return {};
  uint8_t picture_type = static_cast<uint8_t>(block.BE32(0));
  pos = 4;
  TByteView mime, description, image;
  if (!field(mime) || !field(description) || !block.Fits(pos, kImageFieldsSize)) return {};
  pos += kImageFieldsSize;
  if (!field(image) || image.Empty()) return {};

  std::string body(1, '\x03');
  body += mime.Chars(0);
  body.push_back('\0');
  body.push_back(static_cast<char>(picture_type));
  body += description.Chars(0);
  body.push_back('\0');
  body += image.Chars(0);
  return body;
}

bool TPictureChoice::Wants(uint32_t picture_type) const {
  if (front_) return false;
  return Body.empty() || picture_type == kFrontCover;
}

void TPictureChoice::Offer(const TByteView& block) {
  uint32_t picture_type = block.BE32(0);
  if (!Wants(picture_type)) return;
  std::string body = PictureBodyFromFlacPicture(block);
  if (body.empty()) return;
  Body = std::move(body);
  front_ = picture_type == kFrontCover;
}
