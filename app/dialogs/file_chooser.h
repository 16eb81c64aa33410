#pragma once

#include <QFileDialog>
#include <QString>

#include <functional>

// Every file-open dialog of the viewer is shown through here. Tests install a
// chooser that looks at the prepared dialog and answers at once instead of
// waiting for the user.
using FileChooser = std::function<QString(QFileDialog& dialog)>;
void SetFileChooser(FileChooser chooser);

// Shows the dialog; returns the chosen file's name, or an empty string when
// the user cancels.
QString ChooseFile(QFileDialog& dialog);
