// Builders of small ASF files for the Windows Media tests: a Header Object
// with chosen child objects, followed by a data part. Objects are built
// with correct sizes unless a test patches the bytes afterwards.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace asf {

inline std::string Guid(std::initializer_list<int> bytes) { return test::Bytes(bytes); }

inline const std::string kHeader = Guid({0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C});
inline const std::string kFileProperties = Guid({0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11, 0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65});
inline const std::string kStreamProperties = Guid({0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11, 0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65});
inline const std::string kAudioMedia = Guid({0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11, 0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B});
inline const std::string kVideoMedia = Guid({0xC0, 0xEF, 0x19, 0xBC, 0x4D, 0x5B, 0xCF, 0x11, 0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B});
inline const std::string kContentDescription = Guid({0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C});
inline const std::string kExtendedContent = Guid({0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11, 0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50});
inline const std::string kHeaderExtension = Guid({0xB5, 0x03, 0xBF, 0x5F, 0x2E, 0xA9, 0xCF, 0x11, 0x8E, 0xE3, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65});
inline const std::string kHeaderExtensionReserved = Guid({0x11, 0xD2, 0xD3, 0xAB, 0xBA, 0xA9, 0xCF, 0x11, 0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65});
inline const std::string kMetadata = Guid({0xEA, 0xCB, 0xF8, 0xC5, 0xAF, 0x5B, 0x77, 0x48, 0x84, 0x67, 0xAA, 0x8C, 0x44, 0xFA, 0x4C, 0xCA});
inline const std::string kMetadataLibrary = Guid({0x94, 0x1C, 0x23, 0x44, 0x98, 0x94, 0xD1, 0x49, 0xA1, 0x41, 0x1D, 0x13, 0x4E, 0x45, 0x70, 0x54});
inline const std::string kDataObject = Guid({0x36, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C});

// UTF-16LE bytes of ASCII or UTF-8 text, with a zero unit unless told not to.
inline std::string W(const std::u16string& text, bool terminate = true) {
  std::string out;
  for (char16_t c : text) out += test::LE16(c);
  if (terminate) out += test::LE16(0);
  return out;
}

inline std::string Object(const std::string& guid, const std::string& body) {
  return guid + test::LE64(24 + body.size()) + body;
}

// A Header Object holding the children, then a Data Object of data_size bytes.
inline std::string File(const std::vector<std::string>& children, size_t data_size = 64) {
  std::string body;
  for (const std::string& c : children) body += c;
  std::string header = kHeader + test::LE64(30 + body.size()) + test::LE32(static_cast<uint32_t>(children.size())) +
                       test::Bytes({0x01, 0x02}) + body;
  std::string data = kDataObject + test::LE64(24 + data_size) + test::Fill(data_size, 0x5A);
  return header + data;
}

// File Properties: play duration in 100 ns units, preroll in ms, maximum bit rate.
inline std::string FileProperties(uint64_t play_duration, uint64_t preroll_ms, uint32_t max_bitrate,
                                  uint32_t flags = 2) {
  std::string body = test::Fill(16) + test::LE64(0) + test::LE64(0) + test::LE64(0) + test::LE64(play_duration) +
                     test::LE64(play_duration) + test::LE64(preroll_ms) + test::LE32(flags) + test::LE32(3200) +
                     test::LE32(3200) + test::LE32(max_bitrate);
  return Object(kFileProperties, body);
}

// Stream Properties with a WAVEFORMATEX (or any 18 bytes for another type).
inline std::string StreamProperties(uint16_t channels, uint32_t rate, uint32_t byte_rate,
                                    const std::string& type = kAudioMedia) {
  std::string wave = test::LE16(0x0161) + test::LE16(channels) + test::LE32(rate) + test::LE32(byte_rate) +
                     test::LE16(4096) + test::LE16(16) + test::LE16(0);
  std::string body = type + test::Fill(16) + test::LE64(0) + test::LE32(static_cast<uint32_t>(wave.size())) +
                     test::LE32(0) + test::LE16(1) + test::LE32(0) + wave;
  return Object(kStreamProperties, body);
}

