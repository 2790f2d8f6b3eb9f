#pragma once

// TImgArt: the image inside an attached-picture frame (ID3v2 APIC):
//   encoding byte   0 ISO-8859-1, 1 UTF-16 with BOM, 2 UTF-16BE, 3 UTF-8
//   MIME type       8-bit, ended by one zero byte, e.g. image/jpeg
//   picture type    1 byte
//   description     in the encoding, ended by one zero byte, or one zero
//                   16-bit unit for UTF-16
//   image bytes     to the end
// The image type comes from the MIME type; the image is written beside the
// program for the viewer and the report.

#include <string>

class TImgArt {
 public:
  std::string Data;       // the frame data to work on
  std::string Extension;  // ".jpg", ".png", ".bmp" or empty, set by ExtractPicture

  TImgArt() { ClearFields(); }
  void ClearFields();
  // The image bytes of Data, or empty when Data describes no image.
  std::string ExtractPicture();
  // Writes the image to BaseName + Extension, replacing a file of that
  // name, and gives that name; empty (and nothing written) when there is no
  // image. Throws TVelloranError when the file cannot be written.
  std::string SavePicture(const std::string& BaseName);
  // SavePicture into the program's writable folder as tmp_image.
  std::string SaveToTempFile();
};
