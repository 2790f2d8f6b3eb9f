// Musepack stream version 8: "MPCK", then a run of packets.
//
// Packet: a key of two capital letters, the packet size as a variable-length
// number (7 bits a byte, most significant first, the top bit set on every
// byte but the last), then the payload. The size counts the key and the
// size bytes too.
//
// "SH" stream header: CRC (4 bytes), stream version (1), sample count and
// beginning silence (variable-length numbers), then a byte with the sample
// rate index (bits 7-5: 44100, 48000, 37800, 32000 Hz) and the maximum band,
// and a byte with the channel count less one (bits 7-4), mid/side stereo
// (bit 3) and the frames per audio packet (bits 2-0).
// "AP" packets hold the audio; "SE" ends the stream.

#include <algorithm>
#include <array>
#include <string_view>

#include "readers/mpeg_plus.h"
#include "toolkit/byte_view.h"
#include "toolkit/file_io.h"

namespace {

constexpr std::array<uint32_t, 8> kSV8Rates = {44100, 48000, 37800, 32000, 0, 0, 0, 0};
// Key and the longest size this reader takes: 8 bytes of 7 bits, more than
// any file can hold.
constexpr size_t kVarSizeMax = 8;
constexpr size_t kPacketHeaderMax = 2 + kVarSizeMax;
// The stream header's fields: CRC, version, two numbers and two bytes.
constexpr size_t kStreamHeaderMax = 4 + 1 + 2 * kVarSizeMax + 2;
// A bound on the walk: a stream holds a few packets a second, so this many
// packets is far more than any real file and keeps a hostile one short.
constexpr int kMaxPackets = 1 << 20;

// A variable-length number at pos; pos moves past it. False when it runs
// past the view or takes more than kVarSizeMax bytes.
bool ReadVarSize(const TByteView& b, size_t& pos, uint64_t& value) {
  value = 0;
  for (size_t i = 0; i < kVarSizeMax; ++i) {
    if (!b.Fits(pos, 1)) return false;
    uint8_t byte = b.U8(pos++);
    value = (value << 7) | (byte & 0x7F);
    if ((byte & 0x80) == 0) return true;
  }
  return false;
}

bool IsKey(const TByteView& b) {
  auto capital = [](uint8_t c) { return c >= 'A' && c <= 'Z'; };
  return b.Size() >= 2 && capital(b.U8(0)) && capital(b.U8(1));
}

}  // namespace

// Walks the packets from the one after "MPCK" to "SE", the end of the file
// or the first packet that is no packet: the stream header gives the stream
// values, the audio packets their byte count.
void TMPEGplus::ReadSV8(const TFile& file, int64_t start) {
  StreamVersion = 8;
  int64_t pos = start + 4;
  std::string bytes;
  bool header_seen = false;
  for (int count = 0; count < kMaxPackets && pos < file.Size(); ++count) {
    if (!file.ReadAt(pos, kPacketHeaderMax, bytes)) return;
    TByteView b(bytes);
    size_t header_size = 2;
    uint64_t size = 0;
    if (!IsKey(b) || !ReadVarSize(b, header_size, size)) return;
    uint64_t remaining = static_cast<uint64_t>(file.Size() - pos);
    if (size < header_size || size > remaining) return;
    std::string_view key = b.Chars(0, 2);
    if (key == "SE") return;
    if (key == "AP") AudioBytes += static_cast<int64_t>(size);
    if (key == "SH" && !header_seen) {
      header_seen = true;
      std::string payload;
      size_t payload_size = static_cast<size_t>(size) - header_size;
      if (!file.ReadAt(pos + static_cast<int64_t>(header_size), std::min(payload_size, kStreamHeaderMax), payload))
        return;
      DecodeSV8StreamHeader(payload);
    }
    pos += static_cast<int64_t>(size);
  }
}

void TMPEGplus::DecodeSV8StreamHeader(const std::string& payload) {
  TByteView b(payload);
  size_t pos = 4;  // past the CRC
  if (b.U8(pos++) != 8) return;
  uint64_t samples = 0, silence = 0;
  if (!ReadVarSize(b, pos, samples) || !ReadVarSize(b, pos, silence) || !b.Fits(pos, 2)) return;
  SampleRate = kSV8Rates[b.U8(pos) >> 5];
  uint8_t layout = b.U8(pos + 1);
  Channels = static_cast<uint8_t>((layout >> 4) + 1);
  ChannelModeID = (layout & 0x08) != 0 ? 2 : 1;
  Samples = silence < samples ? static_cast<int64_t>(samples - silence) : 0;
}
