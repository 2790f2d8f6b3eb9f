#include <QAbstractItemModelTester>
#include <QCollator>
#include <QColor>
#include <filesystem>
#include <gtest/gtest.h>

#include "app/node_data.h"
#include "app/tracklist_model.h"
#include "audiofile/audio_file.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

// A model with its tester alive for the model's whole life, so every
// change the tests make is checked against the item-model rules.
struct ModelFixture : testing::Test {
  TAudioFile audio;
  TTracklistModel model{audio};
  QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};

  ModelFixture() { audio.SetPreferredTag(2); }

  QString Cell(int row, int column) const { return model.data(model.index(row, column)).toString(); }
  QColor Background(int row) const { return model.data(model.index(row, 0), Qt::BackgroundRole).value<QColor>(); }
  std::vector<std::string> Column(int column) const {
    std::vector<std::string> out;
    for (int r = 0; r < model.rowCount(); ++r) out.push_back(Cell(r, column).toStdString());
    return out;
  }
};

TMyNodeData Node(const std::string& title, const std::string& track = "", int32_t number = 0) {
  TMyNodeData n;
  n.Title = title;
  n.TrackText = track;
  n.TrackNumber = number;
  n.FileName = title + ".mp3";
  n.StreamValid = true;
  n.HasTag = true;
  return n;
}

TEST_F(ModelFixture, AddsReadableFilesAndSkipsTheRestSilently) {
  test::TempDir dir;
  // An ID3 tag in front of bytes that are no MPEG audio: not taken.
  std::string fake = dir.Write("fake.mp3", test::ReadAll(test::Fixture("foundation/v1v2.mp3")).substr(0, 200) +
                                               test::Fill(4000, 0));
  std::vector<std::string> paths = {
      test::Fixture("ogg/tagged_stereo.ogg"), test::Fixture("mpeg/cover.jpg"),   dir.File("missing.mp3"),
      test::Fixture("apeflac/reported.txt"),  dir.Path().string(),               fake,
      test::Fixture("ogg/tagged_stereo.ogg"), test::Fixture("wma/tagged.wma"),
  };
  EXPECT_EQ(model.AddFiles(paths), static_cast<int>(paths.size()));
  ASSERT_EQ(model.rowCount(), 3);
  // The same file twice gives two rows, in the order given.
  EXPECT_EQ(model.Row(0).FullPath, paths[0]);
  EXPECT_EQ(model.Row(1).FullPath, paths[0]);
  EXPECT_EQ(model.Row(2).FileName, "tagged.wma");
  EXPECT_TRUE(model.AddFile(test::Fixture("foundation/plain.mp3")));
  EXPECT_FALSE(model.AddFile(dir.File("missing.ogg")));
}

TEST_F(ModelFixture, CancelStopsAfterTheCurrentFileAndKeepsTheRowsAdded) {
  std::vector<std::string> paths(8, test::Fixture("foundation/plain.mp3"));
  std::vector<std::pair<int, int>> seen;
  int handled = model.AddFiles(paths, [&](int done, int total) {
    seen.emplace_back(done, total);
    return done < 3;
  });
  EXPECT_EQ(handled, 3);
  EXPECT_EQ(model.rowCount(), 3);
  EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{1, 8}, {2, 8}, {3, 8}}));
  // A refresh stopped the same way leaves the later rows as they were.
  EXPECT_EQ(model.RefreshAll([](int done, int) { return done < 2; }), 2);
}

