// splinewave-cli: its exit statuses and messages, its coefficients beside the window's, its
// coefficient files loaded in the window, and the inverse and compression of its files.

#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSpinBox>

#include <algorithm>

class TestCli : public WindowTest
{
    Q_OBJECT

private slots:
    void exitStatuses_data();
    void exitStatuses();
    void sameDoublesAsTheWindow_data();
    void sameDoublesAsTheWindow();
    void windowLoadsCoefficientFiles();
    void inverseAndCompress();

private:
    struct Run
    {
        int status;
        QByteArray out;
        QString err;
    };
    static Run cli(const QStringList& arguments)
    {
        QProcess process;
        process.start(SPLINEWAVE_CLI, arguments);
        if (!process.waitForFinished(120'000) || process.exitStatus() != QProcess::NormalExit)
            return {-1, {}, {}};
        return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
    }
    static bool write(const QString& name, const QByteArray& text)
    {
        QFile file(name);
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    }
    // The window's coefficients in a coefficient file, through the save popup's item.
    QByteArray windowCoefficients()
    {
        seam.fileAnswers << "window.csv";
        form->miCoeffCsv->trigger();
        return contents("window.csv");
    }
};

void TestCli::exitStatuses_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message"); // the start of stderr
    const QString usage = "Подробнее: splinewave-cli --help\n";
    auto row = [](const char* name, const QString& arguments, int status, const QString& message) {
        QTest::newRow(name) << arguments.split('|', Qt::SkipEmptyParts) << status << message;
    };
    row("forward", "forward|-m|3|-J|5|-f|sin(2*pi*x)|-o|out.csv", 0, "");
    row("basis", "basis|-m|2|-J|3|--exact|-o|out.csv", 0, "");
    row("inverse", "inverse|good.csv|--points|5|-o|out.csv", 0, "");
    row("compress", "compress|good.csv|--keep|3|-o|out.csv", 0, "сохранено 3 из 6 коэффициентов c");
    row("help", "--help", 0, "");
    row("no command", "", 2,
        "splinewave-cli: не задана команда (forward, inverse, compress или basis)\n" + usage);
    row("unknown command", "backward|-o|out.csv", 2,
        "splinewave-cli: неизвестная команда «backward»\n" + usage);
    row("unknown option", "forward|--fast|-o|out.csv", 2, "splinewave-cli: Неизвестный параметр");
    row("option of another command", "inverse|good.csv|-m|3", 2,
        "splinewave-cli: команда inverse не принимает параметр -m\n" + usage);
    row("m = 5", "forward|-m|5|-J|5|-f|x|-o|out.csv", 2,
        "splinewave-cli: порядок сплайна -m должен быть 2, 3 или 4, а не 5\n" + usage);
    row("J = 23", "forward|-m|2|-J|23|-f|x|-o|out.csv", 2, "splinewave-cli: Уровень J=23");
    row("J not a number", "basis|-m|3|-J|x", 2,
        "splinewave-cli: значение -J «x» не целое число\n" + usage);
    row("wrong formula", "forward|-m|2|-J|3|-f|x+|-o|out.csv", 2,
        "splinewave-cli: Ошибка в формуле f(x): формула оборвана, позиция 3\n" + usage);
    row("formula and data", "forward|-m|2|-J|3|-f|x|--data|good.csv", 2,
        "splinewave-cli: задайте функцию одним способом: -f ФОРМУЛА или --data ФАЙЛ\n" + usage);
    row("two compressions", "compress|good.csv|--keep|1|--threshold|1", 2,
        "splinewave-cli: задайте ровно одно из --threshold T и --keep K\n" + usage);
    row("one point", "inverse|good.csv|--points|1", 2,
        "splinewave-cli: --points должно быть не меньше 2\n" + usage);
    row("two files", "inverse|good.csv|good.csv", 2,
        "splinewave-cli: нужен ровно один файл коэффициентов\n" + usage);
    row("f not finite", "forward|-m|2|-J|3|-f|1/(x-0.5)|-o|out.csv", 1, "splinewave-cli: ");
    row("missing data file", "forward|-m|2|-J|3|--data|none.csv|-o|out.csv", 1,
        "splinewave-cli: Файл «none.csv»: файл не найден (возможно, он удалён или "
        "переименован).\n");
    row("damaged coefficient file", "inverse|bad.csv|-o|out.csv", 1,
        "splinewave-cli: Файл «bad.csv», строка 11: нет коэффициента c,3,1.\n");
    row("unwritable output", "forward|-m|2|-J|3|-f|x|-o|нет/out.csv", 1,
        "splinewave-cli: Файл «нет/out.csv»: не удалось записать: ");
}

// The status and the message; -o gets a file only when the command succeeds.
void TestCli::exitStatuses()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    const Run good = cli({"forward", "-m", "2", "-J", "3", "-f", "1-8*x"});
    QVERIFY(write("good.csv", good.out));
    QVERIFY(write("bad.csv", good.out.left(good.out.lastIndexOf("c,3,1"))));
    const Run run = cli(arguments);
    QCOMPARE(run.status, status);
    QVERIFY2(
        message.isEmpty() ? run.err.isEmpty() : run.err.startsWith(message), qPrintable(run.err));
    QCOMPARE(QFile::exists("out.csv"), status == 0 && arguments.contains("-o"));
    if (arguments == QStringList("--help"))
        QVERIFY(run.out.startsWith("Использование:\n  splinewave-cli forward "));
}

void TestCli::sameDoublesAsTheWindow_data()
{
    QTest::addColumn<int>("J");
    QTest::addColumn<bool>("exact");
    QTest::addColumn<bool>("data");
    QTest::newRow("m=2 J=7") << 7 << false << false;
    QTest::newRow("m=3 J=9 exact") << 9 << true << false;
    QTest::newRow("m=4 J=8") << 8 << false << false;
    QTest::newRow("m=3 J=6 data") << 6 << false << true;
}

