#pragma once

// TTracklistModel: the rows of the tracklist and everything done to them
// (adding, refilling, deleting, sorting) with no widget in sight. Each row is
// a TMyNodeData copy of one file's values; the model turns those into cell
// texts, icons, row colours and hints. Files are loaded through the window's
// one TAudioFile, on the calling (user-interface) thread.

#include <QAbstractTableModel>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "app/node_data.h"

class TAudioFile;

// The list's columns by their fixed index; layout file and sorting use it.
enum TListColumn : int {
  colFileName,
  colTitle,
  colAlbum,
  colArtist,
  colYear,
  colGenre,
  colTrack,
  colComment,
  colBitrate,
  colSamplerate,
  colFileSize,
  colTime,
  colVersion,
  colChannels,
  colFullPath,
  colFileType,
  colEncoder,
  colLyrics,
  colImage,
  kColumnCount
};

// A column as the list starts out: header text, display position, width in
// pixels, shown or hidden.
struct TColumnSpec {
  const char* Text;
  int Position;
  int Width;
  bool Visible;
};
const TColumnSpec& BuiltInColumn(int column);

// Progress of a long add or refresh: done of total. Giving false stops the
// run after the current file.
using TProgressFn = std::function<bool(int done, int total)>;

class TTracklistModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TTracklistModel(TAudioFile& audio, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                     int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  const TMyNodeData& Row(int row) const { return FRows[static_cast<size_t>(row)]; }
  const std::vector<TMyNodeData>& Rows() const { return FRows; }

  // Loads one file and appends a row when its stream values could be read.
  // Unknown, missing and unreadable files are skipped silently.
  bool AddFile(const std::string& path);
  // AddFile for every path, in order, inserting the new rows in batches.
  // Gives the number of paths handled (fewer than given when cancelled).
  int AddFiles(const std::vector<std::string>& paths, const TProgressFn& progress = nullptr);
  // Appends ready rows in one insertion (AddFiles does it batch by batch).
  void AppendRows(std::vector<TMyNodeData> rows);
  // Loads every row's file again and refills the row, also when the file
  // is gone (the row then shows empty values). Order stays. A load that
  // fails with an error ends the refresh at that row and passes the error on.
  int RefreshAll(const TProgressFn& progress = nullptr);
  // Removes the given rows (any order, duplicates allowed).
  void DeleteRows(std::vector<int> rows);
  void ClearList();

  // The header click: another column sorts ascending, the same column again
  // flips the direction. Stable in both directions.
  void HeaderClick(int column);
  void SortRows(int column, Qt::SortOrder order);
  int SortColumn() const { return FSortColumn; }
  Qt::SortOrder SortOrder() const { return FSortOrder; }
  // Negative when a comes before b in ascending order by the column.
  int CompareNodes(const TMyNodeData& a, const TMyNodeData& b, int column) const;

  // Cell texts and hints, as the view shows them.
  QString CellText(const TMyNodeData& row, int column) const;
  // The six-line hint of a row, lines joined by a single CR.
  static std::string RowHint(const TMyNodeData& row);
  // The lyrics hint, read from the file now: its lyrics or "No Lyrics.".
  std::string LyricsHint(const TMyNodeData& row) const;

  // Per-column values the layout file keeps beside what the header holds.
  int ColumnImageIndex(int column) const { return FColumns[static_cast<size_t>(column)].ImageIndex; }
  int32_t ColumnColor(int column) const { return FColumns[static_cast<size_t>(column)].Color; }
  void SetColumnImageIndex(int column, int index) { FColumns[static_cast<size_t>(column)].ImageIndex = index; }
  void SetColumnColor(int column, int32_t color) { FColumns[static_cast<size_t>(column)].Color = color; }

 private:
  struct TColumnState {
    QString Text;
    int ImageIndex = -1;
    int32_t Color = 0;
  };
  // Loads path into the window's TAudioFile; errors of the load are the caller's.
  void Load(const std::string& path) const;

  TAudioFile& FAudio;
  std::vector<TMyNodeData> FRows;
  std::vector<TColumnState> FColumns;
  int FSortColumn = -1;
  Qt::SortOrder FSortOrder = Qt::AscendingOrder;
};

// "Total: N Selected: M".
QString StatusText(int total, int selected);

// Every music file candidate under the given paths: files as they are,
// folders expanded recursively into their files, in name order.
std::vector<std::string> ExpandPaths(const QStringList& paths);
