// The report of the basis coefficients betta, alpha and alphaW, in Windows-1251:
//   betta / b[i]=v ... / alpha / (для центр. wavelet): a[j]=v ... /
//   (для гран. слева wavelet): / one line per left row / (для гран. справа wavelet): /
//   one line per right row / empty line / alphaW / one line per wavelet, left to right.
// A boundary row of alpha lists its partners, a row of alphaW its keys (numerics/Levels.h).
// Every value is rounded to 15 significant digits first (through its general text).
// A basis built under the exact quadrature rule says so on the first line:
// "betta (точное интегрирование)".

#include "app/Conversions.h"
#include "app/Main_f.h"
#include "files/FileText.h"
#include "numerics/Levels.h"

#include <QFileDialog>

namespace {

QString label(const char* name, int i)
{
    return QString("%1[%2]=").arg(name).arg(i);
}
QString label(const char* name, int i, int j)
{
    return QString("%1[%2][%3]=").arg(name).arg(i).arg(j);
}

QString entry(const QString& label, double value)
{
    long double rounded = StrToFloat(FloatToStr(value));
    return label + QString::fromStdString(streamText(rounded)) + " ";
}

// One line of a table row: name[i][j]=value for the keys j, read with access-or-insert.
QString reportLine(const char* name, SparseTable& table, int i, Indices keys)
{
    QString line;
    for (int j : keys)
        line += entry(label(name, i, j), table[i][j]);
    return line + "\n";
}

} // namespace

void TMainForm::nCoeffClick(QObject*)
{
    OpenDialog->selectFile("Коэффициенты.txt");
    const std::optional<QString> name = runFileDialog(*OpenDialog);
    if (name)
        saveWholeFile(*name, toWindows1251(coefficientReport()));
}

QString TMainForm::coefficientReport()
{
    const int J = finestLevel;
    auto boundaryRows = [&](WaveletClass side) {
        QString rows;
        for (int i : waveletIndices(m, J))
            if (waveletClass(i, m, J) == side)
                rows += reportLine("a", alpha, i, partners(i, m, J));
        return rows;
    };
    QString text = exactIntegration ? "betta (точное интегрирование)\n" : "betta\n";
    for (std::size_t i = 0; i < betta.size(); ++i)
        text += entry(label("b", int(i)), betta[i]);
    text += "\nalpha\n(для центр. wavelet): ";
    for (int j : translateKeys(0, m))
        text += entry(label("a", j), alpha[0][j]);
    text += "\n(для гран. слева wavelet): \n" + boundaryRows(WaveletClass::LeftBoundary);
    text += "(для гран. справа wavelet): \n" + boundaryRows(WaveletClass::RightBoundary);
    text += "\nalphaW\n";
    for (int i : waveletIndices(m, J))
        text += reportLine("aW", alphaW, i, waveletKeys(i, m, J));
    return text;
}
