// Reading: the three headers, the comments and the play time.

#include "tagbridge/ogg_comment_editor.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "tagbridge/text_convert.h"

namespace {

constexpr size_t kChunk = 4096;

// Ogg page header, all numbers little-endian:
//   0  "OggS"  4  version (0)  5  flags  6  granule position (64)
//  14  serial (32)  18  page sequence (32)  22  CRC (32)  26  segment count n
//  27  n lacing values, whose sum is the body length
constexpr size_t kPageHeader = 27;

// The setup header (type 5) holds the codebooks. Unpacking them costs more
// than everything else a read does, and a read shows nothing from them:
// channels, rate and bit rates come from the identification header. A read
// gathers the setup packet, so the stream must still have all three
// headers, but leaves it undecoded; a rewrite decodes it, as it needs the
// block sizes.
bool IsSetupHeader(const ogg_packet& packet) { return packet.bytes > 0 && packet.packet[0] == 5; }

uint32_t Le32(const unsigned char* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Bytes of the file at pos: from chunk, which holds the file from
// chunk_start on, when it has them all, else read.
bool BytesAt(const OggInput& input, const std::string& chunk, int64_t chunk_start, int64_t pos, size_t len,
             std::string& out) {
  size_t at = static_cast<size_t>(pos - chunk_start);
  if (pos >= chunk_start && at <= chunk.size() && len <= chunk.size() - at) {
    out.assign(chunk, at, len);
    return true;
  }
  return input.ReadAt(pos, len, out);
}

// Whether a complete page with a valid checksum starts at pos; gives its
// serial and granule position. chunk holds bytes of the file from
// chunk_start on, which are used where they reach.
bool PageAt(const OggInput& input, const std::string& chunk, int64_t chunk_start, int64_t pos, int& serial,
            int64_t& granule) {
  std::string head;
  if (!BytesAt(input, chunk, chunk_start, pos, kPageHeader, head) || head.size() < kPageHeader) return false;
  auto h = reinterpret_cast<const unsigned char*>(head.data());
  if (std::memcmp(h, "OggS", 4) != 0 || h[4] != 0) return false;
  size_t segments = h[26];
  std::string page;
  if (!BytesAt(input, chunk, chunk_start, pos, kPageHeader + segments, page) || page.size() < kPageHeader + segments)
    return false;
  size_t body = 0;
  for (size_t i = 0; i < segments; ++i) body += static_cast<unsigned char>(page[kPageHeader + i]);
  size_t header_len = kPageHeader + segments;
  if (!BytesAt(input, chunk, chunk_start, pos, header_len + body, page) || page.size() < header_len + body)
    return false;

  auto bytes = reinterpret_cast<unsigned char*>(page.data());
  uint32_t stored = Le32(bytes + 22);
  ogg_page og{bytes, static_cast<long>(header_len), bytes + header_len, static_cast<long>(body)};
  ogg_page_checksum_set(&og);  // writes the computed CRC into the header copy
  if (Le32(bytes + 22) != stored) return false;
  serial = ogg_page_serialno(&og);
  granule = ogg_page_granulepos(&og);
  return true;
}

}  // namespace

size_t FeedChunk(OggInput& input, ogg_sync_state& sync) {
  char* buffer = ogg_sync_buffer(&sync, kChunk);
  if (buffer == nullptr) return 0;
  size_t got = input.Read(buffer, kChunk);
  ogg_sync_wrote(&sync, static_cast<long>(got));
  return got;
}

int64_t LastGranule(const OggInput& input, int serial) {
  int64_t end = input.Size();
  std::string chunk;
  while (end > 0) {
    int64_t start = end > static_cast<int64_t>(kChunk) ? end - static_cast<int64_t>(kChunk) : 0;
    // Three bytes more, so that a capture pattern across the chunk's end is seen.
    if (!input.ReadAt(start, static_cast<size_t>(end - start) + 3, chunk)) return -1;
    for (size_t i = static_cast<size_t>(end - start); i-- > 0;) {
      if (i + 4 > chunk.size() || std::memcmp(chunk.data() + i, "OggS", 4) != 0) continue;
      int page_serial = 0;
      int64_t granule = -1;
      if (PageAt(input, chunk, start, start + static_cast<int64_t>(i), page_serial, granule) && page_serial == serial &&
          granule > 0)
        return granule;
    }
    end = start;
  }
  return -1;
}

int32_t OggDuration(int64_t last_granule, int32_t sample_rate, int64_t file_size, int32_t nominal_bitrate) {
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  if (last_granule > 0 && sample_rate > 0) return static_cast<int32_t>(std::min(last_granule / sample_rate, kMax));
  // Without a granule position only the nominal rate is left. Below 1000
  // bit/s it states nothing usable (and no encoder writes one).
  if (nominal_bitrate >= 1000 && file_size >= 0)
    return static_cast<int32_t>(std::min(file_size * 8 / nominal_bitrate, kMax));
  return -1;
}

int OggCommentEditor::ReadHeaders(OggInput& input, ogg_sync_state& sync, ogg_stream_state& stream, vorbis_info& vi,
                                  vorbis_comment& vc) {
  int64_t read = static_cast<int64_t>(FeedChunk(input, sync));
  ogg_page page;
  int result;
  // Bytes before the first page are skipped, as long as the page starts in
  // the first chunk.
  while ((result = ogg_sync_pageout(&sync, &page)) < 0) {
  }
  if (result != 1) return -1;

  if (ogg_stream_init(&stream, ogg_page_serialno(&page)) != 0) return 0;
  if (ogg_stream_pagein(&stream, &page) < 0) return 0;
  ogg_packet packet;
  if (ogg_stream_packetout(&stream, &packet) != 1) return 0;
  if (vorbis_synthesis_headerin(&vi, &vc, &packet) < 0) return 0;

  int i = 0;
  while (i < 2) {
    while (i < 2) {
      result = ogg_sync_pageout(&sync, &page);
      if (result == 0) break;
      if (result < 0) continue;
      ogg_stream_pagein(&stream, &page);  // pages of other streams are refused here
      while (i < 2) {
        result = ogg_stream_packetout(&stream, &packet);
        if (result == 0) break;
        if (result < 0) return 0;
        // A refused comment header leaves the comment set empty; the read
        // still gives the stream values.
        if (!IsSetupHeader(packet)) vorbis_synthesis_headerin(&vi, &vc, &packet);
        ++i;
      }
    }
    size_t got = FeedChunk(input, sync);
    read += static_cast<int64_t>(got);
    if (got == 0 && i < 2) return 0;
    if (read > kMaxHeaderBytes && i < 2) return 0;
  }
  return 1;
}

bool OggCommentEditor::Read(const char* path, OggTagList& tags, OggStreamSummary& summary) {
  OggInput input;
  if (!input.Open(path)) return false;
  OggSync sync;
  OggStream stream;
  VorbisHeaders headers;
  if (ReadHeaders(input, sync.s, stream.s, headers.vi, headers.vc) != 1) return false;

  summary.Channels = headers.vi.channels;
  summary.SampleRate = static_cast<int32_t>(std::clamp<long>(headers.vi.rate, 0, std::numeric_limits<int32_t>::max()));
  summary.NominalBitrate = static_cast<int32_t>(
      std::clamp<long>(headers.vi.bitrate_nominal, std::numeric_limits<int32_t>::min(),
                       std::numeric_limits<int32_t>::max()));
  summary.FileSize = input.Size();
  summary.Duration = OggDuration(LastGranule(input, stream.s.serialno), summary.SampleRate, summary.FileSize,
                                 summary.NominalBitrate);

  const vorbis_comment& vc = headers.vc;
  for (int n = 0; n < vc.comments; ++n) {
    std::string local;
    if (vc.user_comments[n] == nullptr || Utf8ToLocal(vc.user_comments[n], local) != 0) local.clear();
    tags.Entries.push_back(std::move(local));
  }
  tags.Count = static_cast<int32_t>(tags.Entries.size());
  tags.Vendor = vc.vendor != nullptr ? vc.vendor : "";
  return true;
}