// A stereo 44 100 Hz stream of 16 000 bytes/s with a stated play time.
inline std::vector<std::string> PlainStream(double seconds = 10.0) {
  return {FileProperties(static_cast<uint64_t>((seconds + 3.1) * 1e7), 3100, 128000),
          StreamProperties(2, 44100, 16000)};
}

inline std::string ContentDescription(const std::u16string& title, const std::u16string& author,
                                      const std::u16string& copyright = u"", const std::u16string& description = u"",
                                      const std::u16string& rating = u"") {
  std::string lengths, texts;
  for (const std::u16string* t : {&title, &author, &copyright, &description, &rating}) {
    std::string bytes = t->empty() ? "" : W(*t);
    lengths += test::LE16(static_cast<uint16_t>(bytes.size()));
    texts += bytes;
  }
  return Object(kContentDescription, lengths + texts);
}

// One Extended Content Description descriptor; disk types: 0 string,
// 1 bytes, 2 bool, 3 dword, 4 qword, 5 word.
struct Descriptor {
  std::u16string Name;
  uint16_t DiskType;
  std::string Value;
};
inline Descriptor Text(const std::u16string& name, const std::u16string& value) { return {name, 0, W(value)}; }
inline Descriptor Dword(const std::u16string& name, uint32_t value) { return {name, 3, test::LE32(value)}; }
inline Descriptor Binary(const std::u16string& name, const std::string& value) { return {name, 1, value}; }

inline std::string ExtendedContent(const std::vector<Descriptor>& descriptors) {
  std::string body = test::LE16(static_cast<uint16_t>(descriptors.size()));
  for (const Descriptor& d : descriptors) {
    std::string name = W(d.Name);
    body += test::LE16(static_cast<uint16_t>(name.size())) + name + test::LE16(d.DiskType) +
            test::LE16(static_cast<uint16_t>(d.Value.size())) + d.Value;
  }
  return Object(kExtendedContent, body);
}

// Metadata or Metadata Library records (language index, stream number).
inline std::string MetadataObject(const std::string& guid, const std::vector<Descriptor>& records,
                                  uint16_t language = 0, uint16_t stream = 0) {
  std::string body = test::LE16(static_cast<uint16_t>(records.size()));
  for (const Descriptor& d : records) {
    std::string name = W(d.Name);
    body += test::LE16(language) + test::LE16(stream) + test::LE16(static_cast<uint16_t>(name.size())) +
            test::LE16(d.DiskType) + test::LE32(static_cast<uint32_t>(d.Value.size())) + name + d.Value;
  }
  return Object(guid, body);
}

inline std::string HeaderExtension(const std::vector<std::string>& children) {
  std::string data;
  for (const std::string& c : children) data += c;
  return Object(kHeaderExtension,
                kHeaderExtensionReserved + test::LE16(6) + test::LE32(static_cast<uint32_t>(data.size())) + data);
}

// An ID3v2.3 tag holding one APIC frame whose size field says declared_size
// (the real body size when 0).
inline std::string Id3WithApic(const std::string& body, uint32_t declared_size = 0) {
  std::string frame = "APIC" + test::BE32(declared_size ? declared_size : static_cast<uint32_t>(body.size())) +
                      test::Bytes({0, 0}) + body;
  uint32_t size = static_cast<uint32_t>(frame.size());
  std::string syncsafe = test::Bytes({static_cast<int>((size >> 21) & 0x7F), static_cast<int>((size >> 14) & 0x7F),
                                      static_cast<int>((size >> 7) & 0x7F), static_cast<int>(size & 0x7F)});
  return "ID3" + test::Bytes({3, 0, 0}) + syncsafe + frame;
}

}  // namespace asf
