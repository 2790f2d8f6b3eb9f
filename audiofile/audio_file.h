#pragma once

// TAudioFile: the program's one gateway to audio files. The caller sets
// FileName and calls LoadFile; the object picks the format from the
// extension, runs that format's stream loader and tag loader, and fills the
// two records every format fills alike. It keeps no cache: every LoadFile
// reads the file again, and replaces both records completely.
//
// All text is UTF-8; FileName is the path as the file system spells it.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audiofile/debuger.h"
#include "toolkit/file_io.h"
#include "toolkit/str_tools.h"

class TID3v1;
class TDID3v2;
class TMPEGaudio;
class TImgArt;
class TDAPEv2;
class TMonkeyFile;
class TMPEGplus;
class TFLACfile;
class TAACfile;
class TOGGFile;
class TWMAFile;

// The file type, found from the extension (and the ID3 preference for MPEG).
enum TAudioType : uint8_t {
  atUnknown = 0,
  atMP3v1 = 1,
  atMP3v2 = 2,
  atOGG = 3,
  atWMA = 4,
  atWMV = 5,
  atASF = 6,
  atAPE = 7,
  atMPC = 8,
  atAAC = 9,
  atFLAC = 10,
};

// Tag values of the loaded file.
struct TTagFull {
  std::string Album;
  std::string Artist;
  std::string Band;
  int32_t BPM = 0;
  std::string Comment;
  std::string Composer;
  std::string Conductor;
  std::string Copyright;
  std::string ContentGroup;
  std::string PictureData;  // the raw picture block as the tag reader delivers it (bytes, not text)
  int64_t PictureSize = 0;  // its length, also when its bytes were left unread (see ReadPictures)
  bool HasPicture = false;
  bool HasLyrics = false;
  bool HasTagV1 = false;  // ID3v1; for Ogg and Windows Media the file's own tag; for APE and MPC the APEv2 tag
  bool HasTagV2 = false;  // ID3v2
  std::string Genre;
  std::string Language;
  std::string Link;
  std::string Lyricist;
  std::string Lyrics;
  std::string OrigAlbum;
  std::string OrigArtist;
  std::string OrigLyricist;
  std::string RecordDate;
  std::string Remixed;
  std::string Subtitle;
  std::string Title;
  int32_t TrackNumber = 0;
  std::string TrackText;  // at most 12 characters
  std::string TagVersion;
  std::string Year;
};

// Stream values of the loaded file.
struct TMpegTotal {
  uint32_t BitRate = 0;  // kbit/s; bits per sample for FLAC and Monkey's Audio
  std::string ChannelMode;
  std::string Encoder;
  bool Valid = false;  // the stream values could be read; the tracklist takes only such files
  int32_t FileSizeKB = 0;
  uint32_t SampleRate = 0;
  uint32_t Duration = 0;  // whole seconds
  std::string DurationText;
};

class TAudioFile;

// The core knows no widgets, so the report dialog is opened through a
// process-wide function that the window program registers at start-up.
// Without one, ShowReportWizard does nothing.
using TReportWizardOpener = std::function<void(TAudioFile&)>;
void SetReportWizardOpener(TReportWizardOpener opener);

// The longest TrackText, in characters.
constexpr size_t kTrackTextLimit = 12;

class TAudioFile {
 public:
  std::string FileName;
  TAudioType FileType = atUnknown;
  uint8_t PreferredTag = 1;
  TTagFull Tags;
  TMpegTotal Stream;
  std::vector<std::string> FileList;  // full paths chosen for a report, in report order
  std::string ReportCharset;          // the report dialog's charset line as it last closed
  // When false, LoadFile leaves the bytes of an ID3v2 picture unread where
  // it can (Tags.PictureSize still tells its length, Tags.HasPicture that it
  // is there) and ExtractPicture reads them when asked. For callers that show
  // no picture, such as a listing of many files.
  bool ReadPictures = true;

  TAudioFile();
  ~TAudioFile();
  TAudioFile(const TAudioFile&) = delete;
  TAudioFile& operator=(const TAudioFile&) = delete;

  // Loads FileName into Tags and Stream. The result is the stream loader's;
  // callers look at Stream.Valid and the tag flags rather than at it.
  bool LoadFile();
  // The type of FileName under the current PreferredTag; changes nothing.
  TAudioType DetectFileType() const;
  // The lower-case extension of FileName, dot included, or empty.
  std::string GetFileExt() const;
  // FileName without its folder.
  std::string GetShortFileName() const;
  // 1 for version 1; any other value means 2.
  void SetPreferredTag(int version);
  // Whether the last loaded file has the tag that counts for its type.
  bool HasPreferredTag() const;
  // Loads path and proposes a report name: "Year Album" trimmed when the
  // preferred tag is there (possibly empty), else "Untitled".
  std::string GetReportName(const std::string& path);
  // Writes the embedded picture of the last loaded file to the temporary
  // picture file and gives its path, or empty.
  std::string ExtractPicture();
  // Clears Tags and Stream.
  void ResetValues();
  // Opens the report dialog for FileList, modally, through the opener the
  // window program registered; does nothing when FileList is empty.
  void ShowReportWizard();

  TDebuger& Debuger() { return FDebuger; }
  const TCase& Case() const { return FCase; }
  const TFileTools& FileTools() const { return FFileTools; }
  const TStrTools& StrTools() const { return FStrTools; }

 private:
  using TLoader = bool (TAudioFile::*)();
  struct TTypeRow;
  static const TTypeRow* FindTypeRow(const std::string& extension);
  const TTypeRow* TypeRowOfName() const;
  TAudioType TypeOfRow(const TTypeRow* row) const;

  // Stream loaders fill only Stream, tag loaders only Tags.
  bool LoadMpeg();
  bool LoadID3v1();
  bool LoadID3v2();
  // LoadID3v1 or LoadID3v2 by PreferredTag: the tag loader of MPEG, AAC and FLAC.
  bool LoadPreferredID3();
  bool LoadApeTag();
  bool LoadMonkey();
  bool LoadMpc();
  bool LoadFlac();
  bool LoadAac();
  bool LoadOgg();
  bool LoadWma();

  // The tag fields of a reader that names them FArtist, FTrack, ... (Ogg,
  // Windows Media); defined in reader_tags.h.
  template <class TReader>
  void CopyReaderTags(const TReader& reader);
  // Fills TrackText (its first 12 characters) and TrackNumber from a track text.
  void SetTrack(const std::string& track);

  TDebuger FDebuger;
  TCase FCase;
  TFileTools FFileTools;
  TStrTools FStrTools;
  // The file being loaded, open only during LoadFile and shared by the
  // readers of that load; kept so that its buffers serve every load.
  TFile FFile;
  // Where the unread picture of the last loaded file lies, or -1.
  int64_t FPictureOffset = -1;
  // The format readers, created once and reused for every file.
  std::unique_ptr<TID3v1> FID3v1;
  std::unique_ptr<TDID3v2> FID3v2;
  std::unique_ptr<TMPEGaudio> FMPEGaudio;
  std::unique_ptr<TImgArt> FImgArt;
  std::unique_ptr<TDAPEv2> FAPEv2;
  std::unique_ptr<TMPEGplus> FMPEGplus;
  std::unique_ptr<TMonkeyFile> FMonkey;
  std::unique_ptr<TFLACfile> FFLAC;
  std::unique_ptr<TAACfile> FAAC;
  std::unique_ptr<TOGGFile> FOGG;
  std::unique_ptr<TWMAFile> FWMA;
};
