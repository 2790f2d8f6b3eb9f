#pragma once

// The column layout file: a list's columns (header text, position, width,
// header icon, colour and visibility) kept between runs as plain text, one
// value per line, which a user may edit. Header texts written there replace
// the built-in ones.
//
//   HEADER-V-001
//   then six lines per column, in index order:
//   text, display position, width, icon index (-1 none), colour (signed
//   32-bit), "1" shown / anything else hidden

#include <cstdint>
#include <string>

// The columns of a list as the layout file sees them.
class TColumnLayoutTarget {
 public:
  virtual ~TColumnLayoutTarget() = default;
  virtual int ColumnCount() const = 0;
  virtual std::string ColumnText(int column) const = 0;
  virtual int ColumnPosition(int column) const = 0;
  virtual int ColumnWidth(int column) const = 0;
  virtual int ColumnImageIndex(int column) const = 0;
  virtual int32_t ColumnColor(int column) const = 0;
  virtual bool ColumnVisible(int column) const = 0;
  virtual void SetColumnText(int column, const std::string& text) = 0;
  virtual void SetColumnPosition(int column, int position) = 0;
  virtual void SetColumnWidth(int column, int width) = 0;
  virtual void SetColumnImageIndex(int column, int index) = 0;
  virtual void SetColumnColor(int column, int32_t color) = 0;
  virtual void SetColumnVisible(int column, bool visible) = 0;
};

inline constexpr const char* kLayoutMagic = "HEADER-V-001";
// The system's window colour, which columns carry unless the file says otherwise.
inline constexpr int32_t kWindowColor = -2147483643;

// The layout file of a list control: its name in lower case with ".hdr", in
// the folder the program writes to.
std::string LayoutFileName(const std::string& controlName);

// Reads the file and applies each value to the list as it is read. A file
// that is too short restores the columns it covers; a wrong first line
// changes nothing. True when the file could be read, also when its first
// line was wrong.
bool LoadColumnLayout(const std::string& path, TColumnLayoutTarget& list);

// Writes the list's layout through a temporary file, so a failed write
// leaves the earlier file in place. False when it could not be written.
bool SaveColumnLayout(const std::string& path, const TColumnLayoutTarget& list);
