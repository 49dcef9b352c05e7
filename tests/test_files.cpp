// The coefficient and function-value files and the coefficient report, written and read under
// a Russian locale in a scratch working directory.

#include "app/StringGrid.h"
#include "numerics/Levels.h"
#include "tests/NumericsSupport.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <clocale>

class TestFiles : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void filesAreByteExact_data();
    void filesAreByteExact();
    void roadOfOneTypicalUse_data();
    void roadOfOneTypicalUse();
    void countsComeFromTheDegreeNotTheFile();
    void damagedFilesChangeNothing_data();
    void damagedFilesChangeNothing();
    void failedSavesAreReported();
    void reportTextForDegree2();
    void reportShapeForDegrees3And4();
    void reportDialogProposesItsNameEveryTime();

private:
    static QByteArray contents(const QString& name);
    static void write(const QString& name, const QByteArray& bytes);
    QStringList gridTexts();

    std::unique_ptr<QTemporaryDir> scratch;
};

void TestFiles::initTestCase()
{
    QVERIFY2(std::setlocale(LC_ALL, "ru_RU.UTF-8"), "the tests' Russian locale is missing");
}

void TestFiles::init()
{
    scratch = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir::setCurrent(scratch->path()));
    openWindow();
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void TestFiles::cleanup()
{
    closeWindow();
    QDir::setCurrent(QDir::tempPath());
    scratch.reset();
}

QByteArray TestFiles::contents(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestFiles::write(const QString& name, const QByteArray& bytes)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList TestFiles::gridTexts()
{
    QStringList texts;
    for (TStringGrid* grid : {form->CoeffCGR, form->CoeffDGR, form->FunctionValueGR})
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->colCount(); ++c)
                texts << grid->cell(c, r);
    return texts;
}

void TestFiles::filesAreByteExact_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<QByteArray>("d");
    QTest::addColumn<QByteArray>("f");
    QTest::newRow("m=2") << 2 << QByteArray("2 -6 -14 ") << QByteArray("1 0 -1 -2 -3 -4 -5 -6 ");
    QTest::newRow("m=3") << 3 << QByteArray() // d[0] is 0 only to rounding
                         << QByteArray("1 0.5 0 -0.5 -1 -1.5 -2 -2.5 -3 -3.5 -4 -4.5 -5 -5.5 -6 "
                                       "-6.5 ");
    QTest::newRow("m=4") << 4 << QByteArray("12 4 -4 -12 -20 -28 -36 ") << QByteArray();
}

// The c file is checked against printf's %g (Qt's, always with "."): the same format by another
// road.
void TestFiles::filesAreByteExact()
{
    QFETCH(int, m);
    QFETCH(QByteArray, d);
    QFETCH(QByteArray, f);
    form->cbStepSplain->setCurrentText(QString::number(m));
    form->btnBuild->click();
    form->btnSaveCoeffToFile->click();
    form->btnFunctionValues->click();
    QCOMPARE(seam->messages,
        (QStringList {"Параметры сохранены в file_in_d.txt и file_in_\u0441.txt!",
            "Значения функции сохранены в file_in_f.txt!"}));
    QByteArray c;
    for (int e = 1; e <= form->finestLevel - form->coarsestLevel; ++e) {
        for (int k = 1 - m; k <= pow2(form->coarsestLevel + e - 1) - m; ++k)
            c += QString::asprintf("%g ", form->coeffC[e][k]).toLatin1();
        c += '\n';
    }
    if (d.isEmpty())
        for (auto [k, value] : form->coeffD[0])
            d += QString::asprintf("%g ", value).toLatin1();
    QCOMPARE(contents("file_in_d.txt"), d);
    QCOMPARE(contents("file_in_c.txt"), c);
    QCOMPARE(c.count('\n'), form->finestLevel - form->coarsestLevel);
    if (!f.isEmpty())
        QCOMPARE(contents("file_in_f.txt"), f);
}

void TestFiles::roadOfOneTypicalUse_data()
{
    everyDegree();
}

