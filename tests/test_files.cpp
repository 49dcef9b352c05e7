// The coefficient and function-value files and the coefficient report, written and read under
// a Russian locale in a scratch working directory.

#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "numerics/Levels.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <clocale>
#include <cstdio>

class TestFiles : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void coefficientFilesAreByteExact_data();
    void coefficientFilesAreByteExact();
    void functionValuesFile();
    void roadOfOneTypicalUse_data();
    void roadOfOneTypicalUse();
    void largerDegreeLoadsIntoSmaller();
    void lineBreaksPlayNoPart();
    void loadingNeedsTheInverseDirection();
    void damagedFilesChangeNothing_data();
    void damagedFilesChangeNothing();
    void failedSavesAreReported();
    void reportTextForDegree2();
    void reportShapeForDegrees3And4();
    void reportDialogProposesItsNameEveryTime();

private:
    void chooseDegree(int m) { form->cbStepSplain->setCurrentText(QString::number(m)); }
    static QByteArray contents(const QString& name);
    static void write(const QString& name, const QByteArray& bytes);
    static QByteArray cFormatted(double value);
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

// printf's %g in the C locale: the stream's default output, by another road.
QByteArray TestFiles::cFormatted(double value)
{
    char* previous = std::setlocale(LC_NUMERIC, "C");
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g ", value);
    std::setlocale(LC_NUMERIC, previous ? "ru_RU.UTF-8" : "C");
    return buffer;
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

void TestFiles::coefficientFilesAreByteExact_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<QByteArray>("d");
    QTest::newRow("m=2") << 2 << QByteArray("2 -6 -14 ");
    QTest::newRow("m=4") << 4 << QByteArray("12 4 -4 -12 -20 -28 -36 ");
}

void TestFiles::coefficientFilesAreByteExact()
{
    QFETCH(int, m);
    QFETCH(QByteArray, d);
    chooseDegree(m);
    form->btnBuild->click();
    form->btnSaveCoeffToFile->click();
    QCOMPARE(seam->messages, QStringList {"Параметры сохранены в file_in_d.txt и file_in_с.txt!"});
    QVERIFY(seam->messages[0].contains(QChar(0x0441))); // the Cyrillic с of the message
    QCOMPARE(contents("file_in_d.txt"), d);
    QByteArray c;
    for (int e = 1; e <= form->finestLevel - form->coarsestLevel; ++e) {
        for (int k = 1 - m; k <= pow2(form->coarsestLevel + e - 1) - m; ++k)
            c += cFormatted(form->coeffC[e][k]);
        c += '\n';
    }
    QCOMPARE(contents("file_in_c.txt"), c);
    QCOMPARE(c.count('\n'), m == 2 ? 2 : 3);
}

void TestFiles::functionValuesFile()
{
    chooseDegree(3);
    form->btnBuild->click();
    form->btnFunctionValues->click();
    QCOMPARE(seam->messages, QStringList {"Значения функции сохранены в file_in_f.txt!"});
    QCOMPARE(contents("file_in_f.txt"),
        QByteArray("1 0.5 0 -0.5 -1 -1.5 -2 -2.5 -3 -3.5 -4 -4.5 -5 -5.5 -6 -6.5 "));
}

void TestFiles::roadOfOneTypicalUse_data()
{
    QTest::addColumn<int>("m");
    for (int m = 2; m <= 4; ++m)
        QTest::addRow("m=%d", m) << m;
}

// Forward, save, switch to inverse, load, build: 1 - 8x within the six digits the files keep.
void TestFiles::roadOfOneTypicalUse()
{
    QFETCH(int, m);
    chooseDegree(m);
    form->btnBuild->click();
    const SparseTable c = form->coeffC, d = form->coeffD;
    form->btnSaveCoeffToFile->click();
    form->btnClear->click();
    form->rbBack->click();
    form->btnGetValuesFromFile->click();
    QCOMPARE(seam->messages.size(), 1); // the save message only
    QCOMPARE(form->coeffC.size(), c.size());
    for (const auto& [e, row] : c)
        for (auto [i, value] : row)
            QVERIFY(std::abs(form->coeffC[e][i] - value) <= 5e-6 * std::abs(value));
    QCOMPARE(
        form->CoeffDGR->cell(0, 1), QString::number(d.at(0).begin()->second, 'f', 0) + ",00000");
    form->btnBuild->click();
    for (std::size_t p = 0; p < form->points.size(); ++p) {
        double expected = 1 - 8 * form->points[p][0];
        QVERIFY(std::abs(form->funcValues[p][0] - expected)
            <= 5e-6 * std::max(1.0, std::abs(expected)));
    }
}

