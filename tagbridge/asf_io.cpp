#include "tagbridge/asf_io.h"

#include <unistd.h>

#include <cerrno>

bool AsfReadExact(int fd, uint64_t offset, size_t len, std::string& out) {
  out.resize(len);
  size_t done = 0;
  while (done < len) {
    ssize_t n = ::pread(fd, out.data() + done, len - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      out.resize(done);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

bool AsfWriteAll(int fd, const char* data, size_t len) {
  while (len > 0) {
    ssize_t n = ::write(fd, data, len);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    len -= static_cast<size_t>(n);
  }
  return true;
}

bool AsfFd::Close() {
  if (fd_ < 0) return true;
  int fd = fd_;
  fd_ = -1;
  return ::close(fd) == 0;
}
