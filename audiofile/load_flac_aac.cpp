// The stream loaders of FLAC and raw AAC files. Their tags come from the
// ID3 loaders.

#include "audiofile/audio_file.h"
#include "toolkit/str_tools.h"
#include "readers/aac_file.h"
#include "readers/flac_file.h"

namespace {

int32_t SizeInKB(int64_t bytes) { return ClampI32(RoundEven(static_cast<double>(bytes) / 1024)); }

}  // namespace

bool TAudioFile::LoadFlac() {
  const TFLACfile& flac = *FFLAC;
  if (!FFLAC->ReadHeader(FFile) || !flac.IsValid()) return false;
  Stream.BitRate = flac.BitsPerSample;  // the column shows bits per sample for lossless files
  Stream.SampleRate = static_cast<uint32_t>(flac.SampleRate);
  Stream.Encoder = FormatFixed2(flac.Ratio()) + "%";
  Stream.ChannelMode = ChannelCountText(flac.Channels);
  Stream.Duration = ClampU32(RoundAway(flac.Duration()));
  Stream.DurationText = FStrTools.FormatDuration(Stream.Duration, ":");
  Stream.FileSizeKB = SizeInKB(flac.FileSize);
  Stream.Valid = true;
  return true;
}

bool TAudioFile::LoadAac() {
  const TAACfile& aac = *FAAC;
  if (!FAAC->ReadHeader(FFile) || !aac.IsValid()) return false;
  Stream.Valid = true;
  Stream.BitRate = ClampU32(RoundEven(aac.BitRate / 1000.0));
  const char* rate_mark = aac.BitRateType == aacRateVariable ? "(VBR)" : "(CBR)";
  Stream.SampleRate = static_cast<uint32_t>(aac.SampleRate);
  Stream.Duration = ClampU32(RoundAway(aac.Duration()));
  Stream.DurationText = FStrTools.FormatDuration(Stream.Duration, ":");
  Stream.FileSizeKB = SizeInKB(aac.FileSize);
  Stream.Encoder = aac.HeaderTypeName() + " " + rate_mark;
  Stream.ChannelMode = ChannelCountText(aac.Channels);
  return true;
}
