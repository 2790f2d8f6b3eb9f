// Rewriting: new comment header, audio packets of the first stream copied
// with their granule positions, the rest of the file copied page by page.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tagbridge/ogg_comment_editor.h"
#include "tagbridge/text_convert.h"

namespace {

ogg_packet HeaderPacket(std::vector<unsigned char>& bytes, bool first, ogg_int64_t number) {
  ogg_packet packet{};
  packet.packet = bytes.data();
  packet.bytes = static_cast<long>(bytes.size());
  packet.b_o_s = first ? 1 : 0;
  packet.granulepos = 0;
  packet.packetno = number;
  return packet;
}

// The temporary file of a rewrite: created with the permissions of the
// original, flushed to disk before it is renamed, removed unless committed.
// A symbolic link in its place is not followed, so that no other file is
// emptied through it.
class TempOutput {
 public:
  TempOutput(std::string path, unsigned mode) : path_(std::move(path)) {
    int fd;
    do {
      fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode & 0777);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return;
    created_ = true;
    ::fchmod(fd, mode & 0777);  // also when the file existed already
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) ::close(fd);
  }
  ~TempOutput() {
    if (file_ != nullptr) std::fclose(file_);
    if (created_ && !committed_) ::unlink(path_.c_str());
  }
  TempOutput(const TempOutput&) = delete;
  TempOutput& operator=(const TempOutput&) = delete;

  std::FILE* File() const { return file_; }

  // Closes the file and renames it over target in one step.
  bool Commit(const std::string& target) {
    if (file_ == nullptr) return false;
    bool ok = std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (!ok || ::rename(path_.c_str(), target.c_str()) != 0) return false;
    committed_ = true;
    return true;
  }

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
  bool created_ = false;
  bool committed_ = false;
};