TEST_F(ModelFixture, RowCopiesTheLoadedValues) {
  ASSERT_TRUE(model.AddFile(test::Fixture("wma/tagged.wma")));
  const TMyNodeData& row = model.Row(0);
  EXPECT_EQ(row.Title, "Morning Tone");
  EXPECT_EQ(row.Artist, "Test Artist");
  EXPECT_EQ(row.TrackText, "3/12");
  EXPECT_EQ(row.TrackNumber, 3);
  EXPECT_TRUE(row.HasTag && row.StreamValid && row.HasPicture && row.HasLyrics);
  EXPECT_EQ(row.FileType, atWMA);
  EXPECT_EQ(row.ImageIndex, riWmaTag);
  EXPECT_EQ(Cell(0, colFileName), "tagged.wma");
  EXPECT_EQ(Cell(0, colFileType), "WMA");
  EXPECT_EQ(Cell(0, colFileSize), QString::number(row.FileSizeKB));
  EXPECT_EQ(Cell(0, colLyrics), "");
  EXPECT_FALSE(model.data(model.index(0, colLyrics), Qt::DecorationRole).value<QIcon>().isNull());
  EXPECT_FALSE(model.data(model.index(0, colImage), Qt::DecorationRole).value<QIcon>().isNull());
  EXPECT_TRUE(model.data(model.index(0, colTitle), Qt::DecorationRole).isNull());
}

TEST(RowIcon, ByTypeAndTags) {
  struct Case {
    TAudioType type;
    bool v1, v2;
    uint8_t icon;
  } cases[] = {
      {atMP3v2, true, true, 7},  {atMP3v1, false, false, 8}, {atAAC, true, false, 9},  {atFLAC, false, true, 10},
      {atOGG, true, false, 11},  {atOGG, false, true, 12},   {atWMV, true, false, 13}, {atASF, false, false, 14},
      {atAPE, true, false, 17},  {atMPC, false, false, 18},  {atUnknown, true, true, 19},
  };
  for (const Case& c : cases) EXPECT_EQ(RowIconIndex(c.type, c.v1, c.v2), c.icon) << int(c.type);
}

TEST_F(ModelFixture, PreferenceSwitchRefillsId3Rows) {
  ASSERT_TRUE(model.AddFile(test::Fixture("foundation/v1only.mp3")));
  EXPECT_FALSE(model.Row(0).HasTag);
  EXPECT_EQ(model.Row(0).ImageIndex, riId3V1);
  EXPECT_EQ(model.Row(0).TagVersion, "");
  EXPECT_EQ(Background(0), QColor(0xFF, 0xE1, 0xE1));
  audio.SetPreferredTag(1);
  EXPECT_EQ(model.RefreshAll(), 1);
  EXPECT_TRUE(model.Row(0).HasTag);
  EXPECT_EQ(model.Row(0).FileType, atMP3v1);
  EXPECT_NE(model.Row(0).TagVersion, "");
  EXPECT_EQ(Background(0), QColor(0xFF, 0xFF, 0xFF));
}

TEST_F(ModelFixture, RefreshKeepsTheRowOfAFileThatMovedAway) {
  test::TempDir dir;
  std::string path = dir.File("moving.ogg");
  fs::copy_file(test::Fixture("ogg/tagged_stereo.ogg"), path);
  ASSERT_TRUE(model.AddFile(test::Fixture("wma/tagged.wma")));
  ASSERT_TRUE(model.AddFile(path));
  fs::rename(path, dir.File("moved.ogg"));
  model.RefreshAll();
  ASSERT_EQ(model.rowCount(), 2);
  const TMyNodeData& row = model.Row(1);
  EXPECT_EQ(row.FullPath, path);
  EXPECT_EQ(row.FileName, "moving.ogg");
  EXPECT_EQ(row.Title, "");
  EXPECT_EQ(row.BitRate, 0u);
  EXPECT_FALSE(row.StreamValid);
  EXPECT_FALSE(row.HasLyrics);
  EXPECT_EQ(Background(1), QColor(0xFF, 0xDD, 0xFF));  // odd row without stream values
  EXPECT_EQ(model.Row(0).Title, "Morning Tone");
  EXPECT_EQ(Background(0), QColor(0xFF, 0xFF, 0xFF));
}

