// Number texts of the window, the conversion errors, and the standard exception display.

#include "app/Conversions.h"
#include "tests/TestSupport.h"

#include <QLocale>

#include <clocale>
#include <string>

class TestConversions : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void fixedFiveDecimals_data();
    void fixedFiveDecimals();
    void fixedUsesLocaleSeparator();
    void generalFormat_data();
    void generalFormat();
    void integerTexts();
    void floatTexts();
    void badTextsRaiseConversionErrorQuotingTheText_data();
    void badTextsRaiseConversionErrorQuotingTheText();
    void numberTextsIgnoreCLibraryLocale();
    void guardShowsStandardExceptionMessage();
    void guardShowsGenericMessageForOtherErrors();
    void errorEscapingAnEventIsCaughtByTheApplication();
    void clockCountsMilliseconds();
};

void TestConversions::fixedFiveDecimals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0.00000";
    QTest::newRow("negative zero has no sign") << -0.0 << "0.00000";
    QTest::newRow("tiny negative rounds to unsigned zero") << -1e-9 << "0.00000";
    QTest::newRow("half") << 0.5 << "0.50000";
    QTest::newRow("tie rounds away from zero") << 0.015625 << "0.01563";
    QTest::newRow("negative tie rounds away from zero") << -0.015625 << "-0.01563";
    QTest::newRow("1/96") << 1.0 / 96 << "0.01042";
    QTest::newRow("integer") << -14.0 << "-14.00000";
    QTest::newRow("carry into integer part") << 9.999996 << "10.00000";
    // 0.1 + 0.2 is 0.30000000000000004: its 17 digits end in 4, the fifth decimal stays.
    QTest::newRow("17 digits first") << 0.1 + 0.2 << "0.30000";
    QTest::newRow("below the fifth decimal") << 0.000004 << "0.00000";
    QTest::newRow("half of the fifth decimal") << 0.000005 << "0.00001";
    QTest::newRow("large") << 123456789.123456 << "123456789.12346";
    QTest::newRow("more than 17 integer digits") << 1.5e20 << "1.5E20";
}

void TestConversions::fixedFiveDecimals()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(FloatToStrF(value), text);
}

void TestConversions::fixedUsesLocaleSeparator()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QCOMPARE(FloatToStrF(0.5), QString("0,50000"));
    QCOMPARE(FloatToStrF(-1234567.5), QString("-1234567,50000"));
    QCOMPARE(FloatToStr(2.25), QString("2,25"));
}

void TestConversions::generalFormat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole number") << 1234.0 << "1234";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("fraction") << -0.0416666666666667 << "-0.0416666666666667";
    QTest::newRow("15 digits") << 1.0 / 3 << "0.333333333333333";
    QTest::newRow("rounds to 15 digits") << 27.897919771234567 << "27.8979197712346";
    QTest::newRow("small") << 0.0001 << "0.0001";
    QTest::newRow("very small") << 2.5e-7 << "2.5E-7";
    QTest::newRow("very large") << 2e20 << "2E20";
    QTest::newRow("unsigned 32-bit count") << 4294967295.0 << "4294967295";
}

void TestConversions::generalFormat()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(FloatToStr(value), text);
    QCOMPARE(double(StrToFloat(text)), std::stod(text.toStdString()));
}

void TestConversions::integerTexts()
{
    QCOMPARE(IntToStr(-3), QString("-3"));
    QCOMPARE(StrToInt("42"), 42);
    QCOMPARE(StrToInt("-7"), -7);
    QCOMPARE(StrToInt(" 5 "), 5);
    QCOMPARE(StrToInt("+5"), 5);
}

void TestConversions::floatTexts()
{
    QCOMPARE(StrToFloat("-1.12500"), -1.125L);
    QCOMPARE(StrToFloat("2.38419e-07"), 2.38419e-07L);
    QCOMPARE(StrToFloat("+3"), 3.0L);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QCOMPARE(StrToFloat("0,50000"), 0.5L);
    QVERIFY_THROWS_EXCEPTION(EConvertError, StrToFloat("0.5"));
}

void TestConversions::badTextsRaiseConversionErrorQuotingTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("integer");
    QTest::newRow("empty integer") << "" << true;
    QTest::newRow("letters") << "abc" << true;
    QTest::newRow("trailing garbage") << "3x" << true;
    QTest::newRow("fraction as integer") << "2.5" << true;
    QTest::newRow("out of int range") << "99999999999" << true;
    QTest::newRow("empty number") << "" << false;
    QTest::newRow("not a number") << "nan" << false;
    QTest::newRow("infinity") << "inf" << false;
    QTest::newRow("overflow") << "1e99999" << false;
    QTest::newRow("two separators") << "1.2.3" << false;
}

void TestConversions::badTextsRaiseConversionErrorQuotingTheText()
{
    QFETCH(QString, text);
    QFETCH(bool, integer);
    try {
        integer ? StrToInt(text) : StrToFloat(text);
        QFAIL("no conversion error");
    } catch (const EConvertError& e) {
        QString message = QString::fromUtf8(e.what());
        QVERIFY2(message.contains("«" + text + "»"), qPrintable(message));
        QVERIFY2(message.contains(integer ? "целым числом" : "числом"), qPrintable(message));
    }
}

// Constructing the application set the C library's locale from the environment; a Russian one
// would make printf and strtod use a comma. The conversions must not care.
void TestConversions::numberTextsIgnoreCLibraryLocale()
{
    QVERIFY2(std::setlocale(LC_NUMERIC, "ru_RU.UTF-8"), "the tests' Russian locale is missing");
    QCOMPARE(std::localeconv()->decimal_point, std::string(","));
    QCOMPARE(FloatToStrF(0.5), QString("0.50000"));
    QCOMPARE(StrToFloat("0.25"), 0.25L);
    std::setlocale(LC_NUMERIC, "C");
}

void TestConversions::guardShowsStandardExceptionMessage()
{
    RecordingSeam seam;
    runGuarded([] { StrToInt("x7"); });
    QCOMPARE(seam.messages.size(), 1);
    QVERIFY(seam.messages[0].contains("«x7»"));
}

void TestConversions::guardShowsGenericMessageForOtherErrors()
{
    RecordingSeam seam;
    runGuarded([] { throw 42; });
    QCOMPARE(seam.messages.size(), 1);
    QVERIFY(!seam.messages[0].isEmpty());
}

namespace {

class ThrowingObject : public QObject
{
public:
    bool event(QEvent*) override { throw std::runtime_error("сбой обработчика"); }
};

} // namespace

void TestConversions::errorEscapingAnEventIsCaughtByTheApplication()
{
    RecordingSeam seam;
    ThrowingObject object;
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&object, &event);
    QCOMPARE(seam.messages, QStringList {"сбой обработчика"});
}

void TestConversions::clockCountsMilliseconds()
{
    std::uint32_t start = clockTicks();
    QTest::qSleep(30);
    std::uint32_t elapsed = clockTicks() - start;
    QVERIFY2(elapsed >= 29 && elapsed < 2000, qPrintable(QString::number(elapsed)));
}

SPLINEWAVE_TEST_MAIN(TestConversions)
#include "test_conversions.moc"
