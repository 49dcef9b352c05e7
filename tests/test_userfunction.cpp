// The function f(x) typed by the user: the formula language, the initial formula bit for bit,
// polynomials decomposed and rebuilt, and functions that cannot be decomposed.

#include "numerics/UserFunction.h"
#include "tests/TestSupport.h"

#include <QDir>

#include <bit>

class TestUserFunction : public WindowTest
{
    Q_OBJECT

private slots:
    void language();
    void polynomialsBelowTheDegreeComeBack_data();
    void polynomialsBelowTheDegreeComeBack();
    void badFunctionsChangeNothing_data();
    void badFunctionsChangeNothing();

private:
    void build(bool forward)
    {
        (forward ? form->rbForward : form->rbBack)->click();
        form->btnBuild->click();
    }
};

// The initial formula is the built-in 1 - 8x bit for bit, so that it changes no number the
// program computes; then one value per feature of the language.
void TestUserFunction::language()
{
    const UserFunction initial(TMainForm::initialFunction);
    for (int i = -1000; i <= 3000; ++i) {
        const double x = i / 2000.0 + 1e-9 * i;
        QCOMPARE(std::bit_cast<quint64>(initial(x)), std::bit_cast<quint64>(1 - 8 * x));
    }
    const std::tuple<const char*, double, double> cases[] = {{"0,5*x", 3, 1.5}, {"0.5*x", 3, 1.5},
        {"max(x;0,25)", 0.125, 0.25}, {"min(x;2;-1)", 0.5, -1}, {"-x^2+3*(x-1)", 2, -1},
        {"sin(pi/2)+ln(e)", 0, 2}, {"floor(x)+ceil(x)", 2.5, 5}, {"sign(x)*sqrt(abs(x))", -4, -2},
        {"log10(1000)+exp(0)", 0, 4}, {"x < 0,5 ? 1 : 0", 0.25, 1}, {"x < 0,5 ? 1 : 0", 0.75, 0}};
    for (auto [text, x, value] : cases)
        QVERIFY2(UserFunction(text)(x) == value, text);
}

void TestUserFunction::polynomialsBelowTheDegreeComeBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("exact"); // the quadrature rule
    QTest::newRow("m=2, line") << "2,5*x-1" << false;
    QTest::newRow("m=3, parabola") << "3*x^2-x" << false;
    QTest::newRow("m=3, parabola, exact rule") << "3*x^2-x" << true;
    QTest::newRow("m=4, cubic") << "x^3-0.5*x^2+1" << false;
    QTest::newRow("m=4, cubic, exact rule") << "x^3-0.5*x^2+1" << true;
}

// Forward, then inverse from the coefficients: the samples of f again, to 1e-9 (the basis of
// m = 4 is ill-conditioned: its wavelet coefficients reach 1e5). The title names the function
// after the forward transform only.
void TestUserFunction::polynomialsBelowTheDegreeComeBack()
{
    QFETCH(QString, text);
    QFETCH(bool, exact);
    form->chExactIntegration->setChecked(exact);
    form->edtFunction->setText(text);
    build(true);
    QVERIFY(form->windowTitle().endsWith(
        (exact ? "[0,1], точное интегрирование, f(x)=" : "[0,1], f(x)=") + text));
    build(false);
    const UserFunction f(text);
    for (std::size_t i = 0; i < form->points.size(); ++i)
        QVERIFY_NEAR(form->funcValues[i][0], f(form->points[i][0]), 1e-9);
    QVERIFY(form->windowTitle().endsWith(exact ? "интегрирование" : "[0,1]"));
    QVERIFY(seam.messages.isEmpty());
}

void TestUserFunction::badFunctionsChangeNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString error = "Ошибка в формуле f(x): ";
    QTest::newRow("empty") << "" << error + "формула пуста, позиция 1";
    QTest::newRow("cut off") << "x+" << error + "формула оборвана, позиция 3";
    QTest::newRow("unknown name") << "foo(x)" << error + "неизвестное имя «foo», позиция 1";
    QTest::newRow("no operator") << "x x"
                                 << error
            + "лишняя переменная «x» (не хватает знака операции?), позиция 3";
    QTest::newRow("Cyrillic x") << "1+х"
                                << error
            + "неизвестное имя «х» (имена пишутся латинскими буквами: x, sin, pi), позиция 3";
    QTest::newRow("too few arguments")
        << "2*sin()" << error + "слишком мало аргументов у функции «sin», позиция 7";
    QTest::newRow("pole") << "1/(x-0,5)"
                          << "Функция f(x)=1/(x-0,5) не определена или бесконечна при x = 0.5";
    QTest::newRow("pole at b, a quadrature point only")
        << "1/(x-1)"
        << "Функция f(x)=1/(x-1) не определена или бесконечна при x = 1";
    QTest::newRow("outside the domain")
        << "sqrt(x-2)"
        << "Функция f(x)=sqrt(x-2) не определена или бесконечна при x = 0";
}

// Typing marks the field and says why in its tooltip, without a message box; a forward Build
// then shows exactly one message, and the results, the title, the status line and the saved
// files of the last Build stay.
void TestUserFunction::badFunctionsChangeNothing()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    build(true);
    form->btnSaveCoeffToFile->click();
    form->btnFunctionValues->click();
    auto screen = [this] {
        QStringList texts {form->windowTitle(), form->StatusBar->currentMessage()};
        for (const TStringGrid* grid : {form->FunctionValueGR, form->CoeffCGR, form->CoeffDGR})
            for (int r = 0; r < grid->rowCount(); ++r)
                texts << row(grid, r, 0, grid->colCount());
        return texts << QDir().entryList(QDir::Files);
    };
    const QStringList before = screen();
    seam.messages.clear();
    form->edtFunction->setText(text);
    const bool parses = message.startsWith("Функция");
    QCOMPARE(form->edtFunction->toolTip() == message, !parses);
    QCOMPARE(form->edtFunction->styleSheet().contains("red"), !parses);
    QVERIFY(seam.messages.isEmpty());
    build(true);
    QCOMPARE(seam.messages, QStringList {message});
    QCOMPARE(screen(), before);
}

SPLINEWAVE_TEST_MAIN(TestUserFunction)
#include "test_userfunction.moc"
