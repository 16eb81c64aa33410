#pragma once

#include <QFormLayout>
#include <QLabel>
#include <QString>

// A row "name  value" of a tab that shows figures; returns the value's label,
// selectable so that a figure can be copied.
inline QLabel* AddValueRow(QFormLayout& form, const QString& name) {
  auto* value = new QLabel(QStringLiteral("-"));
  value->setTextInteractionFlags(Qt::TextSelectableByMouse);
  form.addRow(name, value);
  return value;
}

// A value, or "-" when there is none.
inline QString ValueOrDash(bool has, const QString& text) {
  return has ? text : QStringLiteral("-");
}
