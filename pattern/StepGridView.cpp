#include "pattern/StepGridView.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <algorithm>
#include <utility>

namespace {
bool IsFixed(int col, int row) {
  return col == 0 || row < PatternGrid::kFirstStepRow;
}
}  // namespace

int PatternGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.RowCount();
}

int PatternGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : PatternGrid::kColumns;
}

QVariant PatternGridModel::data(const QModelIndex& index, int role) const {
  const int col = index.column(), row = index.row();
  switch (role) {
    case Qt::DisplayRole: {
      const std::string& text = grid_.Cell(col, row);
      return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    }
    case Qt::BackgroundRole:
      if (IsFixed(col, row)) return QApplication::palette().color(QPalette::Button);
      if (row == playheadRow_)
        return QApplication::palette().color(QPalette::Highlight).lighter(160);
      return {};
    case Qt::ForegroundRole:
      if (col == 0 && row >= PatternGrid::kFirstStepRow && grid_.Cell(col, row).ends_with('*'))
        return QColor(150, 40, 30);
      return {};
    default:
      return {};
  }
}

Qt::ItemFlags PatternGridModel::flags(const QModelIndex& index) const {
  if (IsFixed(index.column(), index.row())) return Qt::ItemIsEnabled;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void PatternGridModel::SetPlayheadRow(int row) {
  if (row == playheadRow_) return;
  const int before = std::exchange(playheadRow_, row);
  const int last = PatternGrid::kColumns - 1;
  for (int changed : {before, row})
    if (changed >= 0 && changed < grid_.RowCount())
      Q_EMIT dataChanged(index(changed, 0), index(changed, last), {Qt::BackgroundRole});
}

void PatternGridModel::Refresh() {
  beginResetModel();
  endResetModel();
}

StepGridView::StepGridView(PatternGrid& grid, QWidget* parent)
    : QTableView(parent), grid_(grid), model_(new PatternGridModel(grid, this)) {
  setModel(model_);
  horizontalHeader()->hide();
  verticalHeader()->hide();
  horizontalHeader()->setDefaultSectionSize(71);
  // The six channels share the width; the label column stays narrow.
  horizontalHeader()->setMinimumSectionSize(40);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
  horizontalHeader()->resizeSection(0, kLabelColumnWidth);
  verticalHeader()->setDefaultSectionSize(16);
  verticalHeader()->setMinimumSectionSize(10);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setShowGrid(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setTabKeyNavigation(false);
  setCursor(Qt::PointingHandCursor);
  viewport()->setCursor(Qt::PointingHandCursor);
  QPalette pal = palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::ToolTipBase));
  pal.setColor(QPalette::Text, pal.color(QPalette::ToolTipText));
  setPalette(pal);
  QFont small = font();
  small.setPointSize(8);
  setFont(small);
}

void StepGridView::ShowPlayhead(int row) {
  const bool moved = row != model_->PlayheadRow();
  model_->SetPlayheadRow(row);
  // Kept in view, without taking the scroll from a user who moved it while
  // the same row plays.
  if (moved && row >= 0) scrollTo(model_->index(row, 1), QAbstractItemView::EnsureVisible);
}

void StepGridView::Refresh() {
  model_->Refresh();
  ShowSelection();
}

void StepGridView::ShowSelection() {
  const GridRect& s = grid_.Selection();
  const QSignalBlocker block(selectionModel());
  selectionModel()->clearSelection();
  selectionModel()->setCurrentIndex(model_->index(grid_.Row(), grid_.Col()),
                                    QItemSelectionModel::NoUpdate);
  selectionModel()->select(
      QItemSelection(model_->index(s.top, s.left), model_->index(s.bottom, s.right)),
      QItemSelectionModel::ClearAndSelect);
  viewport()->update();
}

void StepGridView::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  // A right click means the cell under the pointer too: the press selects it
  // and the release steps its volume. Header and label cells take nothing.
  pressTaken_ = false;
  const bool left = event->button() == Qt::LeftButton;
  if (!left && event->button() != Qt::RightButton) return;
  const QModelIndex at = indexAt(event->position().toPoint());
  if (!at.isValid() || !grid_.SetCurrent(at.column(), at.row())) return;
  pressTaken_ = true;
  if (!left) {
    ShowSelection();
    return;
  }
  anchorCol_ = at.column();
  anchorRow_ = at.row();
  dragging_ = true;
  ShowSelection();
}

void StepGridView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  const QModelIndex at = indexAt(event->position().toPoint());
  if (!at.isValid()) return;
  grid_.SelectRange(anchorCol_, anchorRow_, at.column(), at.row());
  ShowSelection();
}

void StepGridView::mouseReleaseEvent(QMouseEvent* event) {
  dragging_ = false;
  // The release of a refused press (a label, a channel head) changes no cell.
  if (std::exchange(pressTaken_, false)) Q_EMIT MouseUp(event->button());
}

void StepGridView::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
}

bool StepGridView::MoveByKey(int key, bool extend) {
  int col = grid_.Col(), row = grid_.Row();
  const int page = std::max(1, viewport()->height() / 16 - 1);
  switch (key) {
    case Qt::Key_Left:
      --col;
      break;
    case Qt::Key_Right:
      ++col;
      break;
    case Qt::Key_Up:
      --row;
      break;
    case Qt::Key_Down:
      ++row;
      break;
    case Qt::Key_PageUp:
      row -= page;
      break;
    case Qt::Key_PageDown:
      row += page;
      break;
    case Qt::Key_Home:
      col = 1;
      break;
    case Qt::Key_End:
      col = PatternGrid::kColumns - 1;
      break;
    default:
      return false;
  }
  col = std::clamp(col, 1, PatternGrid::kColumns - 1);
  row = std::clamp(row, PatternGrid::kFirstStepRow, grid_.RowCount() - 1);
  if (extend) {
    const GridRect keep{anchorCol_, anchorRow_, 0, 0};
    grid_.SetCurrent(col, row);
    grid_.SelectRange(keep.left, keep.top, col, row);
  } else {
    grid_.SetCurrent(col, row);
    anchorCol_ = col;
    anchorRow_ = row;
  }
  ShowSelection();
  scrollTo(model_->index(row, col));
  return true;
}

void StepGridView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete) {
    Q_EMIT DeletePressed();
    return;
  }
  if (MoveByKey(event->key(), event->modifiers() & Qt::ShiftModifier)) return;
  const QString text = event->text();
  if (text.size() == 1 && text[0].isPrint() && !(event->modifiers() & Qt::ControlModifier)) {
    Q_EMIT CharacterTyped(text[0].toLatin1());
    return;
  }
  QTableView::keyPressEvent(event);
}
