#pragma once

// TTrackView: the tracklist widget over TTracklistModel. Full-row extended
// selection with a rubber band, the header's sort mark and column menu, and
// the column layout as the layout file reads and writes it.

#include <QTreeView>
#include <vector>

#include "app/vt_header.h"

class QMenu;
class TTracklistModel;

class TTrackView : public QTreeView, public TColumnLayoutTarget {
  Q_OBJECT

 public:
  TTrackView(TTracklistModel* model, QWidget* parent = nullptr);

  TTracklistModel* Model() const { return FModel; }
  // Selected rows from the top of the list to the bottom.
  std::vector<int> SelectedRows() const;
  int SelectedCount() const;
  // Rebuilds the header's column menu: every column by index, checked when shown.
  void BuildColumnMenu(QMenu& menu);
  // Hides a shown column, shows a hidden one.
  void ToggleColumn(int column);

  int ColumnCount() const override;
  std::string ColumnText(int column) const override;
  int ColumnPosition(int column) const override;
  int ColumnWidth(int column) const override;
  int ColumnImageIndex(int column) const override;
  int32_t ColumnColor(int column) const override;
  bool ColumnVisible(int column) const override;
  void SetColumnText(int column, const std::string& text) override;
  void SetColumnPosition(int column, int position) override;
  void SetColumnWidth(int column, int width) override;
  void SetColumnImageIndex(int column, int index) override;
  void SetColumnColor(int column, int32_t color) override;
  void SetColumnVisible(int column, bool visible) override;

 signals:
  // The focused row changed (-1 for none).
  void FocusChanged(int row);
  void SelectionChanged();

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

 private:
  void ApplyBuiltInColumns();
  void ShowColumnMenu(const QPoint& pos);

  TTracklistModel* FModel;
  std::vector<int> FWidths;
};
