// The coefficient files "file_in_d.txt" and "file_in_c.txt" and the function-value file
// "file_in_f.txt", in the working directory. Every number is followed by one blank:
//   file_in_d.txt  coeffD[0][k] for the scaling indices k of level J0   (no line break)
//   file_in_c.txt  one line per level L = J0+1 .. J: coeffC[L - J0][i] for its wavelets i
//   file_in_f.txt  funcValues[i][0] for the sample points i             (no line break)
// The messages name the files with their folder, where they were written or looked for.

#include "app/Main_f.h"
#include "core/Conversions.h"
#include "engine/Levels.h"
#include "files/FileText.h"

#include <QDir>
#include <QRadioButton>

#include <bit>

namespace {

const char* const dFile = "file_in_d.txt";
const char* const cFile = "file_in_c.txt";
const char* const fFile = "file_in_f.txt";

// A fixed name in the working folder, with the folder.
QString inFolder(const char* name)
{
    return QDir::current().absoluteFilePath(name);
}

// " в папке «FOLDER»!": the end of the message of a save.
QString savedIn()
{
    return " в папке «" + QDir::toNativeSeparators(QDir::currentPath()) + "»!";
}

void append(std::string& text, double value)
{
    text += streamText(value) + ' ';
}

// The levels of a c file of `count` numbers: 2^J - 2^J0, whose binary digits are the ones
// J0 .. J-1.
QString cLevels(int count)
{
    if (count <= 0)
        return {};
    const int J0 = std::countr_zero(unsigned(count));
    const int J = J0 + std::countr_one(unsigned(count) >> J0);
    if (J0 < 1 || count != (1 << J) - (1 << J0))
        return {};
    return "коэффициенты c при J0 = " + IntToStr(J0) + ", J = " + IntToStr(J);
}

} // namespace

void TMainForm::btnSaveCoeffToFileClick(QObject*)
{
    const int J0 = coarsestLevel;
    std::string d;
    for (int k : scalingIndices(m, J0))
        append(d, coeffD[0][k]);
    std::string c;
    for (int L : waveletLevels(J0, finestLevel)) {
        for (int i : waveletIndices(m, L))
            append(c, coeffC[L - J0][i]);
        c += '\n';
    }
    if (saveWholeFile(inFolder(dFile), QByteArray::fromStdString(d))
        && saveWholeFile(inFolder(cFile), QByteArray::fromStdString(c)))
        ShowMessage("Параметры сохранены в file_in_d.txt и file_in_\u0441.txt" + savedIn());
}

// Reads both files completely before anything changes: a missing, short, long or damaged file
// leaves the tables and grids as they were.
void TMainForm::btnGetValuesFromFileClick(QObject*)
{
    if (rbForward->isChecked() || !rbBack->isChecked())
        return;
    const int J0 = coarsestLevel;
    const auto c = readNumbers(inFolder(cFile), waveletTotal(J0, finestLevel), cLevels);
    if (!c)
        return;
    // 2^J0 + m - 1 numbers: the degree of a d file of the coarsest level in force.
    const auto dDegree = [J0](int count) {
        const int degree = count - (1 << J0) + 1;
        return degree < 2 || degree > 4
            ? QString()
            : "коэффициенты d при m = " + IntToStr(degree) + ", J0 = " + IntToStr(J0);
    };
    const auto d = readNumbers(inFolder(dFile), int(scalingIndices(m, J0).size()), dDegree);
    if (!d)
        return;
    engine::Coefficients loaded(m, J0, finestLevel);
    std::ranges::copy(*c, loaded.c.begin());
    std::ranges::copy(*d, loaded.d.begin());
    storeExpansion(engine::Expansion(fastTransform, std::move(loaded)));
    refreshAnalysis();
}

void TMainForm::btnFunctionValuesClick(QObject*)
{
    std::string f;
    for (const auto& value : funcValues)
        append(f, value[0]);
    if (saveWholeFile(inFolder(fFile), QByteArray::fromStdString(f)))
        ShowMessage("Значения функции сохранены в file_in_f.txt" + savedIn());
}
