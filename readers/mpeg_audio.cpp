#include "readers/mpeg_audio.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "toolkit/byte_view.h"
#include "toolkit/file_io.h"
#include "toolkit/str_tools.h"
#include "readers/tag_location.h"

namespace {

constexpr uint8_t kMpeg25 = 0;
constexpr uint8_t kMpeg2 = 2;
constexpr uint8_t kMpeg1 = 3;
constexpr uint8_t kLayer3 = 1;
constexpr uint8_t kLayer2 = 2;
constexpr uint8_t kLayer1 = 3;
constexpr uint8_t kModeStereo = 0;
constexpr uint8_t kModeDual = 2;
constexpr uint8_t kModeMono = 3;

// kbit/s by BitRateID. MPEG 1 from ISO/IEC 11172-3; MPEG 2 and 2.5 share the
// lower-sampling-frequency table of ISO/IEC 13818-3, whose Layers II and III
// are alike.
constexpr uint16_t kMpeg1Rates[3][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},  // Layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},     // Layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},      // Layer III
};
constexpr uint16_t kMpeg2Rates[2][16] = {
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},  // Layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},       // Layers II and III
};

uint16_t BitRateOf(uint8_t version, uint8_t layer, uint16_t index) {
  if (index > 15 || layer < kLayer3 || layer > kLayer1) return 0;
  if (version == kMpeg1) return kMpeg1Rates[kLayer1 - layer][index];
  if (version == kMpeg2 || version == kMpeg25) return kMpeg2Rates[layer == kLayer1 ? 0 : 1][index];
  return 0;
}

uint16_t SampleRateOf(uint8_t version, uint16_t index) {
  static constexpr uint16_t kRates[4][3] = {{11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};
  if (version > 3 || index > 2) return 0;
  return kRates[version][index];
}

const char* const kModeNames[5] = {"Stereo", "Joint Stereo", "Dual Channel", "Mono", "Unknown"};
const char* const kEncoderNames[8] = {"Unknown", "Xing", "FhG", "LAME", "Blade", "GoGo", "Shine", "QDesign"};

enum : uint8_t { kEncUnknown = 0, kEncXing = 1, kEncFhG = 2, kEncLame = 3, kEncBlade = 4, kEncGoGo = 5, kEncShine = 6, kEncQDesign = 7 };

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void TMPEGaudio::ClearFields() {
  FileLength = 0;
  Frame = FrameData{};
  VBR = VBRData{};
  VendorID.clear();
  ID3v2Size = 0;
  ID3v1Present = false;
}

bool TMPEGaudio::IsFrameHeader(const uint8_t* b) {
  if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0) return false;
  uint8_t version = (b[1] >> 3) & 3;
  uint8_t layer = (b[1] >> 1) & 3;
  uint8_t bitrate = b[2] >> 4;
  uint8_t samplerate = (b[2] >> 2) & 3;
  uint8_t emphasis = b[3] & 3;
  return version != 1 && layer != 0 && bitrate != 15 && bitrate != 0 && samplerate != 3 && emphasis != 2;
}

namespace {

FrameData DecodeHeader(const uint8_t* b) {
  FrameData f;
  std::memcpy(f.Data, b, 4);
  f.VersionID = (b[1] >> 3) & 3;
  f.LayerID = (b[1] >> 1) & 3;
  f.ProtectionBit = (b[1] & 1) == 0;
  f.BitRateID = b[2] >> 4;
  f.SampleRateID = (b[2] >> 2) & 3;
  f.PaddingBit = (b[2] & 2) != 0;
  f.PrivateBit = (b[2] & 1) != 0;
  f.ModeID = b[3] >> 6;
  f.ModeExtensionID = (b[3] >> 4) & 3;
  f.CopyrightBit = (b[3] & 8) != 0;
  f.OriginalBit = (b[3] & 4) != 0;
  f.EmphasisID = b[3] & 3;
  return f;
}

// Samples per frame divided by 8. Layer I of MPEG 2 and 2.5 is taken as 24.
uint16_t CoefficientOf(const FrameData& f) {
  if (f.VersionID == kMpeg1) return f.LayerID == kLayer1 ? 48 : 144;
  if (f.LayerID == kLayer1) return 24;
  return f.LayerID == kLayer2 ? 144 : 72;
}

uint8_t PaddingOf(const FrameData& f) {
  if (!f.PaddingBit) return 0;
  return f.LayerID == kLayer1 ? 4 : 1;
}

// Distance of the Xing or VBRI header from the frame header: past the side
// information, whose size depends on version and channel count.
size_t XingOffset(const FrameData& f) {
  if (f.VersionID == kMpeg1) return f.ModeID == kModeMono ? 21 : 36;
  return f.ModeID == kModeMono ? 13 : 21;
}

}  // namespace

