// splinewave-cli: its exit statuses and messages, its coefficient files beside the window's and
// loaded in it, and the inverse and compression of its files.

#include "tests/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QSpinBox>

class TestCli : public WindowTest
{
    Q_OBJECT

private slots:
    void exitStatuses();
    void coefficientFilesInTheWindow();
    void inverseAndCompress();

private:
    struct Run
    {
        int status;
        QByteArray out;
        QString err;
    };
    // The program on the arguments, which are separated by blanks.
    static Run cli(const QString& arguments)
    {
        QProcess process;
        process.start(SPLINEWAVE_CLI, arguments.split(' ', Qt::SkipEmptyParts));
        if (!process.waitForFinished(120'000) || process.exitStatus() != QProcess::NormalExit)
            return {-1, {}, {}};
        return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
    }
    // The window's coefficients in a coefficient file, through the save popup's item.
    QByteArray windowCoefficients()
    {
        seam.fileAnswers << "window.csv";
        form->miCoeffCsv->trigger();
        return contents("window.csv");
    }
};

// The status and the start of the message, which a usage error ends with the hint to --help;
// -o gets a file only when the command succeeds.
void TestCli::exitStatuses()
{
    const QByteArray good = cli("forward -m 2 -J 3 -f 1-8*x").out;
    QVERIFY(write("good.csv", good) && write("bad.csv", good.left(good.lastIndexOf("c,3,1"))));
    const std::tuple<const char*, int, const char*> cases[] = {
        {"forward -m 3 -J 5 -f sin(2*pi*x)", 0, ""},
        {"basis -m 2 -J 3 --exact", 0, ""},
        {"--help", 0, ""},
        {"", 2, "не задана команда (forward, inverse, compress или basis)\n"},
        {"backward", 2, "неизвестная команда «backward»\n"},
        {"forward --fast", 2, "Неизвестный параметр"},
        {"inverse good.csv -m 3", 2, "команда inverse не принимает параметр -m\n"},
        {"forward -m 5 -J 5 -f x", 2, "порядок сплайна -m должен быть 2, 3 или 4, а не 5\n"},
        {"basis -m 4 -J 3", 2, "Уровень J=3 вне допустимых пределов для m=4 и J0=2: от 4 до 22.\n"},
        {"forward -m 2 -J 3 -f x+", 2, "Ошибка в формуле f(x): формула оборвана, позиция 3\n"},
        {"forward -m 2 -J 3 -f x --data good.csv", 2, "задайте функцию одним способом: -f ФОРМУЛА"},
        {"compress good.csv --keep 1 --threshold 1", 2, "задайте ровно одно из --threshold T и"},
        {"inverse good.csv --points 1", 2, "--points должно быть не меньше 2\n"},
        {"forward -m 2 -J 3 -f 1/(x-0.5)", 1, ""},
        {"forward -m 2 -J 3 --data none.csv", 1, "Файл «none.csv»: файл не найден (возможно"},
        {"inverse bad.csv", 1, "Файл «bad.csv», строка 11: нет коэффициента c,3,1.\n"},
        {"forward -m 2 -J 3 -f x -o нет/out.csv", 1, "Файл «нет/out.csv»: не удалось записать: "},
        {"forward -m 2 -J 99999999999 -f x", 2,
            "значение -J «99999999999» вне допустимого диапазона\n"},
        {"forward -m 2 -J 3 --J0 x -f x", 2, "значение --J0 «x» не целое число\n"},
        {"basis -m 3 -J 5 --J0 5", 2, "Уровень J=5 вне допустимых пределов для m=3 и J0=5"},
        {"forward -m 3 -J 6 --J0 4 -f x", 0, ""},
        {"compress good.csv --threshold 0,5", 0, "сохранено 0 из 6 коэффициентов c"},
    };
    for (const auto& [line, status, message] : cases) {
        const Run run = cli(line + QString(QString(line).contains("-o ") ? "" : " -o out.csv"));
        const QString expected = status ? "splinewave-cli: " + QString(message) : message;
        QVERIFY2(run.status == status
                && (expected.isEmpty() ? run.err.isEmpty() : run.err.startsWith(expected))
                && run.err.endsWith("Подробнее: splinewave-cli --help\n") == (status == 2),
            qPrintable(line + (": " + run.err)));
        const bool help = line == QString("--help");
        QCOMPARE(QFile::remove("out.csv"), status == 0 && !help);
        QVERIFY(!help || run.out.startsWith("Использование:\n  splinewave-cli forward "));
    }
    // The coarsest level chosen, the threshold's decimal comma read as a point, the version.
    QVERIFY(cli("forward -m 3 -J 6 --J0 4 -f x").out.contains("# m=3; J=6; J0=4; rule=default"));
    QCOMPARE(
        cli("compress good.csv --threshold 0,5").out, cli("compress good.csv --threshold 0.5").out);
    const Run version = cli("--version");
    QVERIFY2(version.status == 0
            && QRegularExpression(R"(^splinewave-cli \d+\.\d+\n$)").match(version.out).hasMatch(),
        version.out.constData());
}

// A file of another degree, level and rule sets the window up for them, timed, and its
// coefficients come back to the digit; so does the window's forward Build of the same formula,
// and of the same data. A file of a level above the window's changes nothing and its message
// names the line. Forward mode offers no load.
void TestCli::coefficientFilesInTheWindow()
{
    const QString formula = "sin(2*pi*x)*exp(-x)";
    QCOMPARE(cli("forward -m 4 -J 6 --exact -o k.csv -f " + formula).status, 0);
    QCOMPARE(cli("forward -m 2 -J 17 -f x -o deep.csv").status, 0);
    QVERIFY(!form->btnLoadCoeffCsv->isEnabled());
    form->rbBack->click();
    seam.fileAnswers << "deep.csv";
    form->btnLoadCoeffCsv->click();
    QCOMPARE(seam.messages.last(),
        "Файл «deep.csv», строка 2: окно строит уровни J до 16, а в файле J=17 (такие файлы "
        "обрабатывает splinewave-cli).");
    QVERIFY(form->cbStepSplain->currentText() == "2" && !form->expansion);
    seam.fileAnswers << "k.csv";
    form->btnLoadCoeffCsv->click();
    QVERIFY_TIMED_STATUS("Вычислины коэффициенты для m=4. Время вычисления ");
    QVERIFY(form->cbStepSplain->currentText() == "4" && form->sbFinestLevel->value() == 6);
    QVERIFY(form->sbCoarsestLevel->value() == 3 && form->chExactIntegration->isChecked());
    QCOMPARE(windowCoefficients(), contents("k.csv"));
    form->rbForward->click();
    form->edtFunction->setText(formula);
    form->coeffC.clear(); // so that a Build that stores nothing is seen
    form->btnBuild->click();
    QCOMPARE(windowCoefficients(), contents("k.csv"));
    chooseDegree(3); // J = 4
    form->chExactIntegration->click();
    QVERIFY(write("сигнал.csv", "0\n0.25\n1\n0.5\n-0.75\n0\n"));
    seam.fileAnswers << QDir::current().filePath("сигнал.csv");
    form->btnLoadData->click();
    form->btnBuild->click();
    QCOMPARE(windowCoefficients(), cli("forward -m 3 -J 4 --data сигнал.csv").out);
}

// Cubics are reproduced at m = 4: the inverse at the sample points and at N points of [0, 1]
// with both ends gives f back; a zero threshold keeps every coefficient and loses nothing, and
// keeping none zeroes every c.
void TestCli::inverseAndCompress()
{
    QVERIFY(cli("forward -m 4 -J 5 -f x^3-x -o k.csv").status == 0);
    for (const QString extra : {"", " --points 7"}) {
        QStringList lines
            = QString::fromUtf8(cli("inverse k.csv" + extra).out).split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.takeFirst() == "x,value" && lines.size() == (extra.isEmpty() ? 32 : 7));
        QCOMPARE(lines.last().section(',', 0, 0), extra.isEmpty() ? "0.96875" : "1");
        for (const QString& line : lines) { // the cubic up to the rounding of the transform
            const double x = line.section(',', 0, 0).toDouble();
            QVERIFY_NEAR(line.section(',', 1).toDouble(), x * x * x - x, 1e-12);
        }
    }
    const Run all = cli("compress k.csv --threshold 0");
    QCOMPARE(all.err,
        "сохранено 28 из 28 коэффициентов c; погрешность восстановления: наибольшая 0, "
        "среднеквадратичная 0\n");
    QCOMPARE(all.out, contents("k.csv"));
    const Run none = cli("compress k.csv --keep 0");
    QVERIFY(none.status == 0 && none.err.startsWith("сохранено 0 из 28 коэффициентов c"));
    for (const QByteArray& line : none.out.split('\n'))
        QVERIFY(!line.startsWith("c,") || line.endsWith(",0"));
}

SPLINEWAVE_TEST_MAIN(TestCli)
#include "test_cli.moc"
