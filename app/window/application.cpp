#include "app/window/application.h"

#include <QFont>
#include <QIcon>
#include <QStyleFactory>

#include <exception>

#include "app/dialogs/message_box.h"

void PrepareApplicationEnvironment() {
  if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING")) qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
}

QuorvaneApplication::QuorvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("quorvane-viewer"));
  // No display name: Qt would append it to every window title, and the
  // window's caption must read exactly as set. Message boxes carry the
  // application title as their own caption.
  setDesktopFileName(QStringLiteral("quorvane-viewer"));
  // Fusion draws the same on every desktop, so the fixed pixel layout fits
  // whatever theme the user runs.
  setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  // The controls' sizes are fixed in pixels, so the face must be narrow
  // enough for the widest read-out ("2026/12/28   23:59:59" in the GPS time
  // field); DejaVu Sans needs 123 px at 11 px, the condensed cut at 10 px 101 px.
  QFont font(QStringLiteral("DejaVu Sans Condensed"));
  font.setPixelSize(10);
  setFont(font);
  QIcon icon;
  for (int size : {16, 24, 32, 48, 128, 256}) {
    icon.addFile(QStringLiteral(":/icons/quorvane-viewer-%1.png").arg(size), QSize(size, size));
  }
  setWindowIcon(icon);
}

bool QuorvaneApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ShowExceptionReport(QString::fromUtf8(e.what()));
  } catch (...) {
    ShowExceptionReport(QString());
  }
  return false;
}
