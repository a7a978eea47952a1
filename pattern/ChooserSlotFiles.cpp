#include "pattern/ChooserSlotFiles.h"

#include <QComboBox>
#include <QStyledItemDelegate>

namespace {

constexpr int kSlots = 32;

// Slot n for an item "Sample<n>" among the chooser's last 32 rows; 0 else.
int SlotOfRow(const QComboBox& chooser, int row) {
  if (row < chooser.count() - kSlots) return 0;
  const QString text = chooser.itemText(row);
  if (!text.startsWith("Sample")) return 0;
  bool number = false;
  const int slot = text.mid(6).toInt(&number);
  return number && slot >= 1 && slot <= kSlots && text == "Sample" + QString::number(slot) ? slot
                                                                                           : 0;
}

class SlotFileDelegate : public QStyledItemDelegate {
 public:
  SlotFileDelegate(QComboBox& chooser, SlotTitleOf titleOf)
      : QStyledItemDelegate(&chooser), chooser_(chooser), titleOf_(std::move(titleOf)) {}

  QString ShownText(const QModelIndex& index) const {
    QStyleOptionViewItem option;
    initStyleOption(&option, index);
    return option.text;
  }

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    const int slot = SlotOfRow(chooser_, index.row());
    if (slot == 0 || !titleOf_) return;
    const std::string title = titleOf_(slot);
    if (!title.empty()) option->text += " (" + QString::fromLocal8Bit(title) + ")";
  }

 private:
  QComboBox& chooser_;
  SlotTitleOf titleOf_;
};

}  // namespace

void ShowSlotFilesInChooser(QComboBox& chooser, SlotTitleOf titleOf) {
  chooser.setItemDelegate(new SlotFileDelegate(chooser, std::move(titleOf)));
}

QString ChooserShownText(const QComboBox& chooser, int row) {
  const auto* delegate = dynamic_cast<const SlotFileDelegate*>(chooser.itemDelegate());
  if (!delegate) return chooser.itemText(row);
  return delegate->ShownText(chooser.model()->index(row, chooser.modelColumn()));
}
