// The formula language of f(x): values, bit-exactness of the initial formula, and the Russian
// message with the position of each kind of fault.

#include "numerics/Formula.h"

#include <QTest>

#include <bit>

class TestFormula : public QObject
{
    Q_OBJECT

private slots:
    void initialFormulaIsTheLiteralOneMinusEightX();
    void values_data();
    void values();
    void faults_data();
    void faults();
};

// Bit for bit, so that the default function changes no number the program computes.
void TestFormula::initialFormulaIsTheLiteralOneMinusEightX()
{
    const Formula f("1-8*x");
    for (int i = -1000; i <= 3000; ++i) {
        const double x = i / 2000.0 + 1e-9 * i;
        QCOMPARE(std::bit_cast<quint64>(f(x)), std::bit_cast<quint64>(1 - 8 * x));
    }
}

void TestFormula::values_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("value");
    QTest::newRow("decimal comma") << "0,5*x" << 3.0 << 1.5;
    QTest::newRow("decimal point") << "0.5*x" << 3.0 << 1.5;
    QTest::newRow("max with semicolon") << "max(x;0,25)" << 0.125 << 0.25;
    QTest::newRow("min of three") << "min(x;2;-1)" << 0.5 << -1.0;
    QTest::newRow("power and unary minus") << "-x^2+3*(x-1)" << 2.0 << -1.0;
    QTest::newRow("pi and e") << "sin(pi/2)+ln(e)" << 0.0 << 2.0;
    QTest::newRow("floor and ceil") << "floor(x)+ceil(x)" << 2.5 << 5.0;
    QTest::newRow("sign abs sqrt") << "sign(x)*sqrt(abs(x))" << -4.0 << -2.0;
    QTest::newRow("log10 exp") << "log10(1000)+exp(0)" << 0.0 << 4.0;
    QTest::newRow("conditional, true") << "x < 0,5 ? 1 : 0" << 0.25 << 1.0;
    QTest::newRow("conditional, false") << "x < 0,5 ? 1 : 0" << 0.75 << 0.0;
}

void TestFormula::values()
{
    QFETCH(QString, text);
    QFETCH(double, x);
    QFETCH(double, value);
    QCOMPARE(Formula(text)(x), value);
}

void TestFormula::faults_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    auto row = [](const char* text, const char* what) {
        QTest::newRow(text) << QString::fromUtf8(text)
                            << "Ошибка в формуле f(x): " + QString::fromUtf8(what);
    };
    row("", "формула пуста, позиция 1");
    row("x+", "формула оборвана, позиция 3");
    row("foo(x)", "неизвестное имя «foo», позиция 1");
    row("x x", "лишняя переменная «x» (не хватает знака операции?), позиция 3");
    row("2*(x", "не хватает закрывающей скобки, позиция 5");
    row("sin()", "слишком мало аргументов у функции «sin», позиция 5");
    row("1+х", "неизвестное имя «х» (имена пишутся латинскими буквами: x, sin, pi), позиция 3");
    row("x<1?2", "после «?» не хватает части «: значение», позиция 1");
}

void TestFormula::faults()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    try {
        Formula f(text);
        QFAIL("accepted");
    } catch (const FormulaError& error) {
        QCOMPARE(QString::fromUtf8(error.what()), message);
    }
}

QTEST_APPLESS_MAIN(TestFormula)
#include "test_formula.moc"
