#include "app/tracklist_model.h"

#include <QCollator>
#include <QColor>
#include <QIcon>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <numeric>
#include <utility>

#include "app/icon_provider.h"
#include "app/vt_header.h"
#include "audiofile/audio_file.h"
#include "toolkit/program_info.h"
#include "toolkit/str_tools.h"

namespace {

const TColumnSpec kColumns[kColumnCount] = {
    {"File Name", 0, 160, true},  {"Title", 1, 120, true},     {"Album", 2, 90, true},
    {"Artist", 3, 90, true},      {"Year", 4, 50, true},       {"Genre", 5, 50, true},
    {"Track", 6, 40, true},       {"Comment", 7, 50, false},   {"Bitrate", 8, 40, true},
    {"Samplerate", 9, 50, false}, {"File size", 10, 40, false}, {"Time", 11, 40, false},
    {"Version", 14, 30, false},   {"Channels", 15, 50, false}, {"Full path", 12, 50, false},
    {"File Type", 13, 50, false}, {"Encoder", 16, 50, false},  {"Lyrics", 17, 50, true},
    {"Image", 18, 50, true},
};

// New rows reach the view in batches of this many, so that a long add
// shows its rows as it goes without one insertion per row.
constexpr size_t kInsertBatch = 500;

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Row background by row number (0 first) and flags; the later rule wins.
QColor RowBackground(int row, const TMyNodeData& node) {
  bool even = row % 2 == 0;
  if (!node.StreamValid) return even ? QColor(0xFF, 0xE8, 0xFF) : QColor(0xFF, 0xDD, 0xFF);
  if (!node.HasTag) return even ? QColor(0xFF, 0xE1, 0xE1) : QColor(0xFF, 0xD5, 0xD5);
  return even ? QColor(0xFF, 0xFF, 0xFF) : QColor(0xF8, 0xF8, 0xF8);
}

// The text a column sorts by, or null for columns with number keys.
const std::string* TextKey(const TMyNodeData& n, int column) {
  switch (column) {
    case colFileName: return &n.FileName;
    case colTitle: return &n.Title;
    case colAlbum: return &n.Album;
    case colArtist: return &n.Artist;
    case colYear: return &n.Year;
    case colGenre: return &n.Genre;
    case colTrack: return &n.TrackText;
    case colComment: return &n.Comment;
    case colVersion: return &n.TagVersion;
    case colChannels: return &n.ChannelMode;
    case colFullPath: return &n.FullPath;
    case colEncoder: return &n.Encoder;
    default: return nullptr;
  }
}

// The number a column sorts by; File Type has no key, so every pair is equal.
int64_t NumberKey(const TMyNodeData& n, int column) {
  switch (column) {
    case colBitrate: return n.BitRate;
    case colSamplerate: return n.SampleRate;
    case colFileSize: return n.FileSizeKB;
    case colTime: return n.Duration;
    case colLyrics: return n.HasLyrics ? 1 : 0;
    case colImage: return n.HasPicture ? 1 : 0;
    default: return 0;
  }
}

int Sign(int64_t v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// Texts compare by the locale's case-sensitive collation.
QCollator TextCollator() {
  QCollator collator{QLocale()};
  collator.setCaseSensitivity(Qt::CaseSensitive);
  return collator;
}

}  // namespace

const TColumnSpec& BuiltInColumn(int column) { return kColumns[column]; }

QString StatusText(int total, int selected) {
  return QStringLiteral("Total: %1 Selected: %2").arg(total).arg(selected);
}

TTracklistModel::TTracklistModel(TAudioFile& audio, QObject* parent)
    : QAbstractTableModel(parent), FAudio(audio), FColumns(kColumnCount) {
  for (int c = 0; c < kColumnCount; ++c) {
    FColumns[static_cast<size_t>(c)].Text = QString::fromLatin1(kColumns[c].Text);
    FColumns[static_cast<size_t>(c)].Color = kWindowColor;
  }
}

int TTracklistModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(FRows.size());
}

int TTracklistModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

Qt::ItemFlags TTracklistModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QVariant TTracklistModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
  if (role == Qt::DisplayRole) return FColumns[static_cast<size_t>(section)].Text;
  return {};
}

bool TTracklistModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount || role != Qt::EditRole)
    return false;
  FColumns[static_cast<size_t>(section)].Text = value.toString();
  emit headerDataChanged(orientation, section, section);
  return true;
}

