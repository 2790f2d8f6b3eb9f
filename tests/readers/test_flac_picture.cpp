#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "readers/flac_picture.h"
#include "toolkit/byte_view.h"
#include "support/test_support.h"

namespace {

TEST(FlacPicture, BodyForThePictureTool) {
  std::string block = test::FlacPicture(3, "image/png", "Front \xE2\x9C\x93", "PNGDATA");
  const std::string zero(1, '\0');
  // Encoding 3 (UTF-8), MIME type, zero, picture type 3, description, zero, image.
  EXPECT_EQ(PictureBodyFromFlacPicture(TByteView(block)),
            "\x03" "image/png" + zero + "\x03" + "Front \xE2\x9C\x93" + zero + "PNGDATA");
}

// A block cut anywhere, a length beyond the block, or no image gives nothing.
TEST(FlacPicture, BrokenBlocksGiveNoBody) {
  std::string block = test::FlacPicture(3, "image/jpeg", "d", "JPEG");
  for (size_t len = 0; len < block.size(); ++len)
    EXPECT_EQ(PictureBodyFromFlacPicture(TByteView(block.data(), len)), "") << len;
  std::string huge_mime = test::BE32(3) + test::BE32(0xFFFFFFFF) + "image/jpeg";
  EXPECT_EQ(PictureBodyFromFlacPicture(TByteView(huge_mime)), "");
  EXPECT_EQ(PictureBodyFromFlacPicture(TByteView(test::FlacPicture(3, "image/png", "", ""))), "");
}

// The first front cover wins; without one, the first usable picture.
TEST(FlacPicture, ChoiceOfThePictureShown) {
  struct Case {
    const char* name;
    std::vector<std::pair<uint32_t, std::string>> offered;  // type, image
    std::string shown;
  } cases[] = {
      {"one back cover", {{4, "back"}}, "back"},
      {"front after back", {{4, "back"}, {3, "front"}}, "front"},
      {"first front stays", {{3, "front"}, {3, "second front"}, {0, "other"}}, "front"},
      {"first of the others", {{0, "other"}, {8, "artist"}}, "other"},
      {"an empty image is passed over", {{3, ""}, {4, "back"}}, "back"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPictureChoice choice;
    for (const auto& [type, image] : c.offered) choice.Offer(TByteView(test::FlacPicture(type, "image/png", "", image)));
    ASSERT_GE(choice.Body.size(), c.shown.size());
    EXPECT_EQ(choice.Body.substr(choice.Body.size() - c.shown.size()), c.shown);
  }
  TPictureChoice none;
  none.Offer(TByteView(std::string("\x00\x00", 2)));
  EXPECT_EQ(none.Body, "");
}

}  // namespace
