#pragma once

// The pieces of the ASF container that the attribute store reads and writes.
//
// Every ASF object starts with a 24-byte header: a 16-byte GUID and a
// 64-bit little-endian object size that counts the header too. GUIDs are
// compared byte for byte as stored; the textual form stores its first three
// groups little-endian, so 75B22630-668E-11CF-... is stored 30 26 B2 75 8E 66 CF 11 ...
//
// Header Object (the file's first object):
//    0 16 GUID, 16 8 size, 24 4 number of child objects, 28 1+1 reserved (01 02);
//   the children follow at 30.
// Content Description Object:
//   24 2 title length, 26 2 author length, 28 2 copyright length,
//   30 2 description length, 32 2 rating length (bytes each), then the five
//   UTF-16LE texts in that order, each normally ending in a zero unit.
// Extended Content Description Object:
//   24 2 descriptor count; each descriptor: 2 name length (bytes), name
//   (UTF-16LE, zero-terminated), 2 data type, 2 value length, value.
// Header Extension Object:
//   24 16 reserved GUID, 40 2 reserved (6), 42 4 data size; the data (child
//   objects, among them the two below) follows at 46.
// Metadata Object / Metadata Library Object:
//   24 2 record count; each record: 2 reserved (Metadata) or language list
//   index (Library), 2 stream number, 2 name length (bytes), 2 data type,
//   4 data length, name (UTF-16LE, zero-terminated), data.
// File Properties Object:
//   40 8 file size, 64 8 play duration (100 ns), 80 8 preroll (ms),
//   88 4 flags (bit 0: broadcast; the sizes and durations are then not set).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using AsfGuid = std::array<uint8_t, 16>;

inline constexpr AsfGuid kAsfHeaderObject = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                             0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
inline constexpr AsfGuid kAsfFileProperties = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                               0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
inline constexpr AsfGuid kAsfContentDescription = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                                   0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
inline constexpr AsfGuid kAsfExtendedContentDescription = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                                           0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
inline constexpr AsfGuid kAsfHeaderExtension = {0xB5, 0x03, 0xBF, 0x5F, 0x2E, 0xA9, 0xCF, 0x11,
                                                0x8E, 0xE3, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
// The reserved GUID that the Header Extension Object carries at offset 24.
inline constexpr AsfGuid kAsfHeaderExtensionReserved = {0x11, 0xD2, 0xD3, 0xAB, 0xBA, 0xA9, 0xCF, 0x11,
                                                        0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
inline constexpr AsfGuid kAsfMetadata = {0xEA, 0xCB, 0xF8, 0xC5, 0xAF, 0x5B, 0x77, 0x48,
                                         0x84, 0x67, 0xAA, 0x8C, 0x44, 0xFA, 0x4C, 0xCA};
inline constexpr AsfGuid kAsfMetadataLibrary = {0x94, 0x1C, 0x23, 0x44, 0x98, 0x94, 0xD1, 0x49,
                                                0xA1, 0x41, 0x1D, 0x13, 0x4E, 0x45, 0x70, 0x54};

inline constexpr size_t kAsfObjectHeaderSize = 24;
inline constexpr size_t kAsfHeaderObjectSize = 30;
inline constexpr size_t kAsfHeaderExtensionDataOffset = 46;
inline constexpr size_t kAsfFilePropertiesFileSize = 40;
inline constexpr size_t kAsfFilePropertiesFlags = 88;

// Type codes of the attribute interface (the order of the Windows Media
// format SDK's attribute data types).
enum AsfAttrType : uint32_t {
  kAttrDword = 0,
  kAttrString = 1,
  kAttrBinary = 2,
  kAttrBool = 3,
  kAttrQword = 4,
  kAttrWord = 5,
  kAttrGuid = 6,
  kAttrUnknown = 0xFFFF,
};

// The data type numbers stored in the file (Extended Content Description,
// Metadata and Metadata Library records) in another order: 0 string,
// 1 bytes, 2 bool, 3 dword, 4 qword, 5 word, 6 GUID (Metadata Library only).
inline constexpr uint32_t kAttrTypeFromDisk[7] = {kAttrString, kAttrBinary, kAttrBool, kAttrDword,
                                                  kAttrQword,  kAttrWord,   kAttrGuid};
inline constexpr uint16_t kDiskTypeFromAttr[7] = {3, 0, 1, 2, 4, 5, 6};

// Little-endian numbers from a byte string; 0 when they do not fit.
inline uint64_t AsfLe(std::string_view bytes, size_t pos, size_t width) {
  if (pos > bytes.size() || bytes.size() - pos < width) return 0;
  uint64_t v = 0;
  for (size_t i = width; i > 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[pos + i - 1]);
  return v;
}
inline uint16_t AsfLe16(std::string_view b, size_t pos) { return static_cast<uint16_t>(AsfLe(b, pos, 2)); }
inline uint32_t AsfLe32(std::string_view b, size_t pos) { return static_cast<uint32_t>(AsfLe(b, pos, 4)); }
inline uint64_t AsfLe64(std::string_view b, size_t pos) { return AsfLe(b, pos, 8); }

inline void AsfPutLe(std::string& out, uint64_t v, size_t width) {
  for (size_t i = 0; i < width; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A whole object: GUID, 64-bit size (its 24-byte header included), body.
inline std::string AsfObjectBytes(const AsfGuid& guid, std::string_view body) {
  std::string out(guid.begin(), guid.end());
  AsfPutLe(out, kAsfObjectHeaderSize + body.size(), 8);
  out.append(body);
  return out;
}

inline bool GuidAt(std::string_view bytes, size_t pos, const AsfGuid& guid) {
  if (pos > bytes.size() || bytes.size() - pos < guid.size()) return false;
  for (size_t i = 0; i < guid.size(); ++i)
    if (static_cast<uint8_t>(bytes[pos + i]) != guid[i]) return false;
  return true;
}
