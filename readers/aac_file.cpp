#include "readers/aac_file.h"

#include <array>

#include "toolkit/byte_view.h"
#include "toolkit/file_io.h"
#include "toolkit/str_tools.h"
#include "readers/tag_location.h"

namespace {

constexpr std::array<int32_t, 16> kSampleRates = {96000, 88200, 64000, 48000, 44100, 32000, 24000, 22050,
                                                  16000, 12000, 11025, 8000,  0,     0,     0,     0};
constexpr std::array<const char*, 3> kHeaderTypeNames = {"Unknown", "ADIF", "ADTS"};

// The longest ADIF header read (with the copyright id) fits in 32 bytes; an
// ADTS header in 9. Both blocks are read zero-filled past the end of the
// file, so a header cut by the end reads as zero bits.
constexpr size_t kADIFBlock = 40;
constexpr size_t kADTSBlock = 16;
constexpr int64_t kADTSHeaderSize = 7;
constexpr int kMaxFrames = 1000;
constexpr double kSamplesPerFrame = 1024;
constexpr uint32_t kVariableFullness = 0x7FF;
constexpr size_t kFrameLengthPos = 30;

// n bits (at most 25) at bit position pos: the four bytes from pos / 8 as
// a big-endian number, shifted left by pos mod 8 and right by 32 - n.
uint32_t Bits(const TByteView& block, size_t pos, int n) {
  uint32_t word = block.BE32(pos / 8) << (pos % 8);
  return word >> (32 - n);
}

}  // namespace

bool TAACfile::ReadHeader(const std::string& FileName) {
  ClearFields();
  TFile file;
  return file.Open(FileName) && ReadHeader(file);
}

bool TAACfile::ReadHeader(const TFile& file) {
  ClearFields();
  ID3v2Size = GetID3v2Size(file);
  HasID3v1 = HasID3v1Tag(file);
  FileSize = file.Size();
  std::string id;
  if (file.ReadBlock(ID3v2Size, 4, id) < 0) return true;
  if (id == "ADIF") {
    HeaderTypeID = aacADIF;
    ReadADIF(file);
  } else if (static_cast<uint8_t>(id[0]) == 0xFF) {
    HeaderTypeID = aacADTS;
    ReadADTS(file);
  }
  return true;
}

void TAACfile::ReadADIF(const TFile& file) {
  std::string bytes;
  file.ReadBlock(ID3v2Size, kADIFBlock, bytes);
  TByteView block(bytes);
  size_t p = 32;
  p += Bits(block, p, 1) == 0 ? 3 : 75;
  bool variable = Bits(block, p, 1) == 1;
  BitRateType = variable ? aacRateVariable : aacRateConstant;
  p += 1;
  BitRate = static_cast<int32_t>(Bits(block, p, 23));
  // Bit rate, element count, the buffer fullness when constant and the
  // element instance tag: p then points at the object type.
  p += variable ? 31 : 51;
  p += 2;
  SampleRate = kSampleRates[Bits(block, p, 4)];
  p += 4;
  // A channel pair element counts as one channel, as it is stored.
  Channels = static_cast<uint8_t>(Bits(block, p, 4) + Bits(block, p + 4, 4) + Bits(block, p + 8, 4) +
                                  Bits(block, p + 12, 2));
}

void TAACfile::ReadADTS(const TFile& file) {
  int64_t total = 0;
  int frames = 0;
  std::string bytes;
  while (true) {
    ++frames;  // also the attempt that finds no sync word
    // A header cut by the end of the file ends the walk like a missing sync
    // word, so its zero-filled fields do not replace the values read so far.
    if (file.ReadBlock(ID3v2Size + total, kADTSBlock, bytes) < kADTSHeaderSize) break;
    TByteView block(bytes);
    if (Bits(block, 0, 12) != 0xFFF) break;
    SampleRate = kSampleRates[Bits(block, 18, 4)];
    Channels = static_cast<uint8_t>(Bits(block, 23, 3));
    uint32_t frame_length = Bits(block, kFrameLengthPos, 13);
    total += frame_length;
    BitRateType = Bits(block, kFrameLengthPos + 13, 11) == kVariableFullness ? aacRateVariable : aacRateConstant;
    // A zero length would read the same header again; the result of the
    // walk would not change.
    if (BitRateType == aacRateConstant || frames >= kMaxFrames || frame_length == 0) break;
    if (total >= FileSize - ID3v2Size) break;
  }
  double rate = static_cast<double>(total) * 8 / kSamplesPerFrame / frames * SampleRate;
  BitRate = ClampI32(RoundEven(rate));
}

bool TAACfile::IsValid() const { return HeaderTypeID != aacUnknown && Channels != 0 && SampleRate > 0 && BitRate > 0; }

// (File size - ID3v2 size) x 8 in 64 bits: files above 256 MB do not wrap.
double TAACfile::Duration() const {
  if (BitRate == 0) return 0;
  return static_cast<double>((FileSize - ID3v2Size) * 8) / BitRate;
}

std::string TAACfile::HeaderTypeName() const {
  return kHeaderTypeNames[HeaderTypeID < kHeaderTypeNames.size() ? HeaderTypeID : 0];
}
