// The embedded picture of the loaded file, written to the temporary picture
// file for the viewer and the report.

#include "audiofile/audio_file.h"
#include "toolkit/file_io.h"
#include "readers/img_art.h"

std::string TAudioFile::ExtractPicture() {
  if (!Tags.HasPicture) return {};
  // A picture left unread by the load is read now, from where it lay.
  if (Tags.PictureData.empty() && FPictureOffset >= 0) {
    TFile file;
    std::string bytes;
    if (!file.Open(FileName) || !file.ReadExact(FPictureOffset, static_cast<size_t>(Tags.PictureSize), bytes)) return {};
    Tags.PictureData = std::move(bytes);
  }
  FImgArt->ClearFields();
  FImgArt->Data = Tags.PictureData;
  return FImgArt->SaveToTempFile();
}