TEST_F(ModelFixture, RowColoursByRowNumberAndFlags) {
  std::vector<TMyNodeData> rows(6, Node("x"));
  rows[2].HasTag = false;
  rows[3].HasTag = false;
  rows[4].StreamValid = false;
  rows[5].StreamValid = false;
  rows[5].HasTag = false;  // the later rule wins
  model.AppendRows(rows);
  const QColor expected[] = {{0xFF, 0xFF, 0xFF}, {0xF8, 0xF8, 0xF8}, {0xFF, 0xE1, 0xE1},
                             {0xFF, 0xD5, 0xD5}, {0xFF, 0xE8, 0xFF}, {0xFF, 0xDD, 0xFF}};
  for (int r = 0; r < 6; ++r) EXPECT_EQ(Background(r), expected[r]) << r;
}

TEST_F(ModelFixture, TrackSortsByNumberWhenBothHaveOneElseByText) {
  model.AppendRows({Node("a", "10", 10), Node("b", "9", 9), Node("c", "10/12", 10)});
  model.HeaderClick(colTrack);
  EXPECT_EQ(Column(colTrack), (std::vector<std::string>{"9", "10", "10/12"}));
  model.ClearList();
  model.AppendRows({Node("a", "B"), Node("b", "A")});
  model.SortRows(colTrack, Qt::AscendingOrder);
  EXPECT_EQ(Column(colTrack), (std::vector<std::string>{"A", "B"}));
}

