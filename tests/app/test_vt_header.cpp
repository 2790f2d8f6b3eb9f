#include <gtest/gtest.h>

#include <vector>

#include "app/vt_header.h"
#include "support/test_support.h"
#include "toolkit/program_info.h"

namespace {

struct Column {
  std::string text;
  int position = 0, width = 0, image = -1;
  int32_t color = kWindowColor;
  bool visible = true;
  bool operator==(const Column&) const = default;
};

// A list reduced to its columns, to look at the file format alone.
struct PlainList : TColumnLayoutTarget {
  std::vector<Column> columns;
  int ColumnCount() const override { return static_cast<int>(columns.size()); }
  std::string ColumnText(int c) const override { return columns[c].text; }
  int ColumnPosition(int c) const override { return columns[c].position; }
  int ColumnWidth(int c) const override { return columns[c].width; }
  int ColumnImageIndex(int c) const override { return columns[c].image; }
  int32_t ColumnColor(int c) const override { return columns[c].color; }
  bool ColumnVisible(int c) const override { return columns[c].visible; }
  void SetColumnText(int c, const std::string& v) override { columns[c].text = v; }
  void SetColumnPosition(int c, int v) override { columns[c].position = v; }
  void SetColumnWidth(int c, int v) override { columns[c].width = v; }
  void SetColumnImageIndex(int c, int v) override { columns[c].image = v; }
  void SetColumnColor(int c, int32_t v) override { columns[c].color = v; }
  void SetColumnVisible(int c, bool v) override { columns[c].visible = v; }
};

PlainList TwoColumns() {
  PlainList list;
  list.columns = {{"File Name", 1, 160, -1, kWindowColor, true}, {"Title", 0, 120, 3, 255, false}};
  return list;
}

TEST(ColumnLayoutFile, WritesTheExactFormatAndReadsItBack) {
  test::TempDir dir;
  std::string path = dir.File("list_main.hdr");
  PlainList list = TwoColumns();
  ASSERT_TRUE(SaveColumnLayout(path, list));
  EXPECT_EQ(test::ReadAll(path),
            "HEADER-V-001\r\n"
            "File Name\r\n1\r\n160\r\n-1\r\n-2147483643\r\n1\r\n"
            "Title\r\n0\r\n120\r\n3\r\n255\r\n0\r\n");
  PlainList restored;
  restored.columns.resize(2);
  EXPECT_TRUE(LoadColumnLayout(path, restored));
  EXPECT_EQ(restored.columns, list.columns);  // the negative window colour too
}

TEST(ColumnLayoutFile, ValuesThatAreNoNumbersTakeTheirDefaults) {
  test::TempDir dir;
  // LF and CR line ends are read as well as CR LF; blanks and control
  // characters around a header text go.
  std::string path = dir.Write("x.hdr",
                               "HEADER-V-001\n  Renamed \t\n"
                               "left\r12x\r\r-7 \n1 \n");
  PlainList list = TwoColumns();
  EXPECT_TRUE(LoadColumnLayout(path, list));
  const Column& c = list.columns[0];
  EXPECT_EQ(c.text, "Renamed");
  EXPECT_EQ(c.position, 2);
  EXPECT_EQ(c.width, 80);
  EXPECT_EQ(c.image, -1);
  EXPECT_EQ(c.color, 16514043);
  EXPECT_FALSE(c.visible);  // "1 " is not "1"
  EXPECT_EQ(list.columns[1], TwoColumns().columns[1]);
}

TEST(ColumnLayoutFile, WrongMagicMissingAndEmptyFilesChangeNothing) {
  test::TempDir dir;
  PlainList list = TwoColumns();
  std::string body = "\r\nX\r\n5\r\n500\r\n1\r\n1\r\n0\r\n";
  EXPECT_TRUE(LoadColumnLayout(dir.Write("lower.hdr", "header-v-001" + body), list));
  EXPECT_TRUE(LoadColumnLayout(dir.Write("blank.hdr", " HEADER-V-001" + body), list));
  EXPECT_FALSE(LoadColumnLayout(dir.File("missing.hdr"), list));
  EXPECT_FALSE(LoadColumnLayout(dir.Write("empty.hdr", ""), list));
  EXPECT_EQ(list.columns, TwoColumns().columns);
}

TEST(ColumnLayoutFile, AShortFileRestoresWhatItCoversAndALongOneIsCut) {
  test::TempDir dir;
  // The second column's lines stop after its width.
  std::string path = dir.Write("short.hdr", "HEADER-V-001\r\nA\r\n0\r\n99\r\n-1\r\n7\r\n1\r\nB\r\n1\r\n55\r\n");
  PlainList list = TwoColumns();
  EXPECT_TRUE(LoadColumnLayout(path, list));
  EXPECT_EQ(list.columns[0], (Column{"A", 0, 99, -1, 7, true}));
  EXPECT_EQ(list.columns[1], (Column{"B", 1, 55, 3, 255, false}));

  // Written with two columns, read by a list of one.
  PlainList wide = TwoColumns();
  ASSERT_TRUE(SaveColumnLayout(dir.File("wide.hdr"), wide));
  PlainList narrow;
  narrow.columns.resize(1);
  EXPECT_TRUE(LoadColumnLayout(dir.File("wide.hdr"), narrow));
  EXPECT_EQ(narrow.columns[0], wide.columns[0]);
}

TEST(ColumnLayoutFile, AWriteThatCannotHappenGivesFalse) {
  test::TempDir dir;
  PlainList list = TwoColumns();
  EXPECT_FALSE(SaveColumnLayout(dir.File("no-such-folder/list_main.hdr"), list));
}

TEST(ColumnLayoutFile, NamedAfterTheControlBesideTheProgram) {
  EXPECT_EQ(LayoutFileName("LIST_Main"), WritableFolder() + "list_main.hdr");
}

}  // namespace
