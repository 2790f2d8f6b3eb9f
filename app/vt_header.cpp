#include "app/vt_header.h"

#include <vector>

#include "toolkit/file_io.h"
#include "toolkit/program_info.h"
#include "toolkit/str_tools.h"
#include "toolkit/text_codec.h"

namespace {

// Values used when a line is not a whole number.
constexpr int kDefaultPosition = 2;
constexpr int kDefaultWidth = 80;
constexpr int kDefaultImageIndex = -1;
constexpr int32_t kDefaultColor = 16514043;  // #FBFAFB

// Lines ended by CR LF, LF or CR.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(std::move(line));
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line.push_back(c);
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

// A layout file is a few kilobytes; anything far larger is not one.
constexpr int64_t kMaxLayoutFileSize = 1 << 20;

bool ReadLayoutText(const std::string& path, std::string& text) {
  TFile file(path);
  if (!file.IsOpen() || file.Size() > kMaxLayoutFileSize) return false;
  return file.ReadAt(0, static_cast<size_t>(file.Size()), text);
}

// A line that is not a whole number (leading blanks and a sign allowed, as
// ParseDecimal reads it) gives the value's default.
int32_t IntegerOr(const std::string& line, int32_t fallback) {
  size_t i = line.find_first_not_of(' ');
  if (i != std::string::npos && (line[i] == '-' || line[i] == '+')) ++i;
  if (i == std::string::npos || i >= line.size()) return fallback;
  for (; i < line.size(); ++i)
    if (line[i] < '0' || line[i] > '9') return fallback;
  return ParseDecimal(line);
}

}  // namespace

std::string LayoutFileName(const std::string& controlName) {
  return WritableFolder() + TCase().LowerCaseText(controlName) + ".hdr";
}

bool LoadColumnLayout(const std::string& path, TColumnLayoutTarget& list) {
  std::string text;
  if (!ReadLayoutText(path, text)) return false;
  std::vector<std::string> lines = SplitLines(text);
  if (lines.empty()) return false;
  if (lines[0] != kLayoutMagic) return true;

  size_t next = 1;
  auto take = [&](std::string& line) {
    if (next >= lines.size()) return false;
    line = lines[next++];
    return true;
  };
  std::string line;
  for (int column = 0; column < list.ColumnCount(); ++column) {
    if (!take(line)) break;
    list.SetColumnText(column, TrimControls(line));
    if (!take(line)) break;
    list.SetColumnPosition(column, IntegerOr(line, kDefaultPosition));
    if (!take(line)) break;
    list.SetColumnWidth(column, IntegerOr(line, kDefaultWidth));
    if (!take(line)) break;
    list.SetColumnImageIndex(column, IntegerOr(line, kDefaultImageIndex));
    if (!take(line)) break;
    list.SetColumnColor(column, IntegerOr(line, kDefaultColor));
    if (!take(line)) break;
    list.SetColumnVisible(column, line == "1");
  }
  return true;
}

bool SaveColumnLayout(const std::string& path, const TColumnLayoutTarget& list) {
  std::string text = std::string(kLayoutMagic) + "\r\n";
  auto add = [&text](const std::string& line) { text += line + "\r\n"; };
  for (int column = 0; column < list.ColumnCount(); ++column) {
    add(list.ColumnText(column));
    add(std::to_string(list.ColumnPosition(column)));
    add(std::to_string(list.ColumnWidth(column)));
    add(std::to_string(list.ColumnImageIndex(column)));
    add(std::to_string(list.ColumnColor(column)));
    add(list.ColumnVisible(column) ? "1" : "0");
  }
  return WriteFileReplacing(path, text);
}
