#include "readers/id3v1.h"

#include "toolkit/byte_view.h"
#include "toolkit/file_io.h"
#include "toolkit/text_codec.h"

const char* const GenreNames[148] = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal",
    "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
    "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop", "Vocal",
    "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game", "Sound Clip",
    "Gospel", "Noise", "AlternRock", "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop",
    "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk",
    "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40", "Christian Rap", "Pop/Funk",
    "Jungle", "Native American", "Cabaret", "New Wave", "Psychadelic", "Rave", "Showtunes", "Trailer", "Lo-Fi",
    "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock", "Folk",
    "Folk-Rock", "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic", "Bluegrass",
    "Avantgarde", "Gothic Rock", "Progessive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock",
    "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera",
    "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club",
    "Tango", "Samba", "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock",
    "Drum Solo", "A capella", "Euro-House", "Dance Hall", "Goa", "Drum & Bass", "Club-House", "Hardcore",
    "Terror", "Indie", "BritPop", "Negerpunk", "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal",
    "Black Metal", "Crossover", "Contemporary Christian", "Christian Rock", "Merengue", "Salsa",
    "Trash Metal", "Anime", "JPop", "Synthpop"};

std::string GenreName(uint8_t Index) { return Index < kGenreCount ? GenreNames[Index] : std::string(); }

void TID3v1::ClearTag() {
  Exists = false;
  VersionID = 1;
  Title.clear();
  Artist.clear();
  Album.clear();
  Year.clear();
  Comment.clear();
  Track = 0;
  GenreID = 255;
}

bool TID3v1::LoadTag(const std::string& FileName) {
  ClearTag();
  TFile file;
  return file.Open(FileName) && LoadTag(file);
}

bool TID3v1::LoadTag(const TFile& file) {
  ClearTag();
  std::string block;
  if (file.Size() < 128 || !file.ReadExact(file.Size() - 128, 128, block)) return false;
  TByteView b(block);
  if (!b.Matches(0, "TAG")) return true;

  Exists = true;
  // Version 1.1 puts a zero byte (some writers a space) before a track byte.
  bool v11 = (b.U8(125) == 0 && b.U8(126) != 0) || (b.U8(125) == 0x20 && b.U8(126) != 0x20);
  VersionID = v11 ? 2 : 1;
  // Only trailing bytes up to 20 hex go: a zero byte inside a field stays.
  Title = TrimTrailingControls(b.Chars(3, 30));
  Artist = TrimTrailingControls(b.Chars(33, 30));
  Album = TrimTrailingControls(b.Chars(63, 30));
  Year = TrimTrailingControls(b.Chars(93, 4));
  Comment = TrimTrailingControls(b.Chars(97, v11 ? 28 : 30));
  if (v11) Track = b.U8(126);
  GenreID = b.U8(127);
  return true;
}
