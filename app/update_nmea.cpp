#include "main_form.h"

// The status fields, the sky view and the signal chart are redrawn here from
// NMEAParser's record once the display work lands.
void TMainForm::UpdateNMEA(int) {}
void TMainForm::Button2Click() {}