// The same m, J, rule and f give the same coefficient file, digit for digit, from the window's
// forward Build and from the command line.
void TestCli::sameDoublesAsTheWindow()
{
    QFETCH(int, J);
    QFETCH(bool, exact);
    QFETCH(bool, data);
    const int m = form->m;
    const QString formula = "sin(2*pi*x)*exp(-x)";
    QStringList arguments = {"forward", "-m", QString::number(m), "-J", QString::number(J)};
    if (exact) {
        form->chExactIntegration->click();
        arguments << "--exact";
    }
    form->sbFinestLevel->setValue(J);
    if (data) {
        QVERIFY(write("сигнал.csv", "0\n0.25\n1\n0.5\n-0.75\n0\n"));
        seam.fileAnswers << QDir::current().filePath("сигнал.csv");
        form->btnLoadData->click();
        arguments << "--data"
                  << "сигнал.csv";
    } else {
        form->edtFunction->setText(formula);
        arguments << "-f" << formula;
    }
    form->btnBuild->click();
    const Run run = cli(arguments);
    QCOMPARE(run.status, 0);
    QVERIFY(run.out.contains(data ? "; f=data:сигнал.csv\n" : "; f=" + formula.toUtf8() + "\n"));
    QCOMPARE(windowCoefficients(), run.out);
    QVERIFY(seam.messages.last().startsWith("Коэффициенты сохранены"));
}

// A file of another degree, level and rule sets the window up for them, timed, and its
// coefficients come back to the digit; a damaged file, or one of a level above the window's,
// changes nothing and its message names the line. Forward mode offers no load.
void TestCli::windowLoadsCoefficientFiles()
{
    QVERIFY(!form->btnLoadCoeffCsv->isEnabled());
    const Run run = cli({"forward", "-m", "4", "-J", "6", "--exact", "-f", "x^3-x", "-o", "k.csv"});
    QCOMPARE(run.status, 0);
    QList<QByteArray> lines = contents("k.csv").split('\n');
    const auto damaged = std::find_if(lines.begin(), lines.end(),
        [](const QByteArray& line) { return line.startsWith("c,5,-1,"); });
    QVERIFY(damaged != lines.end());
    *damaged = "c,5,-1,x";
    QVERIFY(write("bad.csv", lines.join('\n')));
    QVERIFY(cli({"forward", "-m", "2", "-J", "17", "-f", "x", "-o", "deep.csv"}).status == 0);
    form->rbBack->click();
    const QByteArray before = windowCoefficients();
    seam.fileAnswers = {"bad.csv", "deep.csv"};
    form->btnLoadCoeffCsv->click();
    form->btnLoadCoeffCsv->click();
    QCOMPARE(seam.messages.mid(1),
        QStringList({"Файл «bad.csv», строка " + QString::number(damaged - lines.begin() + 1)
                + ": «x» — не конечное число.",
            "Файл «deep.csv», строка 2: окно строит уровни J до 16, а в файле J=17 (такие файлы "
            "обрабатывает splinewave-cli)."}));
    QCOMPARE(form->cbStepSplain->currentText(), "2");
    QCOMPARE(windowCoefficients(), before);
    seam.fileAnswers << "k.csv";
    form->btnLoadCoeffCsv->click();
    QVERIFY_TIMED_STATUS("Вычислины коэффициенты для m=4. Время вычисления ");
    QVERIFY(form->cbStepSplain->currentText() == "4" && form->sbFinestLevel->value() == 6);
    QVERIFY(form->sbCoarsestLevel->value() == 3 && form->chExactIntegration->isChecked());
    QCOMPARE(windowCoefficients(), contents("k.csv"));
}

// Cubics are reproduced at m = 4: the inverse at the sample points and at N points of [0, 1]
// with both ends gives f back; a zero threshold keeps every coefficient and loses nothing, and
// keeping none zeroes every c.
void TestCli::inverseAndCompress()
{
    QVERIFY(cli({"forward", "-m", "4", "-J", "5", "-f", "x^3-x", "-o", "k.csv"}).status == 0);
    for (const QStringList& extra : {QStringList(), QStringList {"--points", "7"}}) {
        const Run run = cli(QStringList {"inverse", "k.csv"} + extra);
        QStringList lines = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
        QVERIFY(run.status == 0 && lines.takeFirst() == "x,value");
        QCOMPARE(lines.size(), extra.isEmpty() ? 32 : 7);
        QCOMPARE(lines.last().section(',', 0, 0), extra.isEmpty() ? "0.96875" : "1");
        for (const QString& line : lines) {
            const double x = line.section(',', 0, 0).toDouble();
            // The expansion of a cubic is the cubic up to the rounding of the transform.
            QVERIFY_NEAR(line.section(',', 1).toDouble(), x * x * x - x, 1e-12);
        }
    }
    const Run all = cli({"compress", "k.csv", "--threshold", "0"});
    QCOMPARE(all.err,
        "сохранено 28 из 28 коэффициентов c; погрешность восстановления: наибольшая 0, "
        "среднеквадратичная 0\n");
    QCOMPARE(all.out, contents("k.csv"));
    const Run none = cli({"compress", "k.csv", "--keep", "0"});
    QVERIFY(none.status == 0 && none.err.startsWith("сохранено 0 из 28 коэффициентов c"));
    for (const QByteArray& line : none.out.split('\n'))
        QVERIFY(!line.startsWith("c,") || line.endsWith(",0"));
}

SPLINEWAVE_TEST_MAIN(TestCli)
#include "test_cli.moc"
