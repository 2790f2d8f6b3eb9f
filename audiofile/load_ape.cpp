// The loaders of Monkey's Audio and Musepack files: their stream headers
// and the APEv2 tag both carry.

#include "audiofile/audio_file.h"
#include "toolkit/str_tools.h"
#include "readers/apev2.h"
#include "readers/monkey.h"
#include "readers/mpeg_plus.h"

namespace {

int32_t SizeInKB(int64_t bytes) { return ClampI32(RoundEven(static_cast<double>(bytes) / 1024)); }

}  // namespace

bool TAudioFile::LoadApeTag() {
  if (!FAPEv2->LoadTag(FFile) || !FAPEv2->Exists) return false;
  const TDAPEv2& ape = *FAPEv2;
  Tags.HasTagV1 = true;  // stands for the APEv2 tag
  Tags.Artist = ape.Slot(apeArtist);
  Tags.Album = ape.Slot(apeAlbum);
  Tags.Title = ape.Slot(apeTitle);
  Tags.Year = ape.Slot(apeYear);
  Tags.Comment = ape.Slot(apeComment);
  SetTrack(ape.Slot(apeTrack));
  Tags.Genre = ape.Slot(apeGenre);
  Tags.Link = ape.Slot(apeFile);
  Tags.Language = ape.Slot(apeLanguage);
  Tags.BPM = ParseDecimal(ape.Slot(apeBPM));
  Tags.Lyricist = ape.Slot(apeLyricist);
  Tags.Subtitle = ape.Slot(apeSubtitle);
  Tags.Composer = ape.Slot(apeComposer);
  Tags.Conductor = ape.Slot(apeConductor);
  Tags.Band = ape.Slot(apeBand);
  Tags.Copyright = ape.Slot(apeCopyright);
  Tags.OrigArtist = ape.Slot(apeOrArtist);
  Tags.OrigLyricist = ape.Slot(apeOrLyricist);
  Tags.OrigAlbum = ape.Slot(apeDebutAlbum);
  Tags.Remixed = ape.Slot(apeRemixed);
  Tags.RecordDate = ape.Slot(apeRecordDate);
  Tags.ContentGroup = ape.Slot(apeCGDescr);
  if (ape.HasLyrics) {
    Tags.Lyrics = ape.Slot(apeLyrics);
    Tags.HasLyrics = true;
  }
  if (ape.HasPicture) {
    Tags.PictureData = ape.Slot(apeAPIC);  // raw bytes, as the picture tool expects them
    Tags.HasPicture = true;
  }
  Tags.TagVersion = FormatGrouped4(ape.Version);
  return true;
}

bool TAudioFile::LoadMonkey() {
  const TMonkeyFile& ape = *FMonkey;
  if (!FMonkey->ReadHeader(FFile) || !ape.IsValid()) return false;
  Stream.Valid = true;
  Stream.BitRate = static_cast<uint32_t>(ape.BitsPerSample());
  Stream.SampleRate = static_cast<uint32_t>(ape.SampleRate);
  Stream.Duration = ClampU32(RoundAway(ape.Duration()));
  Stream.DurationText = FStrTools.FormatDuration(Stream.Duration, ":");
  Stream.FileSizeKB = SizeInKB(ape.FileSize);
  Stream.Encoder =
      "V." + ape.VersionText() + " (" + FormatFixed2(ape.Ratio()) + "% - " + ape.CompressionName() + ")";
  Stream.ChannelMode = ape.ChannelModeName();
  return true;
}

// Any file whose 12 header bytes could be read counts, with zero values
// when it is no Musepack stream.
bool TAudioFile::LoadMpc() {
  const TMPEGplus& mpc = *FMPEGplus;
  if (!FMPEGplus->ReadHeader(FFile)) return false;
  Stream.Valid = true;
  Stream.BitRate = mpc.BitRate();
  Stream.SampleRate = mpc.SampleRate;
  Stream.Duration = ClampU32(RoundAway(mpc.Duration()));
  Stream.DurationText = FStrTools.FormatDuration(Stream.Duration, ":");
  Stream.FileSizeKB = SizeInKB(mpc.FileLength);
  Stream.Encoder = "SV" + std::to_string(mpc.StreamVersion);
  if (mpc.StreamVersion == 7) Stream.Encoder += ", profile " + mpc.Profile();
  Stream.ChannelMode = mpc.ChannelMode();
  return true;
}
