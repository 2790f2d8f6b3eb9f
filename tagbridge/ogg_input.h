#pragma once

// Read-only file access of the Ogg side of the library: sequential chunks
// for the sync layer and positional reads for the backward page search.
// Closes its file on every path.

#include <cstddef>
#include <cstdint>
#include <string>

class OggInput {
 public:
  OggInput() = default;
  ~OggInput() { Close(); }
  OggInput(const OggInput&) = delete;
  OggInput& operator=(const OggInput&) = delete;

  // Opens a regular file; a folder, a device or a missing file fails.
  bool Open(const char* path);
  void Close();
  int64_t Size() const { return size_; }
  // Permission bits of the file, for a file written in its place.
  unsigned Mode() const { return mode_; }

  // Reads the next up to len bytes into buf; 0 at the end or on an error.
  size_t Read(char* buf, size_t len);
  // Reads up to len bytes at offset, leaving the sequential position alone.
  bool ReadAt(int64_t offset, size_t len, std::string& out) const;

 private:
  int fd_ = -1;
  int64_t size_ = 0;
  int64_t pos_ = 0;
  unsigned mode_ = 0;
};
