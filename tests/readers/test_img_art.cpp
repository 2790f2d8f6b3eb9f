#include <gtest/gtest.h>

#include <filesystem>

#include "toolkit/error.h"
#include "toolkit/program_info.h"
#include "readers/img_art.h"
#include "support/test_support.h"

namespace {

using test::Bytes;

const std::string kJpeg = Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'});

TEST(ImgArt, ImageBytesAndExtensionByMimeType) {
  struct Case {
    const char* what;
    std::string data;
    std::string image;
    std::string extension;
  } cases[] = {
      {"image/jpeg", Bytes({0}) + "image/jpeg" + Bytes({0, 3, 0}) + kJpeg, kJpeg, ".jpg"},
      {"image/jpg", Bytes({0}) + "image/jpg" + Bytes({0, 3, 0}) + kJpeg, kJpeg, ".jpg"},
      {"image/png", Bytes({0}) + "image/png" + Bytes({0, 3}) + "cover" + Bytes({0}) + "PNGDATA", "PNGDATA", ".png"},
      {"IMAGE/PNG", Bytes({0}) + "IMAGE/PNG" + Bytes({0, 3, 0}) + "PNGDATA", "PNGDATA", ".png"},
      {"image/bmp", Bytes({0}) + "image/bmp" + Bytes({0, 0, 0}) + "BM", "BM", ".bmp"},
      // Unknown image type: only the MIME type goes, the picture type stays.
      {"image/gif", Bytes({3}) + "image/gif" + Bytes({0, 3, 0}) + "GIF89a", Bytes({3, 0}) + "GIF89a", ""},
      {"UTF-16 description", Bytes({1}) + "image/jpeg" + Bytes({0, 3, 0xFF, 0xFE, 0x41, 0, 0, 0}) + kJpeg, kJpeg, ".jpg"},
      {"UTF-16BE description", Bytes({2}) + "image/jpeg" + Bytes({0, 3, 0, 0x41, 0, 0}) + kJpeg, kJpeg, ".jpg"},
      {"UTF-8 description", Bytes({3}) + "image/png" + Bytes({0, 3}) + "dé" + Bytes({0}) + "PNG", "PNG", ".png"},
      // A picture type of 1C hex or above stays and is searched from.
      {"high picture type", Bytes({0}) + "image/png" + Bytes({0, 0x41, 0}) + "PNG", "PNG", ".png"},
      {"link instead of image", Bytes({0}) + "-->" + Bytes({0, 3, 0}) + "http://x/a.jpg", "", ""},
      {"empty", "", "", ""},
      {"one byte", Bytes({0}), "", ""},
      {"MIME only", Bytes({0}) + "image/jpeg", "", ".jpg"},
  };
  for (const Case& c : cases) {
    TImgArt art;
    art.Data = c.data;
    EXPECT_EQ(art.ExtractPicture(), c.image) << c.what;
    EXPECT_EQ(art.Extension, c.extension) << c.what;
  }
}

TEST(ImgArt, SavePictureWritesBaseNameWithExtension) {
  test::TempDir dir;
  TImgArt art;
  art.Data = Bytes({0}) + "image/jpeg" + Bytes({0, 3, 0}) + kJpeg;
  test::WriteAll(dir.File("pic.jpg"), "old and longer than the picture itself");
  std::string name = art.SavePicture(dir.File("pic"));
  EXPECT_EQ(name, dir.File("pic.jpg"));
  EXPECT_EQ(test::ReadAll(name), kJpeg);

  art.ClearFields();
  EXPECT_EQ(art.Data, "");
  EXPECT_EQ(art.Extension, "");
  art.Data = Bytes({0}) + "-->" + Bytes({0, 3, 0}) + "http://x";
  EXPECT_EQ(art.SavePicture(dir.File("link")), "");
  EXPECT_FALSE(std::filesystem::exists(dir.File("link")));

  art.Data = Bytes({3}) + "image/gif" + Bytes({0, 3, 0}) + "GIF";  // no extension known
  EXPECT_EQ(art.SavePicture(dir.File("gif")), dir.File("gif"));
}

TEST(ImgArt, UnwritableTargetIsAnError) {
  test::TempDir dir;
  TImgArt art;
  art.Data = Bytes({0}) + "image/jpeg" + Bytes({0, 3, 0}) + kJpeg;
  EXPECT_THROW(art.SavePicture(dir.File("no/such/folder/pic")), TVelloranError);
}

TEST(ImgArt, TempFileGoesToTheWritableFolder) {
  test::TempDir dir;
  SetProgramPath(dir.File("velloran"));
  TImgArt art;
  art.Data = Bytes({0}) + "image/png" + Bytes({0, 3, 0}) + "PNG";
  EXPECT_EQ(art.SaveToTempFile(), dir.File("tmp_image.png"));
  EXPECT_EQ(test::ReadAll(dir.File("tmp_image.png")), "PNG");
  SetProgramPath("");
}

}  // namespace
