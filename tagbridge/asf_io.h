#pragma once

// Plain file access for the attribute store: positional reads that must be
// complete, writes that must be complete, and a descriptor that closes
// itself.

#include <cstddef>
#include <cstdint>
#include <string>

// Reads exactly len bytes at offset into out; false on an error or when the
// file ends first.
bool AsfReadExact(int fd, uint64_t offset, size_t len, std::string& out);
// Writes all len bytes; false on any error (a full disk, a size limit).
bool AsfWriteAll(int fd, const char* data, size_t len);

class AsfFd {
 public:
  explicit AsfFd(int fd = -1) : fd_(fd) {}
  ~AsfFd() { Close(); }
  AsfFd(const AsfFd&) = delete;
  AsfFd& operator=(const AsfFd&) = delete;
  int Get() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  // Closes now; false when the close reported an error.
  bool Close();

 private:
  int fd_;
};
