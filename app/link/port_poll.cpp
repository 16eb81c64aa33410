#include "app/link/port_poll.h"

#include "app/dialogs/message_box.h"

namespace {

// Marks the items that are remembered sources, not ports.
constexpr int kRecentSourceRole = Qt::UserRole + 1;

QStringList RecentItems(const QComboBox& box) {
  QStringList recent;
  for (int i = 0; i < box.count(); ++i) {
    if (box.itemData(i, kRecentSourceRole).toBool()) recent << box.itemText(i);
  }
  return recent;
}

void AddRecentItems(QComboBox& box, const QStringList& sources) {
  for (const QString& source : sources) {
    box.addItem(source);
    box.setItemData(box.count() - 1, true, kRecentSourceRole);
  }
}

bool Scan(const SysfsPortRegistry& registry, QStringList& portNames) {
  if (!registry.KeyExists()) return false;
  portNames = registry.ValueNames();
  return true;
}

void RebuildItems(const QStringList& portNames, QComboBox& box) {
  const QStringList recent = RecentItems(box);
  box.clear();
  for (const QString& name : portNames) box.addItem(SysfsPortRegistry::ReadString(name));
  AddRecentItems(box, recent);
}

}  // namespace

void FillPortBox(const SysfsPortRegistry& registry, QStringList& portNames, QComboBox& box) {
  if (!Scan(registry, portNames)) return;
  for (const QString& name : portNames) box.addItem(SysfsPortRegistry::ReadString(name));
  if (box.count() > 0) box.setCurrentIndex(0);
}

void PollPortBox(const SysfsPortRegistry& registry, QStringList& portNames, QComboBox& box,
                 const std::function<bool()>& stillOpen) {
  portNames.clear();
  if (!Scan(registry, portNames)) return;
  const qsizetype ports = portNames.size();
  const qsizetype items = box.count() - RecentItems(box).size();

  if (ports > items) {
    // Announce from a copy: the list is process-wide and a message box runs
    // a nested event loop.
    const QStringList names = portNames;
    for (const QString& name : names) {
      const QString device = SysfsPortRegistry::ReadString(name);
      if (box.findText(device, Qt::MatchFixedString) >= 0) continue;
      ShowMessage(QStringLiteral("Com Port Plug In  ") + device);
      if (stillOpen && !stillOpen()) return;
      box.setEditText(device);
    }
    const QString text = box.currentText();
    RebuildItems(names, box);
    // Adding to an empty box selects its first item; the box keeps showing
    // the port announced last instead, with no item selected.
    box.setCurrentIndex(-1);
    box.setEditText(text);
  } else if (ports < items) {
    RebuildItems(portNames, box);
    box.setCurrentIndex(static_cast<int>(ports) - 1);
  }
}

void ShowRecentSources(QComboBox& box, const QStringList& sources) {
  const QString text = box.currentText();
  const int current = box.currentIndex();
  for (int i = box.count() - 1; i >= 0; --i) {
    if (box.itemData(i, kRecentSourceRole).toBool()) box.removeItem(i);
  }
  AddRecentItems(box, sources);
  // Removing the selected item selects another; the box goes on showing what it showed.
  if (box.currentIndex() != current || box.currentText() != text) {
    box.setCurrentIndex(current < box.count() && box.itemText(current) == text ? current : -1);
    box.setEditText(text);
  }
}
