#include "main_form.h"

// Handlers whose behaviour arrives with the connection, logging, cold start,
// replay and display work. They are wired to their controls already.

void TMainForm::ParserTimerTimer() {}
void TMainForm::ComBtn1Click() {}
void TMainForm::ColdStartButton1Click() {}
void TMainForm::LogButtonClick() {}
void TMainForm::LoadButtonClick() {}
void TMainForm::ParserButtonClick() {}
void TMainForm::Button1Click() {}
void TMainForm::Button2Click() {}