uint16_t TMPEGaudio::FrameLength(const FrameData& frame) {
  uint16_t rate = SampleRateOf(frame.VersionID, frame.SampleRateID);
  if (rate == 0) return 0;
  double bytes = CoefficientOf(frame) * BitRateOf(frame.VersionID, frame.LayerID, frame.BitRateID) * 1000.0 / rate;
  return static_cast<uint16_t>(static_cast<uint32_t>(std::trunc(bytes)) + PaddingOf(frame));
}

// A 4-byte window over the first half of the block; a candidate counts when
// the header that its frame length points to passes the test too.
void TMPEGaudio::FindFrame() {
  Frame = FrameData{};
  const auto* b = reinterpret_cast<const uint8_t*>(FBlock.data());
  for (size_t index = 0; index < kBlockSize / 2 + 1; ++index) {
    if (!IsFrameHeader(b + index)) continue;
    FrameData candidate = DecodeHeader(b + index);
    size_t next = index + FrameLength(candidate);
    if (next > kBlockSize - 4 || !IsFrameHeader(b + next)) continue;
    Frame = candidate;
    Frame.Found = true;
    Frame.Position = static_cast<int32_t>(index);
    Frame.Size = FrameLength(candidate);
    Frame.Xing = std::all_of(b + index + 4, b + index + 10, [](uint8_t v) { return v == 0; });
    ReadVBR(index + XingOffset(Frame));
    return;
  }
}

// Xing: "Xing", flags, frames, bytes, 100 bytes of table of contents, a
// 4-byte quality (its low byte kept), then an encoder tag such as LAME3.100.
// The fields are taken at these fixed offsets whatever the flags say.
// VBRI: "VBRI", version (2), delay (2), quality (2), bytes (4), frames (4);
// it is looked for at the Xing position.
void TMPEGaudio::ReadVBR(size_t pos) {
  VBR = VBRData{};
  TByteView b(FBlock);
  if (b.Matches(pos, "Xing")) {
    VBR.Found = true;
    VBR.ID = "Xing";
    VBR.Frames = static_cast<int32_t>(b.BE32(pos + 8));
    VBR.Bytes = static_cast<int32_t>(b.BE32(pos + 12));
    VBR.Scale = b.U8(pos + 119);
    VBR.VendorID = b.Str(pos + 120, 8);
  } else if (b.Matches(pos, "VBRI")) {
    VBR.Found = true;
    VBR.ID = "VBRI";
    VBR.Scale = b.U8(pos + 9);
    VBR.Bytes = static_cast<int32_t>(b.BE32(pos + 10));
    VBR.Frames = static_cast<int32_t>(b.BE32(pos + 14));
  }
}

// Encoders leave their name in the padding of the last frames; the scan runs
// backwards from 8 bytes before the end of the block over count positions.
void TMPEGaudio::FindVendorID(size_t count) {
  VendorID.clear();
  if (count + 8 > kBlockSize) count = kBlockSize - 8;
  TByteView e(FBlock);
  for (size_t index = 0; index <= count; ++index) {
    size_t pos = kBlockSize - index - 8;
    if (e.Matches(pos, "LAME")) {
      VendorID = e.Str(pos, 8);
      return;
    }
    if (e.Matches(pos, "GOGO")) {
      VendorID = "GOGO";
      return;
    }
  }
}

bool TMPEGaudio::ReadHeader(const std::string& FileName) {
  ClearFields();
  TFile file;
  return file.Open(FileName) && ReadHeader(file);
}

bool TMPEGaudio::ReadHeader(const TFile& file) {
  ClearFields();
  ID3v2Size = GetID3v2Size(file);
  ID3v1Present = HasID3v1Tag(file);
  FileLength = file.Size();

  int64_t got = file.ReadBlock(ID3v2Size, kBlockSize, FBlock);
  if (got < 0) return false;
  FindFrame();
  if (!Frame.Found && got == static_cast<int64_t>(kBlockSize)) {
    // Garbage after the tag (a broken tag size, junk data): try the middle.
    if (file.ReadBlock((FileLength - ID3v2Size) / 2, kBlockSize, FBlock) < 0) return false;
    FindFrame();
  }
  if (Frame.Found && !VBR.Found) {
    // A file shorter than the block is read from its start, zero-filled.
    int64_t end = FileLength - static_cast<int64_t>(kBlockSize) - (ID3v1Present ? 128 : 0);
    if (file.ReadBlock(end < 0 ? 0 : end, kBlockSize, FBlock) < 0) return false;
    FindVendorID(static_cast<size_t>(Frame.Size) * 5);
  }
  if (!Frame.Found) ClearFields();
  return true;
}

