// Number texts of the window, the conversion errors, and the standard exception display.

#include "app/Conversions.h"
#include "tests/TestSupport.h"

#include <clocale>

class TestConversions : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void numberTexts_data();
    void numberTexts();
    void localeSeparatorButNotTheCLibrarys();
    void badTextsRaiseConversionErrorQuotingTheText_data();
    void badTextsRaiseConversionErrorQuotingTheText();
    void escapingErrorsAreShownNeverThrownFurther();
};

void TestConversions::numberTexts_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("fixed"); // five decimals
    QTest::addColumn<QString>("general"); // at most 15 significant digits
    QTest::newRow("zero") << 0.0 << "0.00000"
                          << "0";
    QTest::newRow("negative zero has no sign") << -0.0 << "0.00000"
                                               << "0";
    QTest::newRow("tiny negative rounds to unsigned zero") << -1e-9 << "0.00000"
                                                           << "-1E-9";
    QTest::newRow("tie rounds away from zero") << 0.015625 << "0.01563"
                                               << "0.015625";
    QTest::newRow("negative tie") << -0.015625 << "-0.01563"
                                  << "-0.015625";
    QTest::newRow("carry into the integer part") << 9.999996 << "10.00000"
                                                 << "9.999996";
    QTest::newRow("17 digits first: 0.30000000000000004") << 0.1 + 0.2 << "0.30000"
                                                          << "0.3";
    QTest::newRow("rounds to 15 digits") << 27.897919771234567 << "27.89792"
                                         << "27.8979197712346";
    QTest::newRow("half of the fifth decimal") << 0.000005 << "0.00001"
                                               << "5E-6";
    QTest::newRow("whole count") << 4294967295.0 << "4294967295.00000"
                                 << "4294967295";
    QTest::newRow("more than 17 integer digits") << 1.5e20 << "1.5E20"
                                                 << "1.5E20";
}

void TestConversions::numberTexts()
{
    QFETCH(double, value);
    QFETCH(QString, fixed);
    QFETCH(QString, general);
    QCOMPARE(FloatToStrF(value), fixed);
    QCOMPARE(FloatToStr(value), general);
    QCOMPARE(double(StrToFloat(general)), general == "0" ? 0.0 : std::stod(general.toStdString()));
}

// Qt set the C library's locale from the environment; a Russian one makes printf and strtod use
// a comma. The window's texts follow QLocale and nothing else.
void TestConversions::localeSeparatorButNotTheCLibrarys()
{
    QVERIFY2(std::setlocale(LC_NUMERIC, "ru_RU.UTF-8"), "the tests' Russian locale is missing");
    QCOMPARE(FloatToStrF(0.5), QString("0.50000"));
    QCOMPARE(StrToFloat("0.25"), 0.25L);
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QCOMPARE(FloatToStrF(-1234567.5), QString("-1234567,50000"));
    QCOMPARE(FloatToStr(2.25), QString("2,25"));
    QCOMPARE(StrToFloat("0,50000"), 0.5L);
    QVERIFY_THROWS_EXCEPTION(EConvertError, StrToFloat("0.5"));
    QCOMPARE(StrToInt(" +5 "), 5);
}

void TestConversions::badTextsRaiseConversionErrorQuotingTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("integer");
    for (const char* text : {"", "abc", "3x", "2.5", "99999999999"})
        QTest::addRow("integer «%s»", text) << QString(text) << true;
    for (const char* text : {"", "nan", "inf", "1e99999", "1.2.3"})
        QTest::addRow("number «%s»", text) << QString(text) << false;
}

void TestConversions::badTextsRaiseConversionErrorQuotingTheText()
{
    QFETCH(QString, text);
    QFETCH(bool, integer);
    try {
        integer ? StrToInt(text) : StrToFloat(text);
        QFAIL("no conversion error");
    } catch (const EConvertError& e) {
        QCOMPARE(QString::fromUtf8(e.what()),
            "Текст «" + text + "» не является " + (integer ? "целым числом" : "числом"));
    }
}

namespace {

class ThrowingObject : public QObject
{
public:
    bool event(QEvent*) override { throw std::runtime_error("сбой обработчика"); }
};

} // namespace

void TestConversions::escapingErrorsAreShownNeverThrownFurther()
{
    RecordingSeam seam;
    runGuarded([] { StrToInt("x7"); });
    runGuarded([] { throw 42; });
    ThrowingObject object; // an error escaping an event reaches the application object
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&object, &event);
    QCOMPARE(seam.messages,
        (QStringList {"Текст «x7» не является целым числом",
            "Непредвиденная ошибка: операция прервана.", "сбой обработчика"}));
}

SPLINEWAVE_TEST_MAIN(TestConversions)
#include "test_conversions.moc"
