// The report of the basis coefficients betta, alpha and alphaW, in Windows-1251:
//   betta / b[i]=v ... / alpha / (для центр. wavelet): a[j]=v ... /
//   (для гран. слева wavelet): / one line per left row / (для гран. справа wavelet): /
//   one line per right row / empty line / alphaW / one line per wavelet, left to right.
// Every value is rounded to 15 significant digits first (through its general text).

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

// One line of a table row: name[i][j]=value for j = firstJ .. lastJ, read with access-or-insert.
QString reportLine(const char* name, SparseTable& table, int i, int firstJ, int lastJ)
{
    QString line;
    for (int j = firstJ; j <= lastJ; ++j)
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
    const double H = pow2(finestLevel - 1);
    QString text = "betta\n";
    for (int i = 0; i <= m; ++i)
        text += entry(label("b", i), betta[i]);
    text += "\nalpha\n(для центр. wavelet): ";
    for (int j = 0; j <= 3 * m - 2; ++j)
        text += entry(label("a", j), alpha[0][j]);
    text += "\n(для гран. слева wavelet): \n";
    for (int i = 1 - m; i <= -1; ++i)
        text += reportLine("a", alpha, i, 2 - 2 * m, -m);
    text += "(для гран. справа wavelet): \n";
    for (int i = int(H - 2 * m + 2); i <= H - m; ++i)
        text += reportLine("a", alpha, i, int(H - m + 1), int(H - 1));
    text += "\nalphaW\n";
    for (int i = 1 - m; i <= -1; ++i)
        text += reportLine("aW", alphaW, i, 1 - m, 2 * i + 3 * m - 2);
    for (int i = 0; i <= H - 2 * m + 1; ++i)
        text += reportLine("aW", alphaW, i, 2 * i, 2 * i + 3 * m - 2);
    for (int i = int(H - 2 * m + 2); i <= H - m; ++i)
        text += reportLine("aW", alphaW, i, 2 * i, int(pow2(finestLevel)) - 1);
    return text;
}
