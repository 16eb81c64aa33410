#include "app/dialogs/message_box.h"

#include <QStringList>

namespace {

MessageBoxSink& Sink() {
  static MessageBoxSink sink;
  return sink;
}

void Show(QMessageBox::Icon icon, const QString& text) {
  if (Sink()) {
    Sink()(icon, text);
    return;
  }
  // No parent: the box centres on the screen, as the port announcement asks.
  QMessageBox box(icon, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok);
  box.exec();
}

}  // namespace

void SetMessageBoxSink(MessageBoxSink sink) { Sink() = std::move(sink); }

namespace {
bool SinkAnswer = false;
}  // namespace

void SetQuestionAnswer(bool yes) { SinkAnswer = yes; }

bool AskQuestion(const QString& text) {
  if (Sink()) {
    Sink()(QMessageBox::Question, text);
    return SinkAnswer;
  }
  QMessageBox box(QMessageBox::Question, QString::fromLatin1(kApplicationTitle), text,
                  QMessageBox::Yes | QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

void ShowNotice(const QString& text, QWidget* parent) {
  if (Sink()) {
    Sink()(QMessageBox::Information, text);
    return;
  }
  auto* box = new QMessageBox(QMessageBox::Information, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok,
                              parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
}

void ShowMessage(const QString& text) { Show(QMessageBox::NoIcon, text); }

void ShowWarning(const QString& text) { Show(QMessageBox::Warning, text); }

QString ExceptionReportText(const QString& message) {
  QStringList lines = message.split(u'\n');
  for (QString& line : lines)
    if (!line.isEmpty() && line.back() > u'.') line += u'.';
  return lines.join(u'\n');
}

void ShowExceptionReport(const QString& message) { Show(QMessageBox::Critical, ExceptionReportText(message)); }