// Forward, save, switch to inverse, load, build: 1 - 8x within the six digits the files keep.
void TestFiles::roadOfOneTypicalUse()
{
    QFETCH(int, m);
    form->cbStepSplain->setCurrentText(QString::number(m));
    form->btnBuild->click();
    const SparseTable c = form->coeffC;
    form->btnSaveCoeffToFile->click();
    form->btnClear->click();
    form->rbBack->click();
    form->btnGetValuesFromFile->click();
    QCOMPARE(seam->messages.size(), 1); // the save message only
    QCOMPARE(form->coeffC.size(), c.size());
    for (const auto& [e, row] : c)
        for (auto [i, value] : row)
            QVERIFY(std::abs(form->coeffC[e][i] - value) <= 5e-6 * std::abs(value));
    QVERIFY(form->CoeffDGR->cell(0, 1).endsWith(",00000"));
    form->btnBuild->click();
    for (std::size_t p = 0; p < form->points.size(); ++p) {
        double expected = 1 - 8 * form->points[p][0];
        QVERIFY(std::abs(form->funcValues[p][0] - expected)
            <= 5e-6 * std::max(1.0, std::abs(expected)));
    }
}

// m = 2 reads the first 2 + 4 numbers of a file written for m = 4, whatever the line breaks.
void TestFiles::countsComeFromTheDegreeNotTheFile()
{
    write("file_in_c.txt", "1 2 3 4 \n5 6 7 8 9 10 11 12 \n13 14 15 16 17 18 19 20 \n");
    write("file_in_d.txt", "-1\n\n-2.38419e-07\r\n+3 -4 -5 -6 -7 ");
    form->btnGetValuesFromFile->setEnabled(true); // as if the button could be reached
    form->btnGetValuesFromFile->click(); // "прямое" is selected: nothing is read
    QVERIFY(form->coeffD.empty());
    form->rbBack->click();
    form->btnGetValuesFromFile->click();
    QVERIFY(seam->messages.isEmpty());
    QCOMPARE(form->coeffC[1], (SparseRow {{-1, 1}, {0, 2}}));
    QCOMPARE(form->coeffC[2], (SparseRow {{-1, 3}, {0, 4}, {1, 5}, {2, 6}}));
    QCOMPARE(form->coeffD[0], (SparseRow {{-1, -1}, {0, -2.38419e-07}, {1, 3}}));
    QCOMPARE(form->CoeffCGR->cell(4, 2), QString("6,00000"));
    QCOMPARE(form->CoeffDGR->cell(2, 1), QString("3,00000"));
}

void TestFiles::damagedFilesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("c");
    QTest::addColumn<QByteArray>("d");
    QTest::addColumn<QString>("message");
    const QByteArray c = "1 2 3 4 5 6 ", d = "1 2 3 ";
    const QString few
        = "В файле «%1» слишком мало чисел для текущей степени: нужно %2, найдено %3.";
    const QString bad = "Файл «%1»: число %2 («%3») не является конечным числом.";
    QTest::newRow("no c file") << QByteArray() << d << "Файл «file_in_c.txt» не найден.";
    QTest::newRow("no d file") << c << QByteArray() << "Файл «file_in_d.txt» не найден.";
    QTest::newRow("short c file") << QByteArray("1 2 3 4 5 ") << d
                                  << few.arg("file_in_c.txt").arg(6).arg(5);
    QTest::newRow("empty d file") << c << QByteArray(" \n")
                                  << few.arg("file_in_d.txt").arg(3).arg(0);
    QTest::newRow("bad token") << QByteArray("1 2 x3 4 5 6 ") << d
                               << bad.arg("file_in_c.txt").arg(3).arg("x3");
    QTest::newRow("comma") << c << QByteArray("1 2,5 3 ")
                           << bad.arg("file_in_d.txt").arg(2).arg("2,5");
    QTest::newRow("nan") << c << QByteArray("1 nan 3 ")
                         << bad.arg("file_in_d.txt").arg(2).arg("nan");
    QTest::newRow("inf") << QByteArray("1 2 3 4 5 inf ") << d
                         << bad.arg("file_in_c.txt").arg(6).arg("inf");
}

void TestFiles::damagedFilesChangeNothing()
{
    QFETCH(QByteArray, c);
    QFETCH(QByteArray, d);
    QFETCH(QString, message);
    form->btnBuild->click();
    form->rbBack->click();
    const SparseTable coeffC = form->coeffC, coeffD = form->coeffD;
    const QStringList texts = gridTexts();
    if (!c.isEmpty())
        write("file_in_c.txt", c);
    if (!d.isEmpty())
        write("file_in_d.txt", d);
    form->btnGetValuesFromFile->click();
    QCOMPARE(seam->messages, QStringList {message});
    QVERIFY(form->coeffC == coeffC && form->coeffD == coeffD);
    QCOMPARE(gridTexts(), texts);
}

