// The coefficient files "file_in_d.txt" and "file_in_c.txt" and the function-value file
// "file_in_f.txt", in the working directory. Every number is followed by one blank:
//   file_in_d.txt  coeffD[0][k], k = 1-m .. 2^J0-1                      (no line break)
//   file_in_c.txt  one line per level e = 1 .. J-J0: coeffC[e][k], k = 1-m .. 2^(J0+e-1)-m
//   file_in_f.txt  funcValues[i][0], i = 0 .. 2^J-1                     (no line break)

#include "app/Main_f.h"
#include "files/FileText.h"
#include "numerics/Levels.h"

#include <QRadioButton>

namespace {

const char* const dFile = "file_in_d.txt";
const char* const cFile = "file_in_c.txt";
const char* const fFile = "file_in_f.txt";

void append(std::string& text, double value)
{
    text += streamText(value) + ' ';
}

} // namespace

void TMainForm::btnSaveCoeffToFileClick(QObject*)
{
    std::string d;
    for (int k = 1 - m; k <= pow2(coarsestLevel) - 1; ++k)
        append(d, coeffD[0][k]);
    std::string c;
    for (int e = 1; e <= finestLevel - coarsestLevel; ++e) {
        for (int k = 1 - m; k <= pow2(coarsestLevel + e - 1) - m; ++k)
            append(c, coeffC[e][k]);
        c += '\n';
    }
    if (saveWholeFile(dFile, QByteArray::fromStdString(d))
        && saveWholeFile(cFile, QByteArray::fromStdString(c)))
        ShowMessage("Параметры сохранены в file_in_d.txt и file_in_\u0441.txt!");
}

// Reads both files completely before anything changes: a missing, short or damaged file leaves
// the tables and grids as they were.
void TMainForm::btnGetValuesFromFileClick(QObject*)
{
    if (rbForward->isChecked() || !rbBack->isChecked())
        return;
    const int levels = finestLevel - coarsestLevel;
    const int cCount = int(pow2(coarsestLevel + levels) - pow2(coarsestLevel));
    const auto c = readNumbers(cFile, cCount);
    if (!c)
        return;
    const auto d = readNumbers(dFile, int(pow2(coarsestLevel)) + m - 1);
    if (!d)
        return;
    auto next = c->begin();
    SparseRow row;
    for (int e = 1; e <= levels; ++e) {
        for (int k = 1 - m; k <= pow2(coarsestLevel + e - 1) - m; ++k)
            row.insert({k, *next++});
        coeffC[e] = row;
        row.clear();
    }
    next = d->begin();
    for (int k = 1 - m; k <= pow2(coarsestLevel) - 1; ++k)
        row.insert({k, *next++});
    coeffD[0] = row;
    showCoeffC();
    showCoeffD();
}

void TMainForm::btnFunctionValuesClick(QObject*)
{
    std::string f;
    for (const auto& value : funcValues)
        append(f, value[0]);
    if (saveWholeFile(fFile, QByteArray::fromStdString(f)))
        ShowMessage("Значения функции сохранены в file_in_f.txt!");
}
