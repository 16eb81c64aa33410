#pragma once

#include <QStyledItemDelegate>

// Rows of one fixed pixel height, as the list boxes of the layout have (13 px);
// the style's own item padding would double it and halve the lines in view.
class FixedRowDelegate : public QStyledItemDelegate {
 public:
  FixedRowDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), Height(height) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(Height);
    return size;
  }

 private:
  int Height;
};
