#pragma once

// A bounded, read-only view of bytes with big- and little-endian reads.
// Every read is checked against the view: a read that does not fit gives 0
// (or an empty view), so readers never index past their data. Compare sizes
// with Fits(pos, len), which subtracts instead of adding and cannot overflow.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class TByteView {
 public:
  TByteView() = default;
  TByteView(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}
  TByteView(std::string_view s) : TByteView(s.data(), s.size()) {}  // NOLINT: views convert freely

  size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  const uint8_t* Data() const { return data_; }

  // True when len bytes starting at pos lie inside the view.
  bool Fits(size_t pos, size_t len) const { return pos <= size_ && len <= size_ - pos; }

  uint8_t U8(size_t pos) const { return pos < size_ ? data_[pos] : 0; }
  uint16_t BE16(size_t pos) const { return static_cast<uint16_t>(Fits(pos, 2) ? Be(pos, 2) : 0); }
  uint32_t BE24(size_t pos) const { return static_cast<uint32_t>(Fits(pos, 3) ? Be(pos, 3) : 0); }
  uint32_t BE32(size_t pos) const { return static_cast<uint32_t>(Fits(pos, 4) ? Be(pos, 4) : 0); }
  uint64_t BE64(size_t pos) const { return Fits(pos, 8) ? Be(pos, 8) : 0; }
  uint16_t LE16(size_t pos) const { return static_cast<uint16_t>(Fits(pos, 2) ? Le(pos, 2) : 0); }
  uint32_t LE24(size_t pos) const { return static_cast<uint32_t>(Fits(pos, 3) ? Le(pos, 3) : 0); }
  uint32_t LE32(size_t pos) const { return static_cast<uint32_t>(Fits(pos, 4) ? Le(pos, 4) : 0); }
  uint64_t LE64(size_t pos) const { return Fits(pos, 8) ? Le(pos, 8) : 0; }

  // The part of the view from pos, at most len bytes; empty when pos is past the end.
  TByteView Sub(size_t pos, size_t len = SIZE_MAX) const {
    if (pos >= size_) return {};
    size_t rest = size_ - pos;
    return TByteView(data_ + pos, len < rest ? len : rest);
  }
  std::string_view Chars(size_t pos, size_t len = SIZE_MAX) const {
    TByteView v = Sub(pos, len);
    return std::string_view(reinterpret_cast<const char*>(v.data_), v.size_);
  }
  std::string Str(size_t pos, size_t len = SIZE_MAX) const { return std::string(Chars(pos, len)); }
  // Whether the bytes at pos equal text (false when they do not fit).
  bool Matches(size_t pos, std::string_view text) const { return Fits(pos, text.size()) && Chars(pos, text.size()) == text; }

 private:
  uint64_t Be(size_t pos, int n) const {
    uint64_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | data_[pos + static_cast<size_t>(i)];
    return v;
  }
  uint64_t Le(size_t pos, int n) const {
    uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | data_[pos + static_cast<size_t>(i)];
    return v;
  }

  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};
