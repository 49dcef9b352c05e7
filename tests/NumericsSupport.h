#pragma once

#include "app/Main_f.h"

#include <QTest>

#include <charconv>
#include <cmath>
#include <string>

// True when the value, rounded to as many significant digits as the quoted text has, is the
// quoted number: the value agrees with every digit quoted.
inline bool agreesWithQuoted(double value, const std::string& quoted)
{
    int digits = 0;
    bool leading = true;
    for (char c : quoted.substr(0, quoted.find_first_of("eE"))) {
        if (c < '0' || c > '9')
            continue;
        if (c != '0')
            leading = false;
        if (!leading)
            ++digits;
    }
    char buffer[64];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
        std::max(digits, 1) - 1)
                   .ptr;
    double rounded = 0, expected = 0;
    std::from_chars(buffer, end, rounded);
    std::from_chars(quoted.data(), quoted.data() + quoted.size(), expected);
    return rounded == expected;
}

#define QVERIFY_QUOTED(value, quoted)                                                              \
    QVERIFY2(agreesWithQuoted(value, std::string(quoted)),                                         \
        qPrintable(QString("%1 does not agree with %2")                                            \
                       .arg(value, 0, 'g', 17)                                                     \
                       .arg(QString::fromStdString(std::string(quoted)))))

// |value - expected| within `relative` of |expected|, for the few values quoted as exact
// mathematical numbers that the stored doubles miss by a few ulp.
#define QVERIFY_RELATIVE(value, expected, relative)                                                \
    QVERIFY2(std::abs((value) - (expected)) <= (relative)*std::abs(expected),                      \
        qPrintable(QString("%1 vs %2").arg(value, 0, 'g', 17).arg(expected, 0, 'g', 17)))

// Data rows m = 2, 3, 4.
inline void everyDegree()
{
    QTest::addColumn<int>("m");
    for (int m = 2; m <= 4; ++m)
        QTest::addRow("m=%d", m) << m;
}

// Puts the form into the state of degree m on [0, 1] that the scalar product needs: levels,
// mesh step and Gauss weights.
inline void prepareDegree(TMainForm& form, int m)
{
    form.m = m;
    form.finestLevel = m + 1;
    form.coarsestLevel = int(std::floor(std::log(2.0 * m - 1) / std::log(2.0)));
    form.a = 0;
    form.b = 1;
    form.step = 1.0 / std::pow(2.0, form.finestLevel);
    form.computeGaussNodes();
    form.computeGaussWeights();
}
