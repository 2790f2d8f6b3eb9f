// LoadColumnLayout over a fuzzed layout file, applied to a list of the
// tracklist's 19 columns. What was read must survive a round trip: saved
// and read again, the columns come back the same.
#include <string>
#include <tuple>
#include <vector>

#include "app/vt_header.h"
#include "fuzz/fuzz_input.h"

namespace {

struct TColumn {
  std::string Text = "Column";
  int Position = 0;
  int Width = 100;
  int ImageIndex = -1;
  int32_t Color = kWindowColor;
  bool Visible = true;
  bool operator==(const TColumn&) const = default;
};

class TColumnList : public TColumnLayoutTarget {
 public:
  std::vector<TColumn> Columns = std::vector<TColumn>(19);

  int ColumnCount() const override { return static_cast<int>(Columns.size()); }
  std::string ColumnText(int c) const override { return Columns[static_cast<size_t>(c)].Text; }
  int ColumnPosition(int c) const override { return Columns[static_cast<size_t>(c)].Position; }
  int ColumnWidth(int c) const override { return Columns[static_cast<size_t>(c)].Width; }
  int ColumnImageIndex(int c) const override { return Columns[static_cast<size_t>(c)].ImageIndex; }
  int32_t ColumnColor(int c) const override { return Columns[static_cast<size_t>(c)].Color; }
  bool ColumnVisible(int c) const override { return Columns[static_cast<size_t>(c)].Visible; }
  void SetColumnText(int c, const std::string& text) override { Columns[static_cast<size_t>(c)].Text = text; }
  void SetColumnPosition(int c, int position) override { Columns[static_cast<size_t>(c)].Position = position; }
  void SetColumnWidth(int c, int width) override { Columns[static_cast<size_t>(c)].Width = width; }
  void SetColumnImageIndex(int c, int index) override { Columns[static_cast<size_t>(c)].ImageIndex = index; }
  void SetColumnColor(int c, int32_t color) override { Columns[static_cast<size_t>(c)].Color = color; }
  void SetColumnVisible(int c, bool visible) override { Columns[static_cast<size_t>(c)].Visible = visible; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TMemoryInput input;
  static TFolderInput saved("list_main.hdr");
  input.Set(data, size);
  TColumnList read;
  if (LoadColumnLayout(input.Path(), read)) {
    if (!SaveColumnLayout(saved.Path(), read)) FuzzFinding("the layout could not be saved");
    TColumnList again;
    if (!LoadColumnLayout(saved.Path(), again) || again.Columns != read.Columns)
      FuzzFinding("a saved layout reads back different");
  }
  CheckFilesClosed();
  return 0;
}
