// Number texts of the window, the conversion errors, and the standard exception display.

#include "app/Conversions.h"
#include "tests/TestSupport.h"

#include <clocale>

namespace {

class ThrowingObject : public QObject
{
public:
    bool event(QEvent*) override { throw std::runtime_error("сбой обработчика"); }
};

} // namespace

class TestConversions : public WindowTest
{
    Q_OBJECT

private slots:
    void numberTexts()
    {
        struct Case
        {
            double value;
            const char* fixed; // five decimals
            const char* general; // at most 15 significant digits
        };
        // clang-format off
        const Case cases[] = {{0.0, "0.00000", "0"}, {-0.0, "0.00000", "0"}, // no sign on zero
            {-1e-9, "0.00000", "-1E-9"}, // rounds to an unsigned zero
            {0.015625, "0.01563", "0.015625"}, {-0.015625, "-0.01563", "-0.015625"}, // ties away
            {9.999996, "10.00000", "9.999996"}, // carry into the integer part
            {0.1 + 0.2, "0.30000", "0.3"}, // 0.30000000000000004: 17 digits first
            {27.897919771234567, "27.89792", "27.8979197712346"}, {0.000005, "0.00001", "5E-6"},
            {4294967295.0, "4294967295.00000", "4294967295"}, {1.5e20, "1.5E20", "1.5E20"}};
        // clang-format on
        for (const Case& c : cases) {
            QCOMPARE(FloatToStrF(c.value), QString(c.fixed));
            QCOMPARE(FloatToStr(c.value), QString(c.general));
            QVERIFY_EXACT(double(StrToFloat(c.general)), std::stod(c.general));
        }
    }

    // Qt set the C library's locale from the environment; a Russian one makes printf and
    // strtod use a comma. The window's texts follow QLocale and nothing else.
    void localeSeparatorButNotTheCLibrarys()
    {
        QVERIFY(russianLocale());
        QLocale::setDefault(QLocale::c());
        QCOMPARE(FloatToStrF(0.5), QString("0.50000"));
        QVERIFY(StrToFloat("0.25") == 0.25L);
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        QCOMPARE(FloatToStrF(-1234567.5), QString("-1234567,50000"));
        QCOMPARE(FloatToStr(2.25), QString("2,25"));
        QVERIFY(StrToFloat("0,50000") == 0.5L);
        QVERIFY_THROWS_EXCEPTION(EConvertError, StrToFloat("0.5"));
        QCOMPARE(StrToInt(" +5 "), 5);
    }

    // Conversion errors quote the text; errors that escape an event reach the application
    // object and are shown, never thrown further; one that is not a standard exception gets
    // a message of its own.
    void errorsAreShownNeverThrownFurther()
    {
        QStringList expected;
        for (const char* text : {"", "abc", "3x", "2.5", "99999999999"}) {
            runGuarded([&] { StrToInt(text); });
            expected << QString("Текст «%1» не является целым числом").arg(text);
        }
        for (const char* text : {"", "nan", "inf", "1e99999", "1.2.3"}) {
            runGuarded([&] { StrToFloat(text); });
            expected << QString("Текст «%1» не является числом").arg(text);
        }
        runGuarded([] { throw 42; });
        ThrowingObject object;
        QEvent event(QEvent::User);
        QCoreApplication::sendEvent(&object, &event);
        QCOMPARE(seam.messages,
            expected << "Непредвиденная ошибка: операция прервана."
                     << "сбой обработчика");
    }
};

SPLINEWAVE_TEST_MAIN(TestConversions)
#include "test_conversions.moc"