// The file a path names, symbolic links followed; the path itself when it
// is no link or cannot be resolved.
std::string LinkTarget(const char* path) {
  struct stat st {};
  if (::lstat(path, &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* resolved = ::realpath(path, nullptr);
  if (resolved == nullptr) return path;
  std::string target = resolved;
  std::free(resolved);
  return target;
}

}  // namespace

bool OggCommentEditor::Fail(const char* message) {
  state_.last_error = message;
  return false;
}

bool OggCommentEditor::WritePage(std::FILE* output, const ogg_page& page) {
  if (std::fwrite(page.header, 1, static_cast<size_t>(page.header_len), output) !=
          static_cast<size_t>(page.header_len) ||
      std::fwrite(page.body, 1, static_cast<size_t>(page.body_len), output) != static_cast<size_t>(page.body_len)) {
    write_failed_ = true;
    return false;
  }
  return true;
}

bool OggCommentEditor::WriteRaw(std::FILE* output, const unsigned char* bytes, size_t len) {
  if (len > 0 && std::fwrite(bytes, 1, len, output) != len) {
    write_failed_ = true;
    return false;
  }
  return true;
}

bool OggCommentEditor::OpenForEdit(OggInput& input) {
  EditState& s = state_;
  s.input = &input;
  size_t got = FeedChunk(input, s.sync.s);
  s.header_bytes = static_cast<int64_t>(got);
  ogg_page page;
  int result;
  while ((result = ogg_sync_pageout(&s.sync.s, &page)) < 0) {
  }
  if (result != 1) return Fail(got < 4096 ? "Input truncated or empty." : "Input is not an Ogg bitstream.");

  s.serial = ogg_page_serialno(&page);
  if (ogg_stream_init(&s.stream.s, s.serial) != 0) return Fail("Error reading first page of Ogg bitstream.");
  if (ogg_stream_pagein(&s.stream.s, &page) < 0) return Fail("Error reading first page of Ogg bitstream.");
  ogg_packet packet;
  if (ogg_stream_packetout(&s.stream.s, &packet) != 1) return Fail("Error reading initial header packet.");
  if (vorbis_synthesis_headerin(&s.headers.vi, &s.headers.vc, &packet) < 0)
    return Fail("Ogg bitstream does not contain vorbis data.");
  s.main_header.assign(packet.packet, packet.packet + packet.bytes);

  bool other_stream = false;
  int i = 0;
  while (i < 2) {
    while (i < 2) {
      result = ogg_sync_pageout(&s.sync.s, &page);
      if (result == 0) break;
      if (result < 0) continue;
      if (ogg_page_serialno(&page) != s.serial) other_stream = true;
      ogg_stream_pagein(&s.stream.s, &page);
      while (i < 2) {
        result = ogg_stream_packetout(&s.stream.s, &packet);
        if (result == 0) break;
        if (result < 0) return Fail("Corrupt secondary header.");
        int decoded = vorbis_synthesis_headerin(&s.headers.vi, &s.headers.vc, &packet);
        // The setup header gives the block sizes that the granule positions
        // of the copied packets are counted from; without it they cannot be.
        if (i == 1) {
          if (decoded < 0) return Fail("Corrupt secondary header.");
          s.codebook_header.assign(packet.packet, packet.packet + packet.bytes);
        }
        ++i;
      }
    }
    if (i >= 2) break;
    got = FeedChunk(input, s.sync.s);
    s.header_bytes += static_cast<int64_t>(got);
    if (got == 0) return Fail("EOF before end of vorbis headers.");
    if (s.header_bytes > kMaxHeaderBytes) return Fail("Corrupt secondary header.");
  }
  // Pages of another stream among the headers mean interleaved streams. Their
  // header pages have been taken out of the sync layer on the way, and the
  // page-by-page copy after the first stream cannot keep them interleaved, so
  // such a file is refused rather than written broken.
  if (other_stream) return Fail("Multiplexed Ogg streams are not supported.");
  s.vendor = s.headers.vc.vendor != nullptr ? s.headers.vc.vendor : "";
  return true;
}

void OggCommentEditor::ClearComments() {
  vorbis_comment_clear(&state_.headers.vc);
  vorbis_comment_init(&state_.headers.vc);
}

bool OggCommentEditor::AddComment(std::string entry) {
  if (!entry.empty() && entry.back() == '\n') entry.pop_back();
  size_t eq = entry.find('=');
  if (eq == std::string::npos) return false;
  for (size_t i = 0; i < eq; ++i) {
    auto c = static_cast<unsigned char>(entry[i]);
    if (c < 0x20 || c > 0x7D) return false;
  }
  std::string name = entry.substr(0, eq);
  std::string value;
  if (LocalToUtf8(entry.c_str() + eq + 1, value) != 0) return false;
  vorbis_comment_add_tag(&state_.headers.vc, name.c_str(), value.c_str());
  return true;
}

// Vorbis I comment header, bit-packed LSB first:
//   8 bits packet type 3, the six bytes "vorbis",
//   32 bits vendor length, vendor bytes,
//   32 bits comment count, per comment 32 bits length and its bytes,
//   1 framing bit set.
void OggCommentEditor::BuildCommentPacket(const vorbis_comment& vc, const std::string& vendor, ogg_packet& packet,
                                          std::vector<unsigned char>& storage) {
  oggpack_buffer opb;
  oggpack_writeinit(&opb);
  auto put_bytes = [&opb](const char* bytes, size_t len) {
    for (size_t i = 0; i < len; ++i) oggpack_write(&opb, static_cast<unsigned char>(bytes[i]), 8);
  };
  oggpack_write(&opb, 0x03, 8);
  put_bytes("vorbis", 6);
  oggpack_write(&opb, static_cast<unsigned long>(vendor.size()), 32);
  put_bytes(vendor.data(), vendor.size());
  oggpack_write(&opb, static_cast<unsigned long>(vc.comments), 32);
  for (int i = 0; i < vc.comments; ++i) {
    if (vc.user_comments[i] == nullptr) {
      oggpack_write(&opb, 0, 32);
      continue;
    }
    size_t len = static_cast<size_t>(vc.comment_lengths[i]);
    oggpack_write(&opb, static_cast<unsigned long>(len), 32);
    put_bytes(vc.user_comments[i], len);
  }
  oggpack_write(&opb, 1, 1);
  unsigned char* buffer = oggpack_get_buffer(&opb);
  storage.assign(buffer, buffer + oggpack_bytes(&opb));
  oggpack_writeclear(&opb);

  packet = ogg_packet{};
  packet.packet = storage.data();
  packet.bytes = static_cast<long>(storage.size());
  packet.packetno = 1;
}

bool OggCommentEditor::FetchNextPacket(ogg_packet& packet) {
  EditState& s = state_;
  for (;;) {
    int result = ogg_stream_packetout(&s.stream.s, &packet);
    if (result == 1) return true;
    if (result < 0) continue;  // a gap: libogg reports it once, then goes on
    if (s.end_of_input) return false;
    ogg_page page;
    while ((result = ogg_sync_pageout(&s.sync.s, &page)) != 1) {
      if (result == 0 && FeedChunk(*s.input, s.sync.s) == 0) return false;
    }
    // A page of another stream before the first one ended: keep it for the
    // copy of the rest.
    if (ogg_page_serialno(&page) != s.serial) {
      s.extra_page = true;
      s.extra_page_bytes.assign(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
      s.extra_page_bytes.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
      s.end_of_input = true;
      return false;
    }
    if (ogg_page_eos(&page)) s.end_of_input = true;
    ogg_stream_pagein(&s.stream.s, &page);
  }
}

int64_t OggCommentEditor::PacketSpan(ogg_packet& packet) {
  long b = vorbis_packet_blocksize(&state_.headers.vi, &packet);
  if (b < 0) return 0;  // not an audio packet of this stream's modes; counts nothing
  int64_t span = state_.previous_block_size == 0 ? 0 : (state_.previous_block_size + b) / 4;
  state_.previous_block_size = b;
  return span;
}

bool OggCommentEditor::WriteStream(std::FILE* output) {
  EditState& s = state_;
  s.extra_page = false;
  s.end_of_input = false;
  write_failed_ = false;

  ogg_packet main = HeaderPacket(s.main_header, true, 0);
  ogg_packet comment;
  std::vector<unsigned char> comment_bytes;
  BuildCommentPacket(s.headers.vc, s.vendor, comment, comment_bytes);
  ogg_packet codebook = HeaderPacket(s.codebook_header, false, 2);

  OggStream out;
  ogg_stream_init(&out.s, s.serial);
  ogg_stream_packetin(&out.s, &main);
  ogg_stream_packetin(&out.s, &comment);
  ogg_stream_packetin(&out.s, &codebook);
  ogg_page page;
  // The first page so formed holds the identification header alone.
  while (ogg_stream_flush(&out.s, &page) != 0) WritePage(output, page);

  // Packets without a granule position get the running sample count. A
  // stated position below the count is the end trim of the last page: it is
  // kept, and its page is flushed so that the position stays on it.
  int64_t granule = 0;
  bool need_flush = false;
  bool need_out = false;
  ogg_packet packet;
  while (FetchNextPacket(packet)) {
    granule += PacketSpan(packet);
    if (need_flush) {
      if (ogg_stream_flush(&out.s, &page) != 0) WritePage(output, page);
    } else if (need_out) {
      while (ogg_stream_pageout(&out.s, &page) != 0) WritePage(output, page);
    }
    need_flush = need_out = false;
    if (packet.granulepos == -1) {
      packet.granulepos = granule;
      ogg_stream_packetin(&out.s, &packet);
    } else if (granule > packet.granulepos) {
      granule = packet.granulepos;
      ogg_stream_packetin(&out.s, &packet);
      need_flush = true;
    } else {
      ogg_stream_packetin(&out.s, &packet);
      need_out = true;
    }
  }
  out.s.e_o_s = 1;
  while (ogg_stream_flush(&out.s, &page) != 0) WritePage(output, page);

  if (s.extra_page &&
      std::fwrite(s.extra_page_bytes.data(), 1, s.extra_page_bytes.size(), output) != s.extra_page_bytes.size())
    write_failed_ = true;

  // The rest of the file as it stands: its pages, and also the bytes that
  // form no page (a tag some program appended, damaged data), so that the
  // rewrite changes nothing but the comments.
  s.end_of_input = false;
  for (;;) {
    long result = ogg_sync_pageseek(&s.sync.s, &page);
    if (result < 0) {
      s.last_error = "Corrupt or missing data, continuing...";
      // pageseek has just stepped over these -result bytes.
      if (!WriteRaw(output, s.sync.s.data + s.sync.s.returned + result, static_cast<size_t>(-result))) break;
    } else if (result == 0) {
      if (FeedChunk(*s.input, s.sync.s) == 0) {
        s.end_of_input = true;
        // What is left in the sync buffer at the end of the file was never a page.
        WriteRaw(output, s.sync.s.data + s.sync.s.returned, static_cast<size_t>(s.sync.s.fill - s.sync.s.returned));
        break;
      }
    } else if (!WritePage(output, page)) {
      break;
    }
  }
  if (write_failed_ || !s.end_of_input)
    return Fail("Error writing stream to output. Output stream may be corrupted or truncated.");
  return true;
}

bool OggCommentEditor::Rewrite(const char* path, const OggTagList& list) {
  if (path == nullptr || *path == 0) return false;
  // Through a symbolic link the file it points to is rewritten, and the link
  // stays a link.
  const std::string target = LinkTarget(path);
  OggInput input;
  if (!input.Open(path)) return false;
  if (!OpenForEdit(input)) return false;
  TempOutput output(target + ".tmp", input.Mode());
  if (output.File() == nullptr) return false;

  ClearComments();
  for (const std::string& entry : list.Entries) AddComment(entry);
  if (!list.Vendor.empty()) state_.vendor = list.Vendor;

  if (!WriteStream(output.File())) return false;
  input.Close();
  return output.Commit(target);
}