void TestFiles::largerDegreeLoadsIntoSmaller()
{
    write("file_in_c.txt",
        "1 2 3 4 \n5 6 7 8 9 10 11 12 \n13 14 15 16 17 18 19 20 21 22 23 24 25 "
        "26 27 28 \n");
    write("file_in_d.txt", "-1 -2 -3 -4 -5 -6 -7 ");
    form->rbBack->click();
    form->btnGetValuesFromFile->click();
    QVERIFY(seam->messages.isEmpty());
    QCOMPARE(form->coeffC[1], (SparseRow {{-1, 1}, {0, 2}}));
    QCOMPARE(form->coeffC[2], (SparseRow {{-1, 3}, {0, 4}, {1, 5}, {2, 6}}));
    QCOMPARE(form->coeffD[0], (SparseRow {{-1, -1}, {0, -2}, {1, -3}}));
    QCOMPARE(form->CoeffCGR->cell(4, 2), QString("6,00000"));
    QCOMPARE(form->CoeffDGR->cell(2, 1), QString("-3,00000"));
}

void TestFiles::lineBreaksPlayNoPart()
{
    form->rbBack->click();
    write("file_in_d.txt", "0.5\n\n-2.38419e-07\n3");
    write("file_in_c.txt", "1 2 3 4 5 6");
    form->btnGetValuesFromFile->click();
    const SparseTable oneLine = form->coeffC;
    write("file_in_c.txt", "1\n2\n\n3 4\r\n5\n6\n");
    form->btnClear->click();
    form->btnGetValuesFromFile->click();
    QVERIFY(seam->messages.isEmpty());
    QCOMPARE(form->coeffC, oneLine);
    QCOMPARE(form->coeffC[2][2], 6.0);
    QCOMPARE(form->coeffD[0][0], -2.38419e-07);
}

void TestFiles::loadingNeedsTheInverseDirection()
{
    write("file_in_d.txt", "1 2 3 ");
    write("file_in_c.txt", "1 2 3 4 5 6 ");
    form->btnGetValuesFromFile->setEnabled(true); // as if the button could be reached
    form->btnGetValuesFromFile->click();
    QVERIFY(form->coeffD.empty());
}

void TestFiles::damagedFilesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("c");
    QTest::addColumn<QByteArray>("d");
    QTest::addColumn<QString>("message");
    QTest::newRow("no c file") << QByteArray() << QByteArray("1 2 3 ")
                               << "Файл «file_in_c.txt» не найден.";
    QTest::newRow("no d file") << QByteArray("1 2 3 4 5 6 ") << QByteArray()
                               << "Файл «file_in_d.txt» не найден.";
    QTest::newRow("short c file") << QByteArray("1 2 3 4 5 ") << QByteArray("1 2 3 ")
                                  << "В файле «file_in_c.txt» слишком мало чисел для текущей "
                                     "степени: нужно 6, найдено 5.";
    QTest::newRow("empty d file") << QByteArray("1 2 3 4 5 6 ") << QByteArray(" \n")
                                  << "В файле «file_in_d.txt» слишком мало чисел для текущей "
                                     "степени: нужно 3, найдено 0.";
    QTest::newRow("bad token") << QByteArray("1 2 x3 4 5 6 ") << QByteArray("1 2 3 ")
                               << "Файл «file_in_c.txt»: число 3 («x3») не является конечным "
                                  "числом.";
    QTest::newRow("comma") << QByteArray("1 2 3 4 5 6 ") << QByteArray("1 2,5 3 ")
                           << "Файл «file_in_d.txt»: число 2 («2,5») не является конечным "
                              "числом.";
    QTest::newRow("nan") << QByteArray("1 2 3 4 5 6 ") << QByteArray("1 nan 3 ")
                         << "Файл «file_in_d.txt»: число 2 («nan») не является конечным числом.";
    QTest::newRow("inf") << QByteArray("1 2 3 4 5 inf ") << QByteArray("1 2 3 ")
                         << "Файл «file_in_c.txt»: число 6 («inf») не является конечным "
                            "числом.";
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
    QCOMPARE(form->coeffC, coeffC);
    QCOMPARE(form->coeffD, coeffD);
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

    // A working folder that no longer exists.
    seam->messages.clear();
    QVERIFY(QDir::setCurrent(scratch->path() + "/file_in_d.txt"));
    QVERIFY(QDir(scratch->path()).rmdir("file_in_d.txt"));
    form->btnFunctionValues->click();
    QCOMPARE(seam->messages.size(), 1);
    QVERIFY(seam->messages[0].startsWith("Не удалось сохранить файл «file_in_f.txt»: "));

    // A report into a folder that does not exist.
    seam->messages.clear();
    seam->fileAnswers << scratch->path() + "/нет/отчет.txt";
    form->nCoeff->trigger();
    QCOMPARE(seam->messages.size(), 1);
    QVERIFY(seam->messages[0].contains("отчет.txt"));
}

