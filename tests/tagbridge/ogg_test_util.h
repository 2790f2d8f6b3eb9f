// Page-level helpers for the Ogg tests: walk the pages of a file, patch a
// page and fix its checksum, and list the packets of one logical stream.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <ogg/ogg.h>
#include <vorbis/codec.h>

namespace oggtest {

struct Page {
  size_t offset = 0;
  size_t header_length = 0;
  size_t length = 0;  // header and body
  int serial = 0;
  int64_t granule = 0;
  bool eos = false;
};

// The pages of well-formed bytes, one after the other from the start.
inline std::vector<Page> Pages(const std::string& bytes) {
  std::vector<Page> pages;
  size_t pos = 0;
  while (bytes.size() - pos >= 27 && bytes.compare(pos, 4, "OggS") == 0) {
    auto p = reinterpret_cast<const unsigned char*>(bytes.data() + pos);
    size_t segments = p[26];
    if (bytes.size() - pos < 27 + segments) break;
    size_t body = 0;
    for (size_t i = 0; i < segments; ++i) body += p[27 + i];
    Page page;
    page.offset = pos;
    page.header_length = 27 + segments;
    page.length = page.header_length + body;
    if (bytes.size() - pos < page.length) break;
    std::memcpy(&page.granule, p + 6, 8);  // little-endian host
    std::memcpy(&page.serial, p + 14, 4);
    page.eos = (p[5] & 4) != 0;
    pages.push_back(page);
    pos += page.length;
  }
  return pages;
}

// Recomputes the checksum of a page after its bytes were changed.
inline void FixChecksum(std::string& bytes, const Page& page) {
  auto base = reinterpret_cast<unsigned char*>(bytes.data() + page.offset);
  ogg_page og{base, static_cast<long>(page.header_length), base + page.header_length,
              static_cast<long>(page.length - page.header_length)};
  ogg_page_checksum_set(&og);
}

struct Packet {
  std::string bytes;
  int64_t granule;
  bool operator==(const Packet&) const = default;
};

// Every packet of the logical stream serial, headers included, with the
// granule position libogg gives it (-1 unless it ends a page).
inline std::vector<Packet> StreamPackets(const std::string& bytes, int serial) {
  std::vector<Packet> out;
  ogg_sync_state sync;
  ogg_sync_init(&sync);
  ogg_stream_state stream;
  ogg_stream_init(&stream, serial);
  char* buffer = ogg_sync_buffer(&sync, static_cast<long>(bytes.size()));
  std::memcpy(buffer, bytes.data(), bytes.size());
  ogg_sync_wrote(&sync, static_cast<long>(bytes.size()));
  ogg_page page;
  int r;
  while ((r = ogg_sync_pageout(&sync, &page)) != 0) {
    if (r < 0 || ogg_page_serialno(&page) != serial) continue;
    ogg_stream_pagein(&stream, &page);
    ogg_packet packet;
    while ((r = ogg_stream_packetout(&stream, &packet)) != 0) {
      if (r < 0) continue;
      out.push_back({std::string(reinterpret_cast<char*>(packet.packet), static_cast<size_t>(packet.bytes)),
                     packet.granulepos});
    }
    if (ogg_page_eos(&page)) break;  // a chained stream may reuse the serial
  }
  ogg_stream_clear(&stream);
  ogg_sync_clear(&sync);
  return out;
}

// The samples decoded up to and including each packet of a stream whose
// first three packets are its headers: the granule position each packet
// ends at, before the end trim of the last page. The packets go to the
// decoder without their granule positions, so that it trims nothing.
inline std::vector<int64_t> DecodedSampleCounts(const std::vector<Packet>& packets) {
  std::vector<int64_t> counts;
  vorbis_info vi;
  vorbis_comment vc;
  vorbis_info_init(&vi);
  vorbis_comment_init(&vc);
  bool ok = packets.size() >= 3;
  for (size_t i = 0; ok && i < 3; ++i) {
    Packet copy = packets[i];
    ogg_packet op{reinterpret_cast<unsigned char*>(copy.bytes.data()), static_cast<long>(copy.bytes.size()),
                  i == 0, 0, 0, static_cast<ogg_int64_t>(i)};
    ok = vorbis_synthesis_headerin(&vi, &vc, &op) == 0;
  }
  vorbis_dsp_state vd;
  vorbis_block vb;
  if (ok && vorbis_synthesis_init(&vd, &vi) == 0) {
    vorbis_block_init(&vd, &vb);
    int64_t total = 0;
    for (size_t i = 3; i < packets.size(); ++i) {
      Packet copy = packets[i];
      ogg_packet op{reinterpret_cast<unsigned char*>(copy.bytes.data()), static_cast<long>(copy.bytes.size()),
                    0, 0, -1, static_cast<ogg_int64_t>(i)};
      if (vorbis_synthesis(&vb, &op) == 0) vorbis_synthesis_blockin(&vd, &vb);
      float** pcm;
      int n;
      while ((n = vorbis_synthesis_pcmout(&vd, &pcm)) > 0) {
        total += n;
        vorbis_synthesis_read(&vd, n);
      }
      counts.push_back(total);
    }
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
  }
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return counts;
}

}  // namespace oggtest