TEST_F(ModelFixture, TitleSortFollowsTheCollationAndASecondClickReversesItStably) {
  // Equal titles carry their first position in the album field.
  std::vector<TMyNodeData> rows;
  const char* titles[] = {"beta", "Alpha", "alpha", "Beta", "beta", "gamma", "Alpha"};
  for (int i = 0; i < 7; ++i) {
    rows.push_back(Node(titles[i]));
    rows.back().Album = std::to_string(i);
  }
  model.AppendRows(rows);
  QCollator collator{QLocale()};
  collator.setCaseSensitivity(Qt::CaseSensitive);
  auto check = [&](bool descending) {
    for (int r = 0; r + 1 < model.rowCount(); ++r) {
      int c = collator.compare(Cell(r, colTitle), Cell(r + 1, colTitle));
      if (descending) c = -c;
      EXPECT_LE(c, 0) << "row " << r;
      if (c == 0) {
        EXPECT_LT(Cell(r, colAlbum).toInt(), Cell(r + 1, colAlbum).toInt()) << "tie order at row " << r;
      }
    }
  };
  model.HeaderClick(colTitle);
  EXPECT_EQ(model.SortOrder(), Qt::AscendingOrder);
  check(false);
  // Letter case decides between equal words: the order is case-sensitive.
  EXPECT_NE(collator.compare(QStringLiteral("Alpha"), QStringLiteral("alpha")), 0);
  model.HeaderClick(colTitle);
  EXPECT_EQ(model.SortOrder(), Qt::DescendingOrder);
  check(true);
  EXPECT_EQ(Cell(0, colTitle), "gamma");
  // Another column starts ascending again.
  model.HeaderClick(colAlbum);
  EXPECT_EQ(model.SortOrder(), Qt::AscendingOrder);
  EXPECT_EQ(Column(colAlbum), (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6"}));
}

TEST_F(ModelFixture, NumberAndFlagColumnsAndTheFileTypeColumnThatKeepsTheOrder) {
  std::vector<TMyNodeData> rows = {Node("a"), Node("b"), Node("c")};
  rows[0].BitRate = 320;
  rows[1].BitRate = 64;
  rows[2].BitRate = 128;
  rows[0].HasLyrics = true;
  rows[0].FileType = atOGG;
  rows[1].FileType = atMP3v2;
  rows[2].FileType = atFLAC;
  model.AppendRows(rows);
  model.HeaderClick(colFileType);
  EXPECT_EQ(Column(colTitle), (std::vector<std::string>{"a", "b", "c"}));
  model.HeaderClick(colFileType);
  EXPECT_EQ(Column(colTitle), (std::vector<std::string>{"a", "b", "c"}));
  model.HeaderClick(colBitrate);
  EXPECT_EQ(Column(colBitrate), (std::vector<std::string>{"64", "128", "320"}));
  model.HeaderClick(colLyrics);
  EXPECT_EQ(Column(colTitle).back(), "a");  // with lyrics after without
  for (int column = 0; column < kColumnCount; ++column) model.SortRows(column, Qt::DescendingOrder);
  EXPECT_EQ(model.rowCount(), 3);
}

TEST_F(ModelFixture, DeleteRowsAndClear) {
  model.AppendRows({Node("a"), Node("b"), Node("c"), Node("d"), Node("e")});
  model.DeleteRows({});
  EXPECT_EQ(model.rowCount(), 5);
  model.DeleteRows({3, 1, 4, 1});
  EXPECT_EQ(Column(colTitle), (std::vector<std::string>{"a", "c"}));
  model.DeleteRows({0, 1});
  EXPECT_EQ(model.rowCount(), 0);
  model.AppendRows({Node("a"), Node("b")});
  model.ClearList();
  EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(ModelFixture, HintLines) {
  TMyNodeData row = Node("Intro", "7", 7);
  row.FileName = "intro.mp3";
  row.Artist = "Artist";
  row.Album = "Album";
  row.DurationText = "01:05";
  row.FileSizeKB = 1234;
  row.BitRate = 128;
  row.SampleRate = 44100;
  row.Comment = "a comment";
  EXPECT_EQ(TTracklistModel::RowHint(row),
            "intro.mp3\rArtist: Artist\rAlbum: Album\rTitle: 7 - Intro\rTime/Size: 01:05 sec / 1.234 Kb\r"
            "Bitrate/Hz: 128 / 44100");
  row.TrackText.clear();
  EXPECT_NE(TTracklistModel::RowHint(row).find("\rTitle: Intro\r"), std::string::npos);
  model.AppendRows({row});
  EXPECT_EQ(Cell(0, colFileSize), "1234");
  EXPECT_EQ(model.data(model.index(0, colComment), Qt::ToolTipRole).toString(), "a comment");
  EXPECT_TRUE(model.data(model.index(0, colTitle), Qt::ToolTipRole).toString().contains("\nTitle: Intro\n"));
  EXPECT_EQ(model.data(model.index(0, colLyrics), Qt::ToolTipRole).toString(), "No Lyrics.");
}

TEST_F(ModelFixture, LyricsHintReadsTheFileAtThatMoment) {
  test::TempDir dir;
  std::string path = dir.File("song.ogg");
  fs::copy_file(test::Fixture("ogg/tagged_stereo.ogg"), path);
  ASSERT_TRUE(model.AddFile(path));
  TAudioFile reference;
  reference.FileName = path;
  reference.LoadFile();
  ASSERT_FALSE(reference.Tags.Lyrics.empty());
  EXPECT_EQ(model.data(model.index(0, colLyrics), Qt::ToolTipRole).toString().toStdString(), reference.Tags.Lyrics);
  // The file is replaced by one without lyrics: the hint follows the file.
  fs::copy_file(test::Fixture("ogg/no_comments.ogg"), path, fs::copy_options::overwrite_existing);
  EXPECT_EQ(model.data(model.index(0, colLyrics), Qt::ToolTipRole).toString(), "No Lyrics.");
}

TEST(Tracklist, StatusText) { EXPECT_EQ(StatusText(12, 3), "Total: 12 Selected: 3"); }

TEST(Tracklist, ExpandPathsWalksFoldersInNameOrder) {
  test::TempDir dir;
  fs::create_directories(dir.Path() / "b-sub");
  dir.Write("c.mp3", "x");
  dir.Write("a.mp3", "x");
  dir.Write("b-sub/z.ogg", "x");
  dir.Write("b-sub/y.ogg", "x");
  std::vector<std::string> files =
      ExpandPaths({QString::fromStdString(dir.File("single.flac")), QString::fromStdString(dir.Path().string())});
  EXPECT_EQ(files, (std::vector<std::string>{dir.File("single.flac"), dir.File("a.mp3"), dir.File("b-sub/y.ogg"),
                                             dir.File("b-sub/z.ogg"), dir.File("c.mp3")}));
}

}  // namespace
