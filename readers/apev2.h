#pragma once

// The APEv2 tag (and the older version 1000 tag, which shares its footer)
// at the end of a file, before an ID3v1 tag if there is one.
//
// Footer, the last 32 bytes of the tag, numbers little-endian 32-bit:
//    0  8  "APETAGEX"
//    8  4  version (1000, 2000; any value is read alike)
//   12  4  tag size: the items plus the footer, without the optional header
//   16  4  item count
//   20  4  tag flags (not used)
//   24  8  reserved
//
// Items follow each other from S - ID3v1 size - tag size on:
//    0  4  value size
//    4  4  item flags: bits 2-1 = 01 marks binary, anything else is text
//    8  n  key, up to and including its zero byte
//  8+n  .  value
//
// Text values are UTF-8 and stay UTF-8 (malformed bytes become U+FFFD);
// binary values (the "APIC" picture) keep their bytes.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TFile;

// The 26 keys that have a slot of their own, compared exactly.
enum TApeSlot : uint8_t {
  apeArtist,
  apeAlbum,
  apeTitle,
  apeTrack,
  apeYear,
  apeGenre,
  apeCopyright,
  apeComment,
  apeLyrics,
  apeAPIC,
  apeSubtitle,
  apePublisher,
  apeConductor,
  apeComposer,
  apeLanguage,
  apeFile,
  apeRecordDate,
  apeBand,
  apeBPM,
  apeLyricist,
  apeRemixed,
  apeMood,
  apeCGDescr,
  apeDebutAlbum,
  apeOrArtist,
  apeOrLyricist,
  kApeSlotCount
};

// The key of each slot, in slot order.
extern const std::array<std::string_view, kApeSlotCount> ApeSlotKeys;

// An item whose key has no slot.
struct TFrameItemApe2 {
  uint32_t Flags = 0;
  std::string Key;
  std::string Value;
};
using TFramesLib_APE = std::vector<TFrameItemApe2>;

class TDAPEv2 {
 public:
  std::string FileName;  // set by the path form of LoadTag
  bool Exists = false;  // the footer identifier was found
  int32_t Version = 0;
  std::array<std::string, kApeSlotCount> Slots;
  bool HasPicture = false;
  bool HasLyrics = false;
  TFramesLib_APE OtherItems;
  bool HasID3v1 = false;
  std::string Footer;    // the 32 footer bytes as read
  int64_t FileSize = 0;
  int64_t ID3v1Size = 0;  // 0 or 128

  TDAPEv2() { ClearTag(); }
  void ClearTag();
  // True when the 32 bytes at the footer position could be read, whether or
  // not they hold a tag (Exists tells).
  bool LoadTag(const std::string& FileName);
  // The same through a file that is open already.
  bool LoadTag(const TFile& file);

  const std::string& Slot(TApeSlot slot) const { return Slots[slot]; }

 private:
  void ReadItems(std::string_view area, int32_t count);
  void Store(uint32_t flags, std::string_view key, std::string_view value);
};
