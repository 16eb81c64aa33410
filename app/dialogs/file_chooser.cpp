#include "app/dialogs/file_chooser.h"

namespace {

FileChooser& Chooser() {
  static FileChooser chooser;
  return chooser;
}

}  // namespace

void SetFileChooser(FileChooser chooser) { Chooser() = std::move(chooser); }

QString ChooseFile(QFileDialog& dialog) {
  if (Chooser()) return Chooser()(dialog);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles().value(0);
}
