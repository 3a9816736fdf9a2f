#include "platform/posix/desktop/report_list.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelection>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

namespace desktop {
namespace {

// The space the platform's list leaves around a cell's text.
constexpr int kCellPadding = 12;

std::u16string_view CellOf(const ui::frontend::ListRowView& row, std::size_t column) {
  return column < row.cells.size() ? std::u16string_view(row.cells[column]) : std::u16string_view();
}

QString ToQString(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

// Rows as tall as the platform's list makes them: the text with two
// pixels more above and below than Qt's own rows leave.
class RowHeight : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    return QSize(size.width(), std::max(size.height(), option.fontMetrics.height() + 4));
  }
};

}  // namespace

bool ReportModel::SameRow(const ui::frontend::ListRowView& row, int shown) const {
  for (std::size_t c = 0; c < headers_.size(); ++c)
    if (CellOf(row, c) != Cell(shown, static_cast<int>(c))) return false;
  return true;
}

ReportModel::Change ReportModel::SetRows(const std::vector<ui::frontend::ListRowView>& rows,
                                         const std::vector<ui::frontend::ListColumnView>& columns,
                                         std::uint64_t revision) {
  std::vector<std::u16string> headers;
  for (const auto& column : columns) headers.push_back(column.header);
  const std::uint64_t shown = revision_;
  revision_ = revision;
  if (revision != 0 && revision == shown && headers == headers_ && rows.size() == bufferRow_.size())
    return Change::None;
  if (headers == headers_ && rows.size() == bufferRow_.size()) {
    bool same = true;
    for (std::size_t r = 0; same && r < rows.size(); ++r) same = SameRow(rows[r], static_cast<int>(r));
    if (same) return Change::None;
  }
  if (headers == headers_ && rows.size() < bufferRow_.size() && RemoveGoneRows(rows)) return Change::RowsRemoved;
  Rebuild(rows, std::move(headers));
  return Change::Rebuilt;
}

// The rows shown that `rows` no longer has, when all it has are the others
// in their order: each run of them is taken out of the view, the texts stay
// in the buffer until it is built anew.
bool ReportModel::RemoveGoneRows(const std::vector<ui::frontend::ListRowView>& rows) {
  std::vector<std::pair<int, int>> gone;  // first, last
  std::size_t next = 0;
  for (int shown = 0; shown < static_cast<int>(bufferRow_.size()); ++shown) {
    if (next < rows.size() && SameRow(rows[next], shown)) {
      ++next;
      continue;
    }
    if (!gone.empty() && gone.back().second == shown - 1)
      gone.back().second = shown;
    else
      gone.emplace_back(shown, shown);
  }
  if (next != rows.size()) return false;
  for (auto run = gone.rbegin(); run != gone.rend(); ++run) {
    beginRemoveRows(QModelIndex(), run->first, run->second);
    bufferRow_.erase(bufferRow_.begin() + run->first, bufferRow_.begin() + run->second + 1);
    endRemoveRows();
  }
  return true;
}

void ReportModel::Rebuild(const std::vector<ui::frontend::ListRowView>& rows, std::vector<std::u16string> headers) {
  beginResetModel();
  headers_ = std::move(headers);
  std::size_t count = headers_.size();
  std::size_t length = 0;
  for (const auto& row : rows)
    for (std::size_t c = 0; c < count; ++c) length += CellOf(row, c).size();
  texts_.clear();
  texts_.reserve(length);
  starts_.clear();
  starts_.reserve(rows.size() * count + 1);
  for (const auto& row : rows)
    for (std::size_t c = 0; c < count; ++c) {
      starts_.push_back(texts_.size());
      texts_.append(CellOf(row, c));
    }
  starts_.push_back(texts_.size());
  bufferRow_.resize(rows.size());
  for (std::size_t r = 0; r < rows.size(); ++r) bufferRow_[r] = static_cast<int>(r);
  endResetModel();
}

std::u16string_view ReportModel::Cell(int row, int column) const {
  if (row < 0 || row >= Rows() || column < 0 || column >= static_cast<int>(headers_.size())) return {};
  std::size_t at = static_cast<std::size_t>(bufferRow_[static_cast<std::size_t>(row)]) * headers_.size() +
                   static_cast<std::size_t>(column);
  return std::u16string_view(texts_).substr(starts_[at], starts_[at + 1] - starts_[at]);
}

int ReportModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Rows(); }

int ReportModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant ReportModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return QVariant();
  return ToQString(Cell(index.row(), index.column()));
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
  if (section < 0 || section >= static_cast<int>(headers_.size())) return QVariant();
  return QString::fromStdU16String(headers_[static_cast<std::size_t>(section)]);
}

ReportList::ReportList(QWidget* parent, std::function<void(std::vector<int>)> selected)
    : QTreeView(parent), selected_(std::move(selected)) {
  setModel(&model_);
  setItemDelegate(new RowHeight(this));
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTextElideMode(Qt::ElideNone);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  header()->setSectionsMovable(false);
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(QHeaderView::Interactive);
  header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (syncing_) return;
    shownKnown_ = false;
    if (selected_) selected_(SelectedRows());
  });
}

