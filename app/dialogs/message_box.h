#pragma once

#include <QMessageBox>
#include <QString>

#include <exception>
#include <functional>

// Every message box of the viewer goes through here, captioned with the
// application title. Tests install a sink that records the boxes instead of
// waiting for a click.
inline constexpr const char* kApplicationTitle = "Quorvane Viewer";

using MessageBoxSink = std::function<void(QMessageBox::Icon icon, const QString& text)>;
void SetMessageBoxSink(MessageBoxSink sink);

// A question with Yes and No; true for Yes. With a sink installed the sink
// sees it (icon Question) and the answer given to SetQuestionAnswer comes back.
bool AskQuestion(const QString& text);
void SetQuestionAnswer(bool yes);

// A plain box: no icon, one OK button, centred on the screen; returns once closed.
void ShowMessage(const QString& text);

// An information box that leaves the window usable while it is up (a note,
// not a question): shown over `parent` and deleted once closed.
void ShowNotice(const QString& text, QWidget* parent);

// A warning box (the line to the receiver was lost), otherwise as ShowMessage.
void ShowWarning(const QString& text);

// The report of an exception that left an event handler: error icon, the
// message with a full stop appended when its last character sorts after ".";
// a message of several lines (a failure, then its reasons) gets that rule
// line by line.
void ShowExceptionReport(const QString& message);
QString ExceptionReportText(const QString& message);

// Runs one event handler and reports what it raises. Handlers are entered
// through this rather than letting the exception unwind through the toolkit's
// signal delivery, which does not expect it and would leave its own state
// half-updated; the application's event filter stays as a last resort.
template <typename Handler>
void RunReported(Handler&& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowExceptionReport(QString::fromUtf8(e.what()));
  } catch (...) {
    ShowExceptionReport(QString());
  }
}