void TestFiles::reportTextForDegree2()
{
    seam->fileAnswers << "отчет.txt";
    form->nCoeff->trigger();
    QVERIFY(seam->messages.isEmpty());
    const QByteArray bytes = contents("отчет.txt");
    QVERIFY(bytes.contains("(\xe4\xeb\xff \xf6\xe5\xed\xf2\xf0. wavelet): a[0]=1 ")); // для центр.
    QVERIFY(!bytes.contains("\xd0")); // no UTF-8 lead bytes of Cyrillic letters
    const QByteArray expected
        = "betta\n"
          "b[0]=1 b[1]=2 b[2]=1 \n"
          "alpha\n"
          "(\xe4\xeb\xff \xf6\xe5\xed\xf2\xf0. wavelet): a[0]=1 a[1]=-9 a[2]=16 "
          "a[3]=-9 a[4]=1 \n"
          "(\xe4\xeb\xff \xe3\xf0\xe0\xed. \xf1\xeb\xe5\xe2\xe0 wavelet): \n"
          "a[-1][-2]=-1 \n"
          "(\xe4\xeb\xff \xe3\xf0\xe0\xed. \xf1\xef\xf0\xe0\xe2\xe0 wavelet): \n"
          "a[2][3]=-1 \n"
          "\n"
          "alphaW\n"
          "aW[-1][-1]=-18 aW[-1][0]=17 aW[-1][1]=-9 aW[-1][2]=1 \n"
          "aW[0][0]=1 aW[0][1]=-9 aW[0][2]=16 aW[0][3]=-9 aW[0][4]=1 \n"
          "aW[1][2]=1 aW[1][3]=-9 aW[1][4]=16 aW[1][5]=-9 aW[1][6]=1 \n"
          "aW[2][4]=1 aW[2][5]=-9 aW[2][6]=17 aW[2][7]=-18 \n";
    QCOMPARE(bytes, expected);
}

void TestFiles::reportShapeForDegrees3And4()
{
    for (int m : {3, 4}) {
        chooseDegree(m);
        seam->fileAnswers << QString("m%1.txt").arg(m);
        form->nCoeff->trigger();
        const QList<QByteArray> lines = contents(QString("m%1.txt").arg(m)).split('\n');
        QCOMPARE(lines.size() - 1, m == 3 ? 20 : 30); // every line ends with a line break
        QVERIFY(lines.last().isEmpty());
        const int alphaW = lines.indexOf("alphaW");
        const QByteArray first = lines[alphaW + 1];
        const QByteArray last = lines[lines.size() - 2];
        if (m == 3) {
            QVERIFY(first.startsWith("aW[-2][-2]="));
            QCOMPARE(first.count('='), 6);
            QVERIFY(first.contains(" aW[-2][3]=1 "));
        } else {
            QVERIFY(last.startsWith("aW[12][24]="));
            QCOMPARE(last.count('='), 8);
            QVERIFY(last.contains(" aW[12][31]=-494983 "));
        }
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
    form->nCoeff->trigger(); // cancelled
    form->nCoeff->trigger();
    form->nCoeff->trigger(); // cancelled again
    QCOMPARE(seam->proposedFiles.size(), 3);
    for (const QString& proposed : seam->proposedFiles)
        QVERIFY2(proposed.endsWith("/Коэффициенты.txt"), qPrintable(proposed));
    QCOMPARE(QDir().entryList(QDir::Files), QStringList {"другое.txt"});
}

SPLINEWAVE_TEST_MAIN(TestFiles)
#include "test_files.moc"
