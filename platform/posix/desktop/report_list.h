// The report view of a list control: column headers, full-row selection,
// several rows selectable, the selection shown also without the focus,
// columns the person can resize, and a tooltip with the whole text of a
// cell that is not fully in view. The rows live in a model that keeps the
// core's snapshot and converts only the cells that are drawn, so a list of
// a hundred thousand rows is shown, scrolled and selected without delay.
#pragma once

#include "platform/posix/ui/frontend.h"

#include <QAbstractTableModel>
#include <QTreeView>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace desktop {

// The cells' texts one after the other in a single buffer, so that taking
// a list of a hundred thousand rows from a snapshot is one copy of its
// characters, not an allocation for every cell.
class ReportModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  enum class Change { None, RowsRemoved, Rebuilt };
  // Takes the rows' texts (the selection aside), only the cells of the
  // columns there are headers for. Rows that went while the others stayed
  // as they were (the platform's list deletes them one by one) leave the
  // view where it was; any other change builds the rows anew.
  // A revision drawn before (ControlView::rowsRevision) is taken as it was
  // without comparing the texts.
  Change SetRows(const std::vector<ui::frontend::ListRowView>& rows,
                 const std::vector<ui::frontend::ListColumnView>& columns, std::uint64_t revision = 0);
  std::u16string_view Cell(int row, int column) const;
  int Rows() const { return static_cast<int>(bufferRow_.size()); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  bool SameRow(const ui::frontend::ListRowView& row, int shown) const;
  bool RemoveGoneRows(const std::vector<ui::frontend::ListRowView>& rows);
  void Rebuild(const std::vector<ui::frontend::ListRowView>& rows, std::vector<std::u16string> headers);

  std::vector<std::u16string> headers_;
  std::u16string texts_;
  std::vector<std::size_t> starts_;  // of cell (row, column) at row * columns + column, and the end
  std::vector<int> bufferRow_;       // the buffer's row of each row shown
  std::uint64_t revision_ = 0;       // of the rows shown; 0: not known
};

class ReportList : public QTreeView {
 public:
  // `selected` receives the rows the person selected (0-based, top down).
  ReportList(QWidget* parent, std::function<void(std::vector<int>)> selected);

  void Sync(const ui::frontend::ControlView& view);
  ReportModel& Model() { return model_; }
  // The rows selected now, top down.
  std::vector<int> SelectedRows() const;

 protected:
  bool viewportEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ApplyWidths(const ui::frontend::ControlView& view);
  int ContentWidth(int column) const;
  void ShowSelection(const std::vector<ui::frontend::ListRowView>& rows);

  ReportModel model_;
  std::function<void(std::vector<int>)> selected_;
  std::vector<int> appliedWidths_;  // as the program last set them
  bool syncing_ = false;
  std::vector<char> shown_;  // per row: selected as shown
  bool shownKnown_ = false;  // false once the person (or a reset) changed the selection
};

}  // namespace desktop
