#include "main_form.h"

// File replay handlers, wired to their controls already.

void TMainForm::ParserTimerTimer() {}
void TMainForm::LoadButtonClick() {}
void TMainForm::ParserButtonClick() {}
