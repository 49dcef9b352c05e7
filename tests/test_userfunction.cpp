// The function f(x) typed by the user: the formula language, bit-exactness of the initial
// formula, the Russian message with the position of each kind of fault, and what the forward
// transform does with a typed function.

#include "numerics/UserFunction.h"
#include "tests/TestSupport.h"

#include <QDir>

#include <bit>

class TestUserFunction : public WindowTest
{
    Q_OBJECT

private slots:
    void initialFormulaIsTheLiteralOneMinusEightX();
    void values_data();
    void values();
    void faults_data();
    void faults();
    void polynomialsBelowTheDegreeComeBack_data();
    void polynomialsBelowTheDegreeComeBack();
    void badFunctionsChangeNothing_data();
    void badFunctionsChangeNothing();

private:
    void build(bool forward);
    QString screen() const;
};

// Bit for bit, so that the default function changes no number the program computes.
void TestUserFunction::initialFormulaIsTheLiteralOneMinusEightX()
{
    const UserFunction f("1-8*x");
    for (int i = -1000; i <= 3000; ++i) {
        const double x = i / 2000.0 + 1e-9 * i;
        QCOMPARE(std::bit_cast<quint64>(f(x)), std::bit_cast<quint64>(1 - 8 * x));
    }
}

void TestUserFunction::values_data()
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

void TestUserFunction::values()
{
    QFETCH(QString, text);
    QFETCH(double, x);
    QFETCH(double, value);
    QCOMPARE(UserFunction(text)(x), value);
}

void TestUserFunction::faults_data()
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

void TestUserFunction::faults()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    try {
        UserFunction f(text);
        QFAIL("accepted");
    } catch (const UserFunctionError& error) {
        QCOMPARE(QString::fromUtf8(error.what()), message);
    }
}

void TestUserFunction::build(bool forward)
{
    (forward ? form->rbForward : form->rbBack)->click();
    form->btnBuild->click();
}

// Everything a failed command must leave as it was: the title, the status line and the texts of
// the three result grids.
QString TestUserFunction::screen() const
{
    QStringList texts {form->windowTitle(), form->StatusBar->currentMessage()};
    for (const TStringGrid* grid : {form->FunctionValueGR, form->CoeffCGR, form->CoeffDGR})
        for (int r = 0; r < grid->rowCount(); ++r)
            texts << row(grid, r, 0, grid->colCount());
    return texts.join('\n');
}

void TestUserFunction::polynomialsBelowTheDegreeComeBack_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<QString>("text");
    QTest::newRow("m=2, line") << 2 << "2,5*x-1";
    QTest::newRow("m=3, parabola") << 3 << "3*x^2-x";
    QTest::newRow("m=4, cubic") << 4 << "x^3-0.5*x^2+1";
}

// Forward, then inverse from the coefficients: the samples of f again, to 1e-9 (the basis of
// m = 4 is ill-conditioned: its wavelet coefficients reach 1e5). The title names the function.
void TestUserFunction::polynomialsBelowTheDegreeComeBack()
{
    QFETCH(int, m);
    QFETCH(QString, text);
    chooseDegree(m);
    form->edtFunction->setText(text);
    build(true);
    QVERIFY(form->windowTitle().endsWith("[0,1], f(x)=" + text));
    build(false);
    const UserFunction f(text);
    for (const auto& point : form->points)
        QVERIFY_NEAR(form->funcValues[&point - &form->points[0]][0], f(point[0]), 1e-9);
    QVERIFY(form->windowTitle().endsWith("[0,1]"));
    QVERIFY(seam.messages.isEmpty());
}

void TestUserFunction::badFunctionsChangeNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << ""
                           << "Ошибка в формуле f(x): формула пуста, позиция 1";
    QTest::newRow("cut off") << "x+"
                             << "Ошибка в формуле f(x): формула оборвана, позиция 3";
    QTest::newRow("unknown name") << "foo(x)"
                                  << "Ошибка в формуле f(x): неизвестное имя «foo», позиция 1";
    QTest::newRow("pole") << "1/(x-0,5)"
                          << "Функция f(x)=1/(x-0,5) не определена или бесконечна при x = 0.5";
    QTest::newRow("outside the domain")
        << "sqrt(x-2)"
        << "Функция f(x)=sqrt(x-2) не определена или бесконечна при x = 0";
    QTest::newRow("no operator")
        << "x x"
        << "Ошибка в формуле f(x): лишняя переменная «x» (не хватает знака операции?), позиция 3";
}

// A forward Build with a function that cannot be decomposed: exactly one message, and the
// results of the last Build, the title, the status line and the saved files stay.
void TestUserFunction::badFunctionsChangeNothing()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    build(true);
    form->btnSaveCoeffToFile->click();
    form->btnFunctionValues->click();
    const QString before = screen();
    const QStringList files = QDir().entryList(QDir::Files);
    seam.messages.clear();
    form->edtFunction->setText(text);
    QVERIFY(form->edtFunction->toolTip() == message || message.startsWith("Функция"));
    QVERIFY(seam.messages.isEmpty()); // typing does not nag
    build(true);
    QCOMPARE(seam.messages, QStringList {message});
    QCOMPARE(screen(), before);
    QCOMPARE(QDir().entryList(QDir::Files), files);
}

SPLINEWAVE_TEST_MAIN(TestUserFunction)
#include "test_userfunction.moc"
