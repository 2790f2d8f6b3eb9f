#pragma once

// File access shared by every reader and writer.
//
// TFile opens a regular file read-only and closes it on every path. Reads are
// positional and never go past the end of the file: ReadAt gives what was
// there, ReadBlock zero-fills the rest of a fixed-size block.
//
// Every reader of a load starts by looking at the same places: the first
// bytes (an ID3v2 header, a stream header) and the last 128 (an ID3v1 tag,
// an APE footer). ReadEnds reads both once; later reads that lie wholly
// inside either are answered from memory, so the readers of one load can
// share one open file without each paying for the same system calls. After
// ReadEnds a small read elsewhere also reads ahead a window of the same
// size as the head, as readers walk a tag in small steps (frame header,
// frame data, next header); a large read, such as a picture, goes to the
// file directly. The buffers keep their memory over Close, so a TFile
// reused for many files allocates nothing per file.
//
// WriteFileReplacing writes to a temporary file in the target's folder and
// renames it over the target, so a failure never leaves a half-written file
// where a good one stood.

#include <cstdint>
#include <string>

class TFile {
 public:
  TFile() = default;
  explicit TFile(const std::string& path) { Open(path); }
  ~TFile() { Close(); }
  TFile(const TFile&) = delete;
  TFile& operator=(const TFile&) = delete;
  TFile(TFile&& other) noexcept;
  TFile& operator=(TFile&& other) noexcept;

  // Opens a regular file for reading; a folder, a device, a pipe or a
  // missing file fails (without waiting for a writer on a pipe).
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  // Size in bytes at the time of opening.
  int64_t Size() const { return size_; }

  // Reads the first head_len and the last tail_len bytes (fewer in a short
  // file) to answer later reads from, and turns on reading ahead by
  // head_len bytes. False on an I/O error; the reads then go to the file as
  // before.
  bool ReadEnds(size_t head_len, size_t tail_len);

  // Reads up to len bytes at offset into out (resized to what was read).
  // False on an I/O error or a negative offset; reading at or past the end
  // gives true with nothing read.
  bool ReadAt(int64_t offset, size_t len, std::string& out) const;
  // Reads exactly len bytes at offset; false when fewer are there.
  bool ReadExact(int64_t offset, size_t len, std::string& out) const;
  // Reads a block of len bytes at offset, zero-filling what lies past the end
  // of the file. Gives the number of bytes that came from the file, or -1 on
  // an I/O error or a negative offset.
  int64_t ReadBlock(int64_t offset, size_t len, std::string& block) const;

 private:
  // Copies [offset, offset + len) from a buffer of the file's ends or the
  // read-ahead window into out when it lies wholly inside one.
  bool FromBuffers(int64_t offset, size_t len, std::string& out) const;
  // Fills the read-ahead window from offset; false on an I/O error.
  bool ReadAhead(int64_t offset) const;
  // Reads into dest; gives the bytes read (fewer at the end of the file) or -1.
  int64_t ReadInto(int64_t offset, size_t len, char* dest) const;

  int fd_ = -1;
  int64_t size_ = 0;
  std::string head_;  // the first bytes of the file, when ReadEnds ran
  std::string tail_;  // the last bytes of the file, when ReadEnds ran
  int64_t tail_start_ = 0;
  size_t window_size_ = 0;       // 0: no reading ahead
  mutable std::string window_;   // read-ahead bytes, from window_start_ on
  mutable int64_t window_start_ = 0;
};

// True when path names an existing regular file.
bool IsRegularFile(const std::string& path);

// Size of a regular file in bytes, or -1.
int64_t FileSizeOf(const std::string& path);

// Replaces the file at path with bytes, through a temporary file beside it
// that is renamed over the target. False (and the target untouched, no
// temporary file left) on any failure.
bool WriteFileReplacing(const std::string& path, const std::string& bytes);

// A temporary file in the folder of target, to be filled and then renamed
// over the target with Commit. Removed again when the object goes without a
// successful Commit.
class TReplacingFile {
 public:
  explicit TReplacingFile(const std::string& target);
  ~TReplacingFile();
  TReplacingFile(const TReplacingFile&) = delete;
  TReplacingFile& operator=(const TReplacingFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  const std::string& TempPath() const { return temp_path_; }
  // Appends bytes; false when not all of them could be written.
  bool Write(const void* data, size_t len);
  bool Write(const std::string& bytes) { return Write(bytes.data(), bytes.size()); }
  // Flushes, closes and renames the temporary file over the target in one
  // step. False (and the temporary file removed) on any failure.
  bool Commit();

 private:
  void Discard();

  std::string target_;
  std::string temp_path_;
  int fd_ = -1;
  bool failed_ = false;
};
