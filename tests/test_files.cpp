// The coefficient and function-value files, the coefficient report and the value-matrix
// export, written and read in the scratch working folder.

#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <sys/resource.h>

class TestFiles : public WindowTest
{
    Q_OBJECT

    static bool write(const QString& name, const QByteArray& bytes)
    {
        QFile file(name);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    // The numbers as printf's %g writes them (Qt's, always with "."), each followed by a blank:
    // the files' format by another road.
    static QByteArray printed(const SparseRow& row)
    {
        QByteArray text;
        for (auto [k, value] : row)
            text += QString::asprintf("%g ", value).toLatin1();
        return text;
    }
    QStringList gridTexts()
    {
        QStringList texts;
        for (TStringGrid* grid : {form->CoeffCGR, form->CoeffDGR, form->FunctionValueGR})
            for (int r = 0; r < grid->rowCount(); ++r)
                texts << row(grid, r, 0, grid->colCount());
        return texts;
    }

private slots:
    // Forward, save, switch to inverse, load, build, under the Russian locale: the files are
    // byte exact, and the inverse gives 1 - 8x within the six digits that they keep.
    void roadOfOneTypicalUse_data() { everyDegree(); }
    void roadOfOneTypicalUse()
    {
        QFETCH(int, m);
        QVERIFY(russianLocale());
        chooseDegree(m);
        form->btnBuild->click();
        form->btnSaveCoeffToFile->click();
        form->btnFunctionValues->click();
        QCOMPARE(seam.messages,
            (QStringList {"Параметры сохранены в file_in_d.txt и file_in_\u0441.txt!",
                "Значения функции сохранены в file_in_f.txt!"}));
        const SparseTable c = form->coeffC;
        QByteArray lines, values;
        for (const auto& [e, row] : c)
            lines += printed(row) + '\n';
        for (std::size_t p = 0; p < form->points.size(); ++p)
            values += printed({{0, form->funcValues[p][0]}});
        QCOMPARE(contents("file_in_d.txt"), printed(form->coeffD[0]));
        QCOMPARE(contents("file_in_c.txt"), lines);
        QCOMPARE(contents("file_in_f.txt"), values);
        QVERIFY(m != 3 || values.startsWith("1 0.5 0 -0.5 "));

        form->btnClear->click();
        form->rbBack->click();
        form->btnGetValuesFromFile->click();
        QCOMPARE(seam.messages.size(), 2); // the save messages only
        QCOMPARE(form->coeffC.size(), c.size());
        for (const auto& [e, row] : c)
            for (auto [i, value] : row)
                QVERIFY_NEAR(form->coeffC[e][i], value, 5e-6 * std::abs(value));
        QVERIFY(form->CoeffDGR->cell(0, 1).endsWith(",00000"));
        form->btnBuild->click();
        for (std::size_t p = 0; p < form->points.size(); ++p) {
            const double expected = 1 - 8 * form->points[p][0];
            QVERIFY_NEAR(
                form->funcValues[p][0], expected, 5e-6 * std::max(1.0, std::abs(expected)));
        }
    }

    // m = 2 reads the first 2 + 4 numbers of a file written for m = 4, whatever the line breaks.
    void countsComeFromTheDegreeNotTheFile()
    {
        QVERIFY(
            write("file_in_c.txt", "1 2 3 4 \n5 6 7 8 9 10 11 12 \n13 14 15 16 17 18 19 20 \n"));
        QVERIFY(write("file_in_d.txt", "-1\n\n-2.38419e-07\r\n+3 -4 -5 -6 -7 "));
        form->btnGetValuesFromFile->setEnabled(true); // as if the button could be reached
        form->btnGetValuesFromFile->click(); // "прямое" is selected: nothing is read
        QVERIFY(form->coeffD.empty());
        form->rbBack->click();
        form->btnGetValuesFromFile->click();
        QVERIFY(seam.messages.isEmpty());
        QVERIFY(form->coeffC[1] == (SparseRow {{-1, 1}, {0, 2}}));
        QVERIFY(form->coeffC[2] == (SparseRow {{-1, 3}, {0, 4}, {1, 5}, {2, 6}}));
        QVERIFY(form->coeffD[0] == (SparseRow {{-1, -1}, {0, -2.38419e-07}, {1, 3}}));
        QCOMPARE(row(form->CoeffCGR, 2, 1, 4), QString("3.00000 4.00000 5.00000 6.00000"));
        QCOMPARE(form->CoeffDGR->cell(2, 1), QString("3.00000"));
    }

    void damagedFilesChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("c");
        QTest::addColumn<QByteArray>("d");
        QTest::addColumn<QString>("message");
        const QByteArray c = "1 2 3 4 5 6 ", d = "1 2 3 ";
        const QString few
            = "В файле «%1» слишком мало чисел для текущей степени: нужно %2, найдено %3.";
        const QString bad = "Файл «%1»: число %2 («%3») не является конечным числом.";
        // clang-format off
        QTest::newRow("no c file") << QByteArray() << d << "Файл «file_in_c.txt» не найден.";
        QTest::newRow("no d file") << c << QByteArray() << "Файл «file_in_d.txt» не найден.";
        QTest::newRow("short c") << QByteArray("1 2 3 4 5 ") << d << few.arg("file_in_c.txt").arg(6).arg(5);
        QTest::newRow("empty d") << c << QByteArray(" \n") << few.arg("file_in_d.txt").arg(3).arg(0);
        QTest::newRow("bad token") << QByteArray("1 2 x3 4 5 6 ") << d << bad.arg("file_in_c.txt").arg(3).arg("x3");
        QTest::newRow("comma") << c << QByteArray("1 2,5 3 ") << bad.arg("file_in_d.txt").arg(2).arg("2,5");
        QTest::newRow("nan") << c << QByteArray("1 nan 3 ") << bad.arg("file_in_d.txt").arg(2).arg("nan");
        QTest::newRow("inf") << QByteArray("1 2 3 4 5 inf ") << d << bad.arg("file_in_c.txt").arg(6).arg("inf");
        // clang-format on
    }
    void damagedFilesChangeNothing()
    {
        QFETCH(QByteArray, c);
        QFETCH(QByteArray, d);
        QFETCH(QString, message);
        form->btnBuild->click();
        form->rbBack->click();
        const SparseTable coeffC = form->coeffC, coeffD = form->coeffD;
        const QStringList texts = gridTexts();
        QVERIFY((c.isEmpty() || write("file_in_c.txt", c))
            && (d.isEmpty() || write("file_in_d.txt", d)));
        form->btnGetValuesFromFile->click();
        QCOMPARE(seam.messages, QStringList {message});
        QVERIFY(form->coeffC == coeffC && form->coeffD == coeffD);
        QCOMPARE(gridTexts(), texts);
    }