QString TTracklistModel::CellText(const TMyNodeData& row, int column) const {
  switch (column) {
    case colBitrate: return QString::number(row.BitRate);
    case colSamplerate: return QString::number(row.SampleRate);
    case colFileSize: return QString::number(row.FileSizeKB);
    case colTime: return Q(row.DurationText);
    case colFileType: {
      // MPEG files name their layer by the extension: MP3, MP2, MP1.
      if (row.FileType == atMP3v1 || row.FileType == atMP3v2) {
        QString name = Q(row.FileName);
        int dot = name.lastIndexOf(u'.');
        return dot < 0 ? QStringLiteral("MP3") : name.mid(dot + 1).toUpper();
      }
      return QString::fromLatin1(FileTypeName(row.FileType));
    }
    case colLyrics:
    case colImage: return {};
    default: {
      const std::string* text = TextKey(row, column);
      return text != nullptr ? Q(*text) : QString();
    }
  }
}

std::string TTracklistModel::RowHint(const TMyNodeData& row) {
  TStrTools tools;
  std::string title = row.TrackText.empty() ? row.Title : row.TrackText + " - " + row.Title;
  return row.FileName + "\r" +                                                        //
         "Artist: " + row.Artist + "\r" +                                            //
         "Album: " + row.Album + "\r" +                                              //
         "Title: " + title + "\r" +                                                  //
         "Time/Size: " + row.DurationText + " sec / " + tools.FormatThousands(row.FileSizeKB, ".") +
         " Kb\r" +  //
         "Bitrate/Hz: " + std::to_string(row.BitRate) + " / " + std::to_string(row.SampleRate);
}

std::string TTracklistModel::LyricsHint(const TMyNodeData& row) const {
  static const std::string kNoLyrics = "No Lyrics.";
  if (!row.HasLyrics) return kNoLyrics;
  try {
    Load(row.FullPath);
  } catch (const std::exception& error) {
    NotifyUser(error.what());
    return kNoLyrics;
  }
  return FAudio.Tags.HasLyrics ? FAudio.Tags.Lyrics : kNoLyrics;
}

QVariant TTracklistModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  const TMyNodeData& row = Row(index.row());
  int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      return CellText(row, column);
    case Qt::DecorationRole:
      if (column == colFileName) return TIconProvider::ListIcon(row.ImageIndex);
      if (column == colLyrics && row.HasLyrics) return TIconProvider::ListIcon(riLyrics);
      if (column == colImage && row.HasPicture) return TIconProvider::ListIcon(riPicture);
      return {};
    case Qt::BackgroundRole:
      return RowBackground(index.row(), row);
    case Qt::ToolTipRole: {
      if (column == colComment) return Q(row.Comment);
      // The hint's lines are CR-separated; tool tips here break lines at LF.
      std::string hint = column == colLyrics ? LyricsHint(row) : RowHint(row);
      return Q(hint).replace(u'\r', u'\n');
    }
    default:
      return {};
  }
}

void TTracklistModel::Load(const std::string& path) const {
  FAudio.FileName = path;
  FAudio.LoadFile();
}

void TTracklistModel::AppendRows(std::vector<TMyNodeData> rows) {
  if (rows.empty()) return;
  int first = rowCount();
  beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
  FRows.insert(FRows.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
  endInsertRows();
}

bool TTracklistModel::AddFile(const std::string& path) {
  int before = rowCount();
  AddFiles({path});
  return rowCount() > before;
}

int TTracklistModel::AddFiles(const std::vector<std::string>& paths, const TProgressFn& progress) {
  std::vector<TMyNodeData> pending;
  int total = static_cast<int>(paths.size());
  int done = 0;
  for (const std::string& path : paths) {
    // An error part-way through a load is ignored: the file is taken when
    // its stream values had been read before it.
    try {
      Load(path);
    } catch (const std::exception&) {
    }
    if (FAudio.Stream.Valid) {
      pending.emplace_back();
      FillNode(pending.back(), FAudio);
    }
    ++done;
    if (pending.size() >= kInsertBatch) AppendRows(std::exchange(pending, {}));
    if (progress && !progress(done, total)) break;
  }
  AppendRows(std::move(pending));
  return done;
}

int TTracklistModel::RefreshAll(const TProgressFn& progress) {
  int total = rowCount();
  int done = 0;
  // Rows refilled so far are repainted also when a load error ends the run.
  auto repaint = [&] {
    if (done > 0) emit dataChanged(index(0, 0), index(done - 1, kColumnCount - 1));
  };
  try {
    for (TMyNodeData& row : FRows) {
      Load(row.FullPath);
      FillNode(row, FAudio);
      ++done;
      if (progress && !progress(done, total)) break;
    }
  } catch (...) {
    repaint();
    throw;
  }
  repaint();
  return done;
}

void TTracklistModel::DeleteRows(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end(), std::greater<>());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  // From the last row to the first, one removal per run of adjacent rows.
  size_t i = 0;
  while (i < rows.size()) {
    int last = rows[i];
    int first = last;
    while (i + 1 < rows.size() && rows[i + 1] == first - 1) first = rows[++i];
    ++i;
    if (first < 0 || last >= rowCount()) continue;
    beginRemoveRows(QModelIndex(), first, last);
    FRows.erase(FRows.begin() + first, FRows.begin() + last + 1);
    endRemoveRows();
  }
}

