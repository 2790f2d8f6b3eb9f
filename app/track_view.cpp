#include "app/track_view.h"

#include <QHeaderView>
#include <QMenu>
#include <algorithm>

#include "app/tracklist_model.h"

namespace {
constexpr int kMinColumnWidth = 10;
constexpr int kMaxColumnWidth = 10000;
}  // namespace

TTrackView::TTrackView(TTracklistModel* model, QWidget* parent) : QTreeView(parent), FModel(model), FWidths(kColumnCount, 0) {
  setObjectName(QStringLiteral("LIST_Main"));
  setModel(model);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);  // keeps 100 000 rows cheap to lay out and scroll
  setAllColumnsShowFocus(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setDragEnabled(false);
  setAcceptDrops(false);
  setContextMenuPolicy(Qt::ActionsContextMenu);

  QHeaderView* head = header();
  head->setSectionsMovable(true);
  head->setSectionsClickable(true);
  head->setFirstSectionMovable(true);
  head->setStretchLastSection(false);
  head->setMinimumSectionSize(kMinColumnWidth);
  head->setMaximumSectionSize(kMaxColumnWidth);
  head->setSortIndicatorShown(false);
  head->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(head, &QHeaderView::customContextMenuRequested, this, &TTrackView::ShowColumnMenu);
  connect(head, &QHeaderView::sectionClicked, this, [this](int column) {
    FModel->HeaderClick(column);
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, FModel->SortOrder());
  });
  connect(head, &QHeaderView::sectionResized, this, [this](int column, int, int width) {
    if (width > 0) FWidths[static_cast<size_t>(column)] = width;
  });
  ApplyBuiltInColumns();
}

void TTrackView::ApplyBuiltInColumns() {
  for (int c = 0; c < kColumnCount; ++c) {
    SetColumnWidth(c, BuiltInColumn(c).Width);
    setColumnHidden(c, !BuiltInColumn(c).Visible);
  }
  for (int c = 0; c < kColumnCount; ++c) SetColumnPosition(c, BuiltInColumn(c).Position);
}

std::vector<int> TTrackView::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

int TTrackView::SelectedCount() const { return static_cast<int>(selectionModel()->selectedRows().size()); }

void TTrackView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTreeView::currentChanged(current, previous);
  if (current.row() != previous.row() || !previous.isValid()) emit FocusChanged(current.isValid() ? current.row() : -1);
}

void TTrackView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
  QTreeView::selectionChanged(selected, deselected);
  emit SelectionChanged();
}

void TTrackView::BuildColumnMenu(QMenu& menu) {
  menu.clear();
  for (int c = 0; c < kColumnCount; ++c) {
    QAction* entry = menu.addAction(FModel->headerData(c, Qt::Horizontal).toString());
    entry->setCheckable(true);
    entry->setChecked(!isColumnHidden(c));
    connect(entry, &QAction::triggered, this, [this, c] { ToggleColumn(c); });
  }
}

void TTrackView::ShowColumnMenu(const QPoint& pos) {
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("PM_COLUMNS"));
  BuildColumnMenu(menu);
  menu.exec(header()->mapToGlobal(pos));
}

void TTrackView::ToggleColumn(int column) { setColumnHidden(column, !isColumnHidden(column)); }

int TTrackView::ColumnCount() const { return kColumnCount; }

std::string TTrackView::ColumnText(int column) const {
  return FModel->headerData(column, Qt::Horizontal).toString().toStdString();
}

int TTrackView::ColumnPosition(int column) const { return header()->visualIndex(column); }

// A hidden section reports width 0, so the width it had (or will have when
// shown) is mirrored here.
int TTrackView::ColumnWidth(int column) const {
  return isColumnHidden(column) ? FWidths[static_cast<size_t>(column)] : columnWidth(column);
}

int TTrackView::ColumnImageIndex(int column) const { return FModel->ColumnImageIndex(column); }

int32_t TTrackView::ColumnColor(int column) const { return FModel->ColumnColor(column); }

bool TTrackView::ColumnVisible(int column) const { return !isColumnHidden(column); }

void TTrackView::SetColumnText(int column, const std::string& text) {
  FModel->setHeaderData(column, Qt::Horizontal, QString::fromStdString(text));
}

void TTrackView::SetColumnPosition(int column, int position) {
  position = std::clamp(position, 0, kColumnCount - 1);
  header()->moveSection(header()->visualIndex(column), position);
}

void TTrackView::SetColumnWidth(int column, int width) {
  width = std::clamp(width, kMinColumnWidth, kMaxColumnWidth);
  FWidths[static_cast<size_t>(column)] = width;
  setColumnWidth(column, width);
}

void TTrackView::SetColumnImageIndex(int column, int index) { FModel->SetColumnImageIndex(column, index); }

void TTrackView::SetColumnColor(int column, int32_t color) { FModel->SetColumnColor(column, color); }

void TTrackView::SetColumnVisible(int column, bool visible) { setColumnHidden(column, !visible); }
