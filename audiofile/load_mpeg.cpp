// The stream loader of MPEG audio files (".mp3", ".mp2", ".mp1").

#include "audiofile/audio_file.h"
#include "toolkit/str_tools.h"
#include "readers/mpeg_audio.h"

bool TAudioFile::LoadMpeg() {
  // A file that could be read but holds no frame is no MPEG audio file.
  if (!FMPEGaudio->ReadHeader(FFile) || !FMPEGaudio->Frame.Found) return false;
  Stream.Valid = true;
  Stream.BitRate = FMPEGaudio->BitRate();
  Stream.SampleRate = FMPEGaudio->SampleRate();
  Stream.Duration = ClampU32(RoundAway(FMPEGaudio->Duration()));
  Stream.DurationText = FStrTools.FormatDuration(Stream.Duration, ":");
  Stream.FileSizeKB = ClampI32(RoundEven(static_cast<double>(FMPEGaudio->FileLength) / 1024.0));
  Stream.Encoder = FMPEGaudio->Encoder();
  Stream.ChannelMode = FMPEGaudio->ChannelMode();
  return true;
}
