// Starts like the viewer, returns once its window has painted.
#include "app/window/application.h"
#include "first_paint.h"
#include "app/window/main_form.h"

int main(int argc, char** argv) {
  PrepareApplicationEnvironment();
  QuorvaneApplication app(argc, argv);
  TMainForm form;
  FirstPaint paint;
  form.installEventFilter(&paint);
  form.show();
  paint.Wait();
  return 0;
}
