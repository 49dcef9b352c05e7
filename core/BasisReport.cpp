#include "core/BasisReport.h"

#include "core/Conversions.h"
#include "engine/Levels.h"

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

// Key j of a row that holds the keys first .. first + size - 1, and 0 for any other key.
double at(int first, std::span<const double> row, int j)
{
    return first <= j && j < first + int(row.size()) ? row[j - first] : 0.0;
}

// One line of a row: name[i][j]=value for the keys j.
QString reportLine(const char* name, int i, Indices keys, int first, std::span<const double> row)
{
    QString line;
    for (int j : keys)
        line += entry(label(name, i, j), at(first, row, j));
    return line + "\n";
}

} // namespace

QString basisReport(const engine::Basis& basis)
{
    const int m = basis.m();
    const int J = basis.finestLevel();
    auto boundaryRows = [&](WaveletClass side) {
        QString rows;
        for (int i : waveletIndices(m, J))
            if (waveletClass(i, m, J) == side) {
                const Indices keys = partners(i, m, J);
                rows += reportLine("a", i, keys, keys.front(), basis.partnerWeights(i));
            }
        return rows;
    };
    const bool exact = basis.rule() == engine::Rule::Exact;
    QString text = exact ? "betta (точное интегрирование)\n" : "betta\n";
    const std::vector<double>& betta = basis.betta();
    for (std::size_t i = 0; i < betta.size(); ++i)
        text += entry(label("b", int(i)), betta[i]);
    text += "\nalpha\n(для центр. wavelet): ";
    for (int j : translateKeys(0, m))
        text += entry(label("a", j), at(0, basis.centralWavelet(), j));
    text += "\n(для гран. слева wavelet): \n" + boundaryRows(WaveletClass::LeftBoundary);
    text += "(для гран. справа wavelet): \n" + boundaryRows(WaveletClass::RightBoundary);
    text += "\nalphaW\n";
    for (int i : waveletIndices(m, J)) {
        const engine::SplineRow row = basis.wavelet(J, i);
        text += reportLine("aW", i, waveletKeys(i, m, J), row.first, row.values);
    }
    return text;
}
