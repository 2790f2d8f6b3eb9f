#pragma once

// OggCommentEditor: reads the three Vorbis headers of the first logical
// stream of an Ogg file, and rewrites a file with a new comment header.
//
// A Vorbis stream starts with three header packets: identification (type 1:
// channels, rate, bit rates), comment (type 3: vendor and NAME=value
// entries) and setup (type 5: codebooks, needed for packet block sizes).
// libogg frames pages and packets, libvorbis decodes the headers; no audio
// is decoded or encoded.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <ogg/ogg.h>
#include <vorbis/codec.h>

#include "tagbridge/ogg_input.h"

// Comments as they cross the interface: local text, in file order.
struct OggTagList {
  int32_t Count = 0;
  std::vector<std::string> Entries;  // NAME=value
  std::string Vendor;                // reading: as stored; writing: empty keeps the file's
};

struct OggStreamSummary {
  int32_t Channels = 0;
  int32_t SampleRate = 0;
  int32_t NominalBitrate = 0;
  int64_t FileSize = 0;
  int32_t Duration = -1;  // whole seconds; -1 unknown
};

// The pieces of libogg and libvorbis state that one read or rewrite holds,
// each cleared when the holder goes.
struct OggSync {
  ogg_sync_state s;
  OggSync() { ogg_sync_init(&s); }
  ~OggSync() { ogg_sync_clear(&s); }
  OggSync(const OggSync&) = delete;
  OggSync& operator=(const OggSync&) = delete;
};

struct OggStream {
  ogg_stream_state s{};
  OggStream() = default;
  ~OggStream() { ogg_stream_clear(&s); }
  OggStream(const OggStream&) = delete;
  OggStream& operator=(const OggStream&) = delete;
};

struct VorbisHeaders {
  vorbis_info vi;
  vorbis_comment vc;
  VorbisHeaders() {
    vorbis_info_init(&vi);
    vorbis_comment_init(&vc);
  }
  ~VorbisHeaders() {
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
  }
  VorbisHeaders(const VorbisHeaders&) = delete;
  VorbisHeaders& operator=(const VorbisHeaders&) = delete;
};

// Header packets are gathered whole through the stream layer; a stream that
// never completes its headers (endless continued pages) would otherwise be
// gathered into memory up to its full size. Real comment headers, with
// embedded cover art, stay far below this.
constexpr int64_t kMaxHeaderBytes = 64 << 20;

// Reads at most one chunk into the sync layer; gives the number of bytes.
size_t FeedChunk(OggInput& input, ogg_sync_state& sync);

// The granule position of the last page of the logical stream serial that
// states one, searched backwards from the end of the file; -1 when there is
// none. Only pages whose checksum holds count, so "OggS" inside audio data
// is not taken for a page.
int64_t LastGranule(const OggInput& input, int serial);

// The play time in whole seconds: the last granule position over the rate;
// without one, file size x 8 / nominal bit rate; -1 when neither is known.
int32_t OggDuration(int64_t last_granule, int32_t sample_rate, int64_t file_size, int32_t nominal_bitrate);

// The state of one rewrite.
struct EditState {
  OggSync sync;
  OggStream stream;  // first logical stream, decoding side
  VorbisHeaders headers;
  OggInput* input = nullptr;
  int serial = 0;
  std::vector<unsigned char> main_header;      // identification header packet
  std::vector<unsigned char> codebook_header;  // setup header packet
  std::string last_error;
  std::string vendor;
  long previous_block_size = 0;
  bool extra_page = false;
  std::string extra_page_bytes;  // the other stream's page that stopped the copy
  bool end_of_input = false;
  int64_t header_bytes = 0;
};

class OggCommentEditor {
 public:
  // Reads the headers of path into tags (converted comments, vendor) and
  // summary. False when the file cannot be read as Ogg Vorbis.
  static bool Read(const char* path, OggTagList& tags, OggStreamSummary& summary);

  // Replaces the comments of the file at path by the entries of list (and
  // its vendor, when not empty). The new file is written to path + ".tmp"
  // and renamed over path in one step; on any failure the file at path is
  // unchanged and the temporary file is gone.
  bool Rewrite(const char* path, const OggTagList& list);
  const std::string& LastError() const { return state_.last_error; }

  // Reads the three headers, decoding the identification and comment
  // headers and only gathering the setup header. 1 success; -1 when the
  // first chunk holds no page; 0 on any later failure.
  static int ReadHeaders(OggInput& input, ogg_sync_state& sync, ogg_stream_state& stream, vorbis_info& vi,
                         vorbis_comment& vc);

  // Reads the headers into the edit state, keeping copies of the first and
  // third header packets; the bytes after them stay buffered for the copy.
  bool OpenForEdit(OggInput& input);
  // Empties the comment set.
  void ClearComments();
  // Adds one NAME=value entry in local text; a trailing line feed is
  // dropped. False (and nothing added) when the entry has no "=", a name
  // byte outside 0x20..0x7D, or an empty value.
  bool AddComment(std::string entry);
  // Writes the new headers, the audio packets of the first stream and the
  // rest of the file unchanged.
  bool WriteStream(std::FILE* output);

  // The next audio packet of the first stream, or false at its end.
  bool FetchNextPacket(ogg_packet& packet);
  // Samples that a packet completes: a quarter of the sum of its block size
  // and the previous one's (overlapping windows); 0 for the first packet.
  int64_t PacketSpan(ogg_packet& packet);
  // The comment header packet of the comment set and vendor, in
  // storage; the packet points into storage.
  static void BuildCommentPacket(const vorbis_comment& vc, const std::string& vendor, ogg_packet& packet,
                                 std::vector<unsigned char>& storage);

  const vorbis_comment& Comments() const { return state_.headers.vc; }

 private:
  bool Fail(const char* message);
  bool WritePage(std::FILE* output, const ogg_page& page);
  // Writes bytes of the input that form no page, unchanged.
  bool WriteRaw(std::FILE* output, const unsigned char* bytes, size_t len);

  EditState state_;
  bool write_failed_ = false;
};
