#include <exception>

#include "application.h"
#include "gnss_mode.h"
#include "main_form.h"
#include "message_box.h"

int main(int argc, char** argv) {
  PrepareApplicationEnvironment();
  QuorvaneApplication app(argc, argv);
  try {
    TMainForm form;
    if (GnssModeRequested(app.arguments())) form.SetGnssMode(true);
    form.show();
    app.exec();
  } catch (const std::exception& e) {
    ShowExceptionReport(QString::fromUtf8(e.what()));
  } catch (...) {
    // Anything that is not a std::exception carries no message to show.
    ShowExceptionReport(QString());
  }
  return 0;
}