std::vector<int> ReportList::SelectedRows() const {
  std::vector<int> rows;
  for (const QItemSelectionRange& range : selectionModel()->selection())
    for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(row);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

void ReportList::Sync(const ui::frontend::ControlView& view) {
  syncing_ = true;
  ReportModel::Change change = model_.SetRows(view.rows, view.columns, view.rowsRevision);
  if (change == ReportModel::Change::Rebuilt) appliedWidths_.resize(view.columns.size(), 0);
  // The selection of rows built anew, or of those left, is Qt's to say.
  if (change != ReportModel::Change::None) shownKnown_ = false;
  ApplyWidths(view);
  ShowSelection(view.rows);
  syncing_ = false;
}

// The selection as runs of rows, so that selecting all of a long list is
// one range and not one change per row. What the list shows is kept as a
// flag per row, so that a snapshot whose selection is the one shown costs
// one pass over the rows.
void ReportList::ShowSelection(const std::vector<ui::frontend::ListRowView>& rows) {
  if (!shownKnown_) {
    shown_.assign(rows.size(), 0);
    for (const QItemSelectionRange& range : selectionModel()->selection())
      for (int row = std::max(0, range.top()); row <= range.bottom() && row < static_cast<int>(rows.size()); ++row)
        shown_[static_cast<std::size_t>(row)] = 1;
    shownKnown_ = true;
  }
  bool same = shown_.size() == rows.size();
  for (std::size_t i = 0; same && i < rows.size(); ++i) same = (shown_[i] != 0) == rows[i].selected;
  if (same) return;
  QItemSelection selection;
  int columns = std::max(1, model_.columnCount());
  shown_.assign(rows.size(), 0);
  for (std::size_t i = 0; i < rows.size();) {
    if (!rows[i].selected) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j + 1 < rows.size() && rows[j + 1].selected) ++j;
    std::fill(shown_.begin() + static_cast<std::ptrdiff_t>(i), shown_.begin() + static_cast<std::ptrdiff_t>(j) + 1, 1);
    selection.select(model_.index(static_cast<int>(i), 0), model_.index(static_cast<int>(j), columns - 1));
    i = j + 1;
  }
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

int ReportList::ContentWidth(int column) const {
  QFontMetrics fm(font());
  int widest = 0;
  // The widest text is nearly always among the longest, so only those are
  // measured; the rest cannot be much wider in a proportional font.
  std::vector<std::pair<std::size_t, int>> lengths;  // length, row
  lengths.reserve(static_cast<std::size_t>(model_.Rows()));
  for (int row = 0; row < model_.Rows(); ++row) lengths.emplace_back(model_.Cell(row, column).size(), row);
  std::size_t measured = std::min<std::size_t>(lengths.size(), 200);
  std::partial_sort(lengths.begin(), lengths.begin() + static_cast<std::ptrdiff_t>(measured), lengths.end(),
                    [](const auto& a, const auto& b) { return a.first > b.first; });
  for (std::size_t i = 0; i < measured; ++i)
    widest = std::max(widest, fm.horizontalAdvance(ToQString(model_.Cell(lengths[i].second, column))));
  return widest + kCellPadding;
}

void ReportList::ApplyWidths(const ui::frontend::ControlView& view) {
  appliedWidths_.resize(view.columns.size(), 0);
  for (std::size_t i = 0; i < view.columns.size(); ++i) {
    int width = view.columns[i].width;
    // A width the program set once stays until it sets another, so the
    // person's own resizing is kept.
    if (appliedWidths_[i] == width && width != 0) continue;
    appliedWidths_[i] = width;
    int column = static_cast<int>(i);
    int pixels = width;
    if (width == ui::LVSCW_AUTOSIZE || width == ui::LVSCW_AUTOSIZE_USEHEADER) {
      pixels = ContentWidth(column);
      if (width == ui::LVSCW_AUTOSIZE_USEHEADER) {
        QFontMetrics fm(header()->font());
        pixels = std::max(pixels, fm.horizontalAdvance(QString::fromStdU16String(view.columns[i].header)) + kCellPadding);
        // The last column fills what is left of the list.
        if (i + 1 == view.columns.size()) {
          int used = 0;
          for (int c = 0; c < column; ++c) used += columnWidth(c);
          pixels = std::max(pixels, viewport()->width() - used);
        }
      }
    }
    setColumnWidth(column, std::max(0, pixels));
  }
}

// A key that moves the caret selects the row it lands on, as the
// platform's list does, also when the caret is on that row already (Home on
// the first row, which has the caret from the moment the list has the focus).
void ReportList::keyPressEvent(QKeyEvent* event) {
  QModelIndex before = currentIndex();
  QTreeView::keyPressEvent(event);
  if (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) return;
  switch (event->key()) {
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      break;
    default:
      return;
  }
  QModelIndex now = currentIndex();
  if (now.isValid() && now == before && !selectionModel()->isRowSelected(now.row(), QModelIndex()))
    selectionModel()->select(now, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool ReportList::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QTreeView::viewportEvent(event);
  auto* help = static_cast<QHelpEvent*>(event);
  QModelIndex index = indexAt(help->pos());
  if (!index.isValid()) {
    QToolTip::hideText();
    return true;
  }
  QString text = model_.data(index, Qt::DisplayRole).toString();
  QRect cell = visualRect(index);
  QRect shown = cell.intersected(viewport()->rect());
  int needed = QFontMetrics(font()).horizontalAdvance(text) + kCellPadding / 2;
  bool whole = cell.left() >= shown.left() && cell.left() + needed <= shown.right();
  if (text.isEmpty() || whole)
    QToolTip::hideText();
  else
    QToolTip::showText(help->globalPos(), text, viewport(), cell);
  return true;
}

}  // namespace desktop