    // A file that cannot be replaced, a working folder that is gone, a missing folder, and a
    // write that fails after the file is opened (a file size limit stands in for a full disk):
    // each is told, and the previous file stays whole, with no temporary file beside it.
    void failedSavesAreReported()
    {
        form->btnBuild->click();
        QVERIFY(write("file_in_c.txt", "old"));
        QVERIFY(QDir().mkdir("file_in_d.txt")); // a folder in the way
        form->btnSaveCoeffToFile->click();
        QVERIFY(QDir().rmdir("file_in_d.txt") && write("file_in_d.txt", "previous"));
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit, small;
        QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
        small = {8, limit.rlim_max}; // the d file of m = 2 has 9 bytes
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        form->btnSaveCoeffToFile->click();
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, handler);
        QCOMPARE(contents("file_in_c.txt") + contents("file_in_d.txt"), QByteArray("oldprevious"));
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden),
            (QStringList {"file_in_c.txt", "file_in_d.txt"}));

        QVERIFY(QDir().mkdir("gone") && QDir::setCurrent("gone") && QDir("..").rmdir("gone"));
        form->btnFunctionValues->click();
        seam.fileAnswers << scratch->path() + "/нет/отчет.txt";
        form->nCoeff->trigger();
        const QString failed = "Не удалось сохранить файл «%1»: ";
        QCOMPARE(seam.messages.size(), 4);
        QVERIFY(seam.messages[0].startsWith(failed.arg("file_in_d.txt")));
        QVERIFY2(seam.messages[1].startsWith(
                     failed.arg("file_in_d.txt") + "запись не удалась (возможно, диск заполнен)"),
            qPrintable(seam.messages[1]));
        QVERIFY(seam.messages[2].startsWith(failed.arg("file_in_f.txt")));
        QVERIFY(seam.messages[3].startsWith(failed.arg(scratch->path() + "/нет/отчет.txt")));
    }

    // Cyrillic in Windows-1251: "для центр." is E4 EB FF 20 F6 E5 ED F2 F0 2E.
    void reportTextForDegree2()
    {
        seam.fileAnswers << "отчет.txt";
        form->nCoeff->trigger();
        QVERIFY(seam.messages.isEmpty());
        QCOMPARE(contents("отчет.txt"),
            QByteArray(
                "betta\nb[0]=1 b[1]=2 b[2]=1 \nalpha\n"
                "(\xe4\xeb\xff \xf6\xe5\xed\xf2\xf0. wavelet): a[0]=1 a[1]=-9 a[2]=16 a[3]=-9 "
                "a[4]=1 \n"
                "(\xe4\xeb\xff \xe3\xf0\xe0\xed. \xf1\xeb\xe5\xe2\xe0 wavelet): \na[-1][-2]=-1 \n"
                "(\xe4\xeb\xff \xe3\xf0\xe0\xed. \xf1\xef\xf0\xe0\xe2\xe0 wavelet): \na[2][3]=-1 \n"
                "\nalphaW\naW[-1][-1]=-18 aW[-1][0]=17 aW[-1][1]=-9 aW[-1][2]=1 \n"
                "aW[0][0]=1 aW[0][1]=-9 aW[0][2]=16 aW[0][3]=-9 aW[0][4]=1 \n"
                "aW[1][2]=1 aW[1][3]=-9 aW[1][4]=16 aW[1][5]=-9 aW[1][6]=1 \n"
                "aW[2][4]=1 aW[2][5]=-9 aW[2][6]=17 aW[2][7]=-18 \n"));
        chooseDegree(4); // 30 lines, the last one the right boundary row of alphaW
        seam.fileAnswers << "m4.txt";
        form->nCoeff->trigger();
        const QList<QByteArray> lines = contents("m4.txt").split('\n');
        QCOMPARE(lines.size(), 31);
        QVERIFY(lines[29].startsWith("aW[12][24]=") && lines[29].endsWith(" aW[12][31]=-494983 "));
    }

    // Both file dialogs are save dialogs that ask before overwriting; the report's proposes
    // its file name every time.
    void reportDialogProposesItsNameEveryTime()
    {
        for (QFileDialog* dialog : {form->OpenDialog, form->SaveWaveletDialog})
            QVERIFY(dialog->acceptMode() == QFileDialog::AcceptSave
                && !dialog->testOption(QFileDialog::DontConfirmOverwrite));
        seam.fileAnswers << ""
                         << "другое.txt"
                         << ""; // cancelled, confirmed, cancelled
        for (int i = 0; i < 3; ++i)
            form->nCoeff->trigger();
        QCOMPARE(seam.proposedFiles.size(), 3);
        for (const QString& proposed : seam.proposedFiles)
            QVERIFY2(proposed.endsWith("/Коэффициенты.txt"), qPrintable(proposed));
        QCOMPARE(QDir().entryList(QDir::Files), QStringList {"другое.txt"});
    }

    // Under the Russian locale, each text of the grid read back in extended precision and
    // written in the stream's format; Qt's %g of the text gives the expected file.
    void matrixExportIsByteExact()
    {
        QVERIFY(russianLocale());
        form->btnGraphic->click();
        seam.fileAnswers << "matrix.txt";
        form->miMatrix->trigger();
        TStringGrid* grid = form->sgWaveletValues;
        QByteArray expected;
        for (int r = 1; r <= 4; ++r) {
            for (int col = 1; col <= 32; ++col)
                expected
                    += QString::asprintf("%g ", grid->cell(col, r).replace(',', '.').toDouble())
                           .toLatin1();
            expected += '\n';
        }
        QCOMPARE(contents("matrix.txt"), expected);
        QVERIFY(expected.startsWith("-2.25 "));
        QCOMPARE(form->StatusBar->currentMessage(), "Коэффициенты были сохранены в matrix.txt");
        // Read in extended precision, 10.30005 is just below itself; as a double it is just above.
        grid->setCell(1, 1, "10,30005");
        grid->setCell(2, 1, "12,34568");
        seam.fileAnswers << "matrix.txt";
        form->miMatrix->trigger();
        QVERIFY(contents("matrix.txt").startsWith("10.3 12.3457 "));
    }

    // Before any graph, and after a change of degree, the grid is not the current degree's:
    // the user is told to rebuild it, nothing is written and the status line stays. A grid of
    // a larger degree serves.
    void matrixExportNeedsTheGraphOfTheDegree()
    {
        form->StatusBar->showMessage("до сохранения");
        seam.fileAnswers << "matrix.txt"
                         << "matrix.txt";
        form->miMatrix->trigger();
        form->btnGraphic->click();
        chooseDegree(3);
        form->StatusBar->showMessage("до сохранения");
        form->miMatrix->trigger();
        QCOMPARE(seam.messages,
            QStringList(2,
                "Матрица значений построена для другой степени сплайна. "
                "Постройте график заново (кнопка «Построить» на странице "
                "«График»), затем сохраните таблицу."));
        QVERIFY(!QFile::exists("matrix.txt"));
        QCOMPARE(form->StatusBar->currentMessage(), QString("до сохранения"));
        chooseDegree(4); // built for m = 4, exported under m = 2: 4 rows of 256 numbers
        form->btnGraphic->click();
        chooseDegree(2);
        seam.fileAnswers << "matrix.txt";
        form->miMatrix->trigger();
        const QList<QByteArray> lines = contents("matrix.txt").split('\n');
        QVERIFY(lines.size() == 5 && lines[0].count(' ') == 256);
    }
};

SPLINEWAVE_TEST_MAIN(TestFiles)
#include "test_files.moc"
