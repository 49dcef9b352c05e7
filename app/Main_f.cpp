#include "app/Main_f.h"

TMainForm* MainForm = nullptr;

// The tables are members and exist before the body runs; the layout is built here, and all
// other set-up waits for the creation event, which the application raises afterwards.
TMainForm::TMainForm()
{
    createLayout();
    connectHandlers();
}

TMainForm::~TMainForm() = default;

void TMainForm::raiseCreationEvent()
{
    emit created();
}