void TTracklistModel::ClearList() {
  beginResetModel();
  FRows.clear();
  endResetModel();
}

int TTracklistModel::CompareNodes(const TMyNodeData& a, const TMyNodeData& b, int column) const {
  if (column == colTrack && a.TrackNumber != 0 && b.TrackNumber != 0)
    return Sign(int64_t{a.TrackNumber} - b.TrackNumber);
  const std::string* textA = TextKey(a, column);
  if (textA != nullptr) return TextCollator().compare(Q(*textA), Q(*TextKey(b, column)));
  return Sign(NumberKey(a, column) - NumberKey(b, column));
}

void TTracklistModel::HeaderClick(int column) {
  if (column < 0 || column >= kColumnCount) return;
  if (column == FSortColumn)
    SortRows(column, FSortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
  else
    SortRows(column, Qt::AscendingOrder);
}

void TTracklistModel::SortRows(int column, Qt::SortOrder order) {
  FSortColumn = column;
  FSortOrder = order;
  size_t n = FRows.size();

  // Collation keys are made once per row for this sort, so the comparisons
  // are plain byte compares instead of a locale compare each.
  std::vector<QCollatorSortKey> keys;
  bool textColumn = TextKey(TMyNodeData{}, column) != nullptr;
  if (textColumn) {
    QCollator collator = TextCollator();
    keys.reserve(n);
    for (const TMyNodeData& row : FRows) keys.push_back(collator.sortKey(Q(*TextKey(row, column))));
  }
  auto compare = [&](size_t a, size_t b) -> int {
    const TMyNodeData& ra = FRows[a];
    const TMyNodeData& rb = FRows[b];
    if (column == colTrack && ra.TrackNumber != 0 && rb.TrackNumber != 0)
      return Sign(int64_t{ra.TrackNumber} - rb.TrackNumber);
    if (textColumn) return keys[a].compare(keys[b]);
    return Sign(NumberKey(ra, column) - NumberKey(rb, column));
  };
  // Descending reverses the comparison, not the list, so equal rows keep
  // their order in both directions.
  bool descending = order == Qt::DescendingOrder;
  std::vector<size_t> sequence(n);
  std::iota(sequence.begin(), sequence.end(), size_t{0});
  std::stable_sort(sequence.begin(), sequence.end(), [&](size_t a, size_t b) {
    int c = compare(a, b);
    return descending ? c > 0 : c < 0;
  });

  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> newRowOf(n);
  std::vector<TMyNodeData> sorted;
  sorted.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    newRowOf[sequence[i]] = static_cast<int>(i);
    sorted.push_back(std::move(FRows[sequence[i]]));
  }
  FRows = std::move(sorted);
  // Selection and focus follow their rows.
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& index : before)
    after.push_back(this->index(newRowOf[static_cast<size_t>(index.row())], index.column()));
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

std::vector<std::string> ExpandPaths(const QStringList& paths) {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  for (const QString& item : paths) {
    fs::path path(item.toStdString());
    std::error_code ec;
    if (!fs::is_directory(path, ec)) {
      files.push_back(path.string());
      continue;
    }
    std::vector<fs::path> found;
    for (fs::recursive_directory_iterator it(path, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec)) {
      if (it->is_regular_file(ec)) found.push_back(it->path());
    }
    // Path comparison goes element by element: a folder's files in name
    // order, each subfolder's files where the subfolder's name falls.
    std::sort(found.begin(), found.end());
    for (const fs::path& file : found) files.push_back(file.string());
  }
  return files;
}
