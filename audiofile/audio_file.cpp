#include "audiofile/audio_file.h"

#include <string_view>

#include "toolkit/file_io.h"
#include "toolkit/text_codec.h"
#include "readers/aac_file.h"
#include "readers/apev2.h"
#include "readers/flac_file.h"
#include "readers/id3v1.h"
#include "readers/id3v2.h"
#include "readers/img_art.h"
#include "readers/mpeg_audio.h"
#include "readers/monkey.h"
#include "readers/mpeg_plus.h"
#include "readers/ogg_file.h"
#include "readers/wma_file.h"

// The type table: extension, type, stream loader, tag loader. Rows are
// compared in this order. MPEG types follow the ID3 preference; so does the
// tag of AAC and FLAC files, through LoadPreferredID3. A format with one
// combined loader has no tag loader.
struct TAudioFile::TTypeRow {
  std::string_view Extension;
  TAudioType Type;
  bool ByPreference;  // atMP3v1 or atMP3v2 by PreferredTag
  TLoader StreamLoader;
  TLoader TagLoader;
  bool OwnOpen;  // the loader's library opens the file by its name (Ogg, Windows Media)
};

namespace {
constexpr size_t kMaxExtension = 6;
constexpr size_t kMinNameLength = 5;
// The ends of the file read at once for all readers of a load: at the start
// enough for an ID3v2 header and the first MPEG block of an untagged file;
// at the end the ID3v1 tag, an APE footer, and the last MPEG block before
// the ID3v1 tag, where encoders leave their name.
constexpr size_t kHeadBytes = 4096;
constexpr size_t kTailBytes = 4096;

// Closes the shared file however a load ends.
struct TCloseOnExit {
  TFile& File;
  ~TCloseOnExit() { File.Close(); }
};
}  // namespace

const TAudioFile::TTypeRow* TAudioFile::FindTypeRow(const std::string& extension) {
  static const TTypeRow kRows[] = {
      {".mp3", atMP3v2, true, &TAudioFile::LoadMpeg, &TAudioFile::LoadPreferredID3, false},
      {".ogg", atOGG, false, &TAudioFile::LoadOgg, nullptr, true},
      {".wma", atWMA, false, &TAudioFile::LoadWma, nullptr, true},
      {".asf", atASF, false, &TAudioFile::LoadWma, nullptr, true},
      {".wmv", atWMV, false, &TAudioFile::LoadWma, nullptr, true},
      {".ape", atAPE, false, &TAudioFile::LoadMonkey, &TAudioFile::LoadApeTag, false},
      {".mpc", atMPC, false, &TAudioFile::LoadMpc, &TAudioFile::LoadApeTag, false},
      {".aac", atAAC, false, &TAudioFile::LoadAac, &TAudioFile::LoadPreferredID3, false},
      {".flac", atFLAC, false, &TAudioFile::LoadFlac, &TAudioFile::LoadPreferredID3, false},
      {".mp2", atMP3v2, true, &TAudioFile::LoadMpeg, &TAudioFile::LoadPreferredID3, false},
      {".mp1", atMP3v2, true, &TAudioFile::LoadMpeg, &TAudioFile::LoadPreferredID3, false},
  };
  for (const TTypeRow& row : kRows)
    if (row.Extension == extension) return &row;
  return nullptr;
}

TAudioFile::TAudioFile()
    : FID3v1(std::make_unique<TID3v1>()),
      FID3v2(std::make_unique<TDID3v2>()),
      FMPEGaudio(std::make_unique<TMPEGaudio>()),
      FImgArt(std::make_unique<TImgArt>()),
      FAPEv2(std::make_unique<TDAPEv2>()),
      FMPEGplus(std::make_unique<TMPEGplus>()),
      FMonkey(std::make_unique<TMonkeyFile>()),
      FFLAC(std::make_unique<TFLACfile>()),
      FAAC(std::make_unique<TAACfile>()),
      FOGG(std::make_unique<TOGGFile>()),
      FWMA(std::make_unique<TWMAFile>()) {
  FDebuger.StartCheck();
  ResetValues();
}