uint16_t TMPEGaudio::TableBitRate() const { return BitRateOf(Frame.VersionID, Frame.LayerID, Frame.BitRateID); }
uint16_t TMPEGaudio::Coefficient() const { return CoefficientOf(Frame); }
uint8_t TMPEGaudio::PaddingBytes() const { return PaddingOf(Frame); }

uint16_t TMPEGaudio::SampleRate() const { return SampleRateOf(Frame.VersionID, Frame.SampleRateID); }

uint16_t TMPEGaudio::BitRate() const {
  if (VBR.Found && VBR.Frames > 0 && SampleRate() > 0) {
    double kbps = (static_cast<double>(VBR.Bytes) / VBR.Frames - PaddingBytes()) * SampleRate() / Coefficient() / 1000.0;
    int64_t rounded = RoundEven(kbps);
    if (rounded < 0) return 0;
    return rounded > UINT16_MAX ? UINT16_MAX : static_cast<uint16_t>(rounded);
  }
  return TableBitRate();
}

double TMPEGaudio::Duration() const {
  if (!Frame.Found || SampleRate() == 0) return 0;
  if (VBR.Found && VBR.Frames > 0) return static_cast<double>(Coefficient()) * VBR.Frames * 8 / SampleRate();
  if (TableBitRate() == 0) return 0;
  int64_t audio = FileLength - ID3v2Size - (ID3v1Present ? 128 : 0) - Frame.Position;
  if (audio < 0) return 0;
  return static_cast<double>(audio) * 8 / (TableBitRate() * 1000.0);
}

std::string TMPEGaudio::ChannelMode() const { return kModeNames[Frame.ModeID <= 4 ? Frame.ModeID : 4]; }

// A guess from what encoders are known to leave: the VBR header's vendor
// text, else typical header bits and the signature at the end of the file.
// Later rules replace earlier ones.
uint8_t TMPEGaudio::EncoderID() const {
  if (!Frame.Found) return kEncUnknown;
  if (VBR.Found) {
    uint8_t id = kEncUnknown;
    bool known = false;
    if (StartsWith(VBR.VendorID, "LAME")) id = kEncLame, known = true;
    if (StartsWith(VBR.VendorID, "GOGO")) id = kEncGoGo, known = true;
    if (StartsWith(VBR.VendorID, "MPGE")) id = kEncGoGo, known = true;
    if (VBR.ID == "Xing" && !known) id = kEncXing;
    if (VBR.ID == "VBRI") id = kEncFhG;
    return id;
  }
  uint8_t id = kEncFhG;
  if (Frame.OriginalBit && Frame.ProtectionBit) id = kEncLame;
  if (TableBitRate() <= 160 && Frame.ModeID == kModeStereo) id = kEncBlade;
  if (Frame.CopyrightBit && Frame.OriginalBit && !Frame.ProtectionBit) id = kEncXing;
  if (Frame.Xing && Frame.OriginalBit) id = kEncXing;
  if (Frame.LayerID == kLayer2) id = kEncQDesign;
  if (Frame.ModeID == kModeDual && Frame.ProtectionBit) id = kEncShine;
  if (StartsWith(VendorID, "LAME")) id = kEncLame;
  if (StartsWith(VendorID, "GOGO")) id = kEncGoGo;
  return id;
}

// "LAME 3.97" when the vendor text is LAME3.97 (digit, dot, two digits); a
// text such as LAME3.9x leaves "LAME" alone.
std::string TMPEGaudio::Encoder() const {
  uint8_t id = EncoderID();
  std::string text = kEncoderNames[id];
  const std::string& vendor = VendorID.empty() ? VBR.VendorID : VendorID;
  if (id == kEncLame && vendor.size() >= 8 && IsDigit(vendor[4]) && vendor[5] == '.' && IsDigit(vendor[6]) &&
      IsDigit(vendor[7]))
    text += " " + vendor.substr(4, 4);
  return text;
}
