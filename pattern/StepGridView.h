#pragma once
// StringGrid1: the step grid as a table view over PatternGrid. The view owns
// no state of its own: current cell and selection live in the PatternGrid.
#include <QAbstractTableModel>
#include <QTableView>

#include "pattern/PatternGrid.h"

class PatternGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit PatternGridModel(PatternGrid& grid, QObject* parent = nullptr)
      : QAbstractTableModel(parent), grid_(grid) {}
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  void Refresh();
  // The row now sounding is painted as the playhead; -1: none.
  void SetPlayheadRow(int row);
  int PlayheadRow() const { return playheadRow_; }

 private:
  PatternGrid& grid_;
  int playheadRow_ = -1;
};

class StepGridView : public QTableView {
  Q_OBJECT
 public:
  static constexpr int kLabelColumnWidth = 50;

  explicit StepGridView(PatternGrid& grid, QWidget* parent = nullptr);
  // Shows the grid's cells, current cell and selection.
  void Refresh();
  QRect CellRect(int col, int row) const { return visualRect(model_->index(row, col)); }
  // Shows the playhead on row (-1: none), scrolled into view.
  void ShowPlayhead(int row);
  int PlayheadRow() const { return model_->PlayheadRow(); }

 Q_SIGNALS:
  void MouseUp(Qt::MouseButton button);
  void DeletePressed();
  void CharacterTyped(char character);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ShowSelection();
  bool MoveByKey(int key, bool extend);

  PatternGrid& grid_;
  PatternGridModel* model_;
  bool dragging_ = false;
  bool pressTaken_ = false;  // the press chose a cell: its release acts on it
  int anchorCol_ = 1, anchorRow_ = 2;
};
