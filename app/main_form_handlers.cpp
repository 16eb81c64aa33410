#include "main_form.h"

// Connection, cold start and logging handlers, wired to their controls already.

void TMainForm::ComBtn1Click() {}
void TMainForm::ColdStartButton1Click() {}
void TMainForm::LogButtonClick() {}
void TMainForm::Button1Click() {}
