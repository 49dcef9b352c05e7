// The function f(x) typed by the user: the formula language, the initial formula bit for bit,
// and functions that cannot be decomposed.

#include "core/UserFunction.h"
#include "tests/TestSupport.h"

#include <bit>

class TestUserFunction : public WindowTest
{
    Q_OBJECT

private slots:
    void language();
    void batchIsPointwise();
    void badFunctionsChangeNothing_data();
    void badFunctionsChangeNothing();
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

// Many points at once (more than one bulk of the parser) give the doubles of one point at a
// time, NaN and infinities included; so do the spline's.
void TestUserFunction::batchIsPointwise()
{
    std::vector<double> x(10000), fx(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = -0.5 + i / 4000.0 + 1e-9 * i;
    auto check = [&](const auto& f, const char* what) {
        f(std::span<const double>(x), std::span<double>(fx));
        for (std::size_t i = 0; i < x.size(); ++i)
            QVERIFY2(std::bit_cast<quint64>(fx[i]) == std::bit_cast<quint64>(f(x[i])), what);
    };
    for (const char* text : {TMainForm::initialFunction, "x", "2", "sin(2*pi*x)*exp(-x)", "1/x",
             "sqrt(x)", "x < 0,5 ? x^3 : ln(x)", "max(x;0,25)-floor(3*x)"})
        check(UserFunction(text), text);
    check(Interpolant(SampledData {{-1, 0, 0.5, 2}, {0, 1, -3, 2}}), "spline");
}

void TestUserFunction::badFunctionsChangeNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const char* const wrong[][2] = {{"", "формула пуста, позиция 1"},
        {"x+", "формула оборвана, позиция 3"}, {"foo(x)", "неизвестное имя «foo», позиция 1"},
        {"x x", "лишняя переменная «x» (не хватает знака операции?), позиция 3"},
        {"1+х", "неизвестное имя «х» (имена пишутся латинскими буквами: x, sin, pi), позиция 3"},
        {"2*sin()", "слишком мало аргументов у функции «sin», позиция 7"}};
    for (auto [text, what] : wrong)
        QTest::addRow("«%s»", text) << text << "Ошибка в формуле f(x): " + QString(what);
    // Poles at a sample point and at b, which only the quadrature meets; outside the domain.
    for (auto [text, x] : {std::pair {"1/(x-0,5)", "0.5"}, {"1/(x-1)", "1"}, {"sqrt(x-2)", "0"}})
        QTest::addRow("«%s»", text)
            << text
            << QString("Функция f(x)=%1 не определена или бесконечна при x = %2").arg(text, x);
}

// Typing marks the field and says why in its tooltip, without a message box; a forward Build
// then shows exactly one message, and the results, the title and the status line of the last
// Build stay.
void TestUserFunction::badFunctionsChangeNothing()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    form->btnBuild->click();
    auto screen = [this] {
        QStringList texts {form->windowTitle(), form->StatusBar->currentMessage()};
        for (const TStringGrid* grid : {form->FunctionValueGR, form->CoeffCGR, form->CoeffDGR})
            for (int r = 0; r < grid->rowCount(); ++r)
                texts << row(grid, r, 0, grid->colCount());
        return texts;
    };
    const QStringList before = screen();
    seam.messages.clear();
    form->edtFunction->setText(text);
    const bool parses = message.startsWith("Функция");
    QCOMPARE(form->edtFunction->toolTip() == message, !parses);
    QCOMPARE(form->edtFunction->styleSheet().contains("red"), !parses);
    QVERIFY(seam.messages.isEmpty());
    form->btnBuild->click();
    QCOMPARE(seam.messages, QStringList {message});
    QCOMPARE(screen(), before);
}

SPLINEWAVE_TEST_MAIN(TestUserFunction)
#include "test_userfunction.moc"