void TestFiles::failedSavesAreReported()
{
    form->btnBuild->click();
    write("file_in_c.txt", "old");
    QVERIFY(QDir().mkdir("file_in_d.txt")); // a folder in the way: the file cannot be replaced
    form->btnSaveCoeffToFile->click();
    QCOMPARE(seam->messages.size(), 1);
    QVERIFY(seam->messages[0].startsWith("Не удалось сохранить файл «file_in_d.txt»: "));
    QCOMPARE(contents("file_in_c.txt"), QByteArray("old"));
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList {"file_in_c.txt"});

    QVERIFY(QDir::setCurrent(scratch->path() + "/file_in_d.txt")); // a working folder that
    QVERIFY(QDir(scratch->path()).rmdir("file_in_d.txt")); // no longer exists
    form->btnFunctionValues->click();
    seam->fileAnswers << scratch->path() + "/нет/отчет.txt"; // a report into a missing folder
    form->nCoeff->trigger();
    QCOMPARE(seam->messages.size(), 3);
    QVERIFY(seam->messages[1].startsWith("Не удалось сохранить файл «file_in_f.txt»: "));
    QVERIFY(seam->messages[2].startsWith(
        "Не удалось сохранить файл «" + scratch->path() + "/нет/отчет.txt»: "));
}

// Cyrillic in Windows-1251: "для центр." is E4 EB FF 20 F6 E5 ED F2 F0 2E.
void TestFiles::reportTextForDegree2()
{
    seam->fileAnswers << "отчет.txt";
    form->nCoeff->trigger();
    QVERIFY(seam->messages.isEmpty());
    QCOMPARE(contents("отчет.txt"),
        QByteArray(
            "betta\n"
            "b[0]=1 b[1]=2 b[2]=1 \n"
            "alpha\n"
            "(\xe4\xeb\xff \xf6\xe5\xed\xf2\xf0. wavelet): a[0]=1 a[1]=-9 a[2]=16 a[3]=-9 a[4]=1 \n"
            "(\xe4\xeb\xff \xe3\xf0\xe0\xed. \xf1\xeb\xe5\xe2\xe0 wavelet): \n"
            "a[-1][-2]=-1 \n"
            "(\xe4\xeb\xff \xe3\xf0\xe0\xed. \xf1\xef\xf0\xe0\xe2\xe0 wavelet): \n"
            "a[2][3]=-1 \n"
            "\n"
            "alphaW\n"
            "aW[-1][-1]=-18 aW[-1][0]=17 aW[-1][1]=-9 aW[-1][2]=1 \n"
            "aW[0][0]=1 aW[0][1]=-9 aW[0][2]=16 aW[0][3]=-9 aW[0][4]=1 \n"
            "aW[1][2]=1 aW[1][3]=-9 aW[1][4]=16 aW[1][5]=-9 aW[1][6]=1 \n"
            "aW[2][4]=1 aW[2][5]=-9 aW[2][6]=17 aW[2][7]=-18 \n"));
}

void TestFiles::reportShapeForDegrees3And4()
{
    for (int m : {3, 4}) {
        form->cbStepSplain->setCurrentText(QString::number(m));
        seam->fileAnswers << QString("m%1.txt").arg(m);
        form->nCoeff->trigger();
        const QList<QByteArray> lines = contents(QString("m%1.txt").arg(m)).split('\n');
        QCOMPARE(lines.size() - 1, m == 3 ? 20 : 30); // every line ends with a line break
        const QByteArray first = lines[lines.indexOf("alphaW") + 1], last = lines[lines.size() - 2];
        if (m == 3)
            QVERIFY(first.startsWith("aW[-2][-2]=") && first.endsWith(" aW[-2][3]=1 ")
                && first.count('=') == 6);
        else
            QVERIFY(last.startsWith("aW[12][24]=") && last.endsWith(" aW[12][31]=-494983 ")
                && last.count('=') == 8);
    }
    QVERIFY(seam->messages.isEmpty());
}

void TestFiles::reportDialogProposesItsNameEveryTime()
{
    QCOMPARE(form->OpenDialog->acceptMode(), QFileDialog::AcceptSave);
    QVERIFY(!form->OpenDialog->testOption(QFileDialog::DontConfirmOverwrite));
    seam->fileAnswers << ""
                      << "другое.txt"
                      << "";
    for (int i = 0; i < 3; ++i) // cancelled, confirmed, cancelled
        form->nCoeff->trigger();
    QCOMPARE(seam->proposedFiles.size(), 3);
    for (const QString& proposed : seam->proposedFiles)
        QVERIFY2(proposed.endsWith("/Коэффициенты.txt"), qPrintable(proposed));
    QCOMPARE(QDir().entryList(QDir::Files), QStringList {"другое.txt"});
}

SPLINEWAVE_TEST_MAIN(TestFiles)
#include "test_files.moc"
