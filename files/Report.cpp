// The report of the basis coefficients (core/BasisReport.h), saved in Windows-1251.

#include "app/Main_f.h"
#include "app/WaitingStatus.h"
#include "core/BasisReport.h"
#include "files/FileText.h"

#include <QFileDialog>

void TMainForm::nCoeffClick(QObject*)
{
    OpenDialog->selectFile("Коэффициенты.txt");
    const std::optional<QString> name = runFileDialog(*OpenDialog);
    if (!name)
        return;
    const BusyCursor busy; // a row per wavelet: 32 768 rows at J = 16
    saveWholeFile(*name, toWindows1251(basisReport(fastTransform->basis())));
}
