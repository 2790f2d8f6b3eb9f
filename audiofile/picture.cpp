// The embedded picture of the loaded file, written to the temporary picture
// file for the viewer and the report.

#include "audiofile/audio_file.h"
#include "readers/img_art.h"

std::string TAudioFile::ExtractPicture() {
  if (!Tags.HasPicture) return {};
  FImgArt->ClearFields();
  FImgArt->Data = Tags.PictureData;
  return FImgArt->SaveToTempFile();
}