TAudioFile::~TAudioFile() = default;

std::string TAudioFile::GetFileExt() const {
  size_t slash = FileName.rfind('/');
  size_t dot = FileName.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return FCase.LowerCaseText(std::string_view(FileName).substr(dot));
}

// The row of FileName's extension (its first 6 characters), or null; names
// shorter than 5 characters have no type.
const TAudioFile::TTypeRow* TAudioFile::TypeRowOfName() const {
  if (Utf8Length(FileName) < kMinNameLength) return nullptr;
  return FindTypeRow(Utf8Left(GetFileExt(), kMaxExtension));
}

TAudioType TAudioFile::TypeOfRow(const TTypeRow* row) const {
  if (row == nullptr) return atUnknown;
  if (row->ByPreference) return PreferredTag == 1 ? atMP3v1 : atMP3v2;
  return row->Type;
}

TAudioType TAudioFile::DetectFileType() const { return TypeOfRow(TypeRowOfName()); }

std::string TAudioFile::GetShortFileName() const {
  size_t slash = FileName.rfind('/');
  return slash == std::string::npos ? FileName : FileName.substr(slash + 1);
}

void TAudioFile::SetPreferredTag(int version) { PreferredTag = version == 1 ? 1 : 2; }

bool TAudioFile::HasPreferredTag() const {
  switch (FileType) {
    case atMP3v1:
    case atOGG:
    case atWMA:
    case atAPE:
      return Tags.HasTagV1;
    case atMP3v2:
      return Tags.HasTagV2;
    case atAAC:
    case atFLAC:
      return PreferredTag == 1 ? Tags.HasTagV1 : Tags.HasTagV2;
    default:
      return false;
  }
}

std::string TAudioFile::GetReportName(const std::string& path) {
  FileName = path;
  LoadFile();
  if (!HasPreferredTag()) return "Untitled";
  return TrimControls(Tags.Year + " " + Tags.Album);
}

namespace {
TReportWizardOpener& ReportWizardOpener() {
  static TReportWizardOpener opener;
  return opener;
}
}  // namespace

void SetReportWizardOpener(TReportWizardOpener opener) { ReportWizardOpener() = std::move(opener); }

void TAudioFile::ShowReportWizard() {
  if (FileList.empty() || !ReportWizardOpener()) return;
  ReportWizardOpener()(*this);
}

void TAudioFile::ResetValues() {
  Tags = TTagFull{};
  Stream = TMpegTotal{};
  FPictureOffset = -1;
}

bool TAudioFile::LoadFile() {
  ResetValues();
  const TTypeRow* row = TypeRowOfName();
  FileType = TypeOfRow(row);
  if (row == nullptr) return false;
  // One open per load: the readers share FFile, and their first looks at
  // the start and the end of the file come from one read of each.
  TCloseOnExit close{FFile};
  if (row->OwnOpen) {
    if (!IsRegularFile(FileName)) return false;
  } else {
    if (!FFile.Open(FileName)) return false;
    FFile.ReadEnds(kHeadBytes, kTailBytes);
  }
  // The tag loader goes first: the stream of a tagged file starts right
  // after its ID3v2 tag, and the stream reader then finds its first bytes
  // in what the tag reader read ahead. Neither touches the other's record.
  if (row->TagLoader != nullptr) (this->*row->TagLoader)();
  bool result = row->StreamLoader != nullptr && (this->*row->StreamLoader)();
  if (!Tags.PictureData.empty()) Tags.PictureSize = static_cast<int64_t>(Tags.PictureData.size());
  return result;
}

bool TAudioFile::LoadPreferredID3() { return PreferredTag == 1 ? LoadID3v1() : LoadID3v2(); }

void TAudioFile::SetTrack(const std::string& track) {
  Tags.TrackText = Utf8Left(track, kTrackTextLimit);
  Tags.TrackNumber = ParseTrackNumber(track);
}
