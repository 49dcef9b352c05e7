// The coefficient and function-value files, the coefficient report and the value-matrix
// export, written and read in the scratch working folder.

#include "files/FileText.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <sys/resource.h>

class TestFiles : public WindowTest
{
    Q_OBJECT

private slots:
    // The counts come from the degree and the levels, whatever the line breaks. A missing,
    // short, long or damaged file changes nothing, and the c table is not touched before the d
    // file has passed.
    void loadingReadsBothFilesFirst()
    {
        QVERIFY(write("file_in_c.txt", "1 2 \n\n3\r\n4 5 6"));
        QVERIFY(write("file_in_d.txt", "-1\n\n-2.38419e-07\r\n+3 "));
        form->rbBack->click();
        form->btnGetValuesFromFile->click();
        QVERIFY(form->coeffC[1] == (SparseRow {{-1, 1}, {0, 2}}) && form->coeffC[2].size() == 4);
        QVERIFY(form->coeffD[0] == (SparseRow {{-1, -1}, {0, -2.38419e-07}, {1, 3}}));
        QCOMPARE(row(form->CoeffCGR, 2, 1, 4) + " " + form->CoeffDGR->cell(2, 1),
            QString("3.00000 4.00000 5.00000 6.00000 3.00000"));
        const SparseTable coeffC = form->coeffC;
        // A count of numbers is named by the levels or the degree a file of that count holds.
        const QString count = "В файле «%1» чисел: %2, а для текущих параметров нужно %3.";
        const QString c13 = "6 (коэффициенты c при J0 = 1, J = 3)";
        const QString d21 = "3 (коэффициенты d при m = 2, J0 = 1)";
        const QString bad = "Файл «%1»: число %2 («%3») не является конечным числом.";
        // clang-format off
        const struct { const char *file, *text; QString message; } damaged[] = {
            {"file_in_c.txt", "1 2 3 4 5 ", count.arg("file_in_c.txt", "5", c13)},
            {"file_in_c.txt", "1 2 \n3 4 5 6 \n7 8 9 10 11 12 13 14 \n",
                count.arg("file_in_c.txt", "14 (коэффициенты c при J0 = 1, J = 4)", c13)},
            {"file_in_d.txt", "1 2 3 4 ",
                count.arg("file_in_d.txt", "4 (коэффициенты d при m = 3, J0 = 1)", d21)},
            {"file_in_c.txt", "1 2 3 4 5 inf ", bad.arg("file_in_c.txt").arg(6).arg("inf")},
            {"file_in_d.txt", " \n", count.arg("file_in_d.txt", "0", d21)},
            {"file_in_d.txt", "1 2,5 3 ", bad.arg("file_in_d.txt").arg(2).arg("2,5")},
            {"file_in_d.txt", nullptr, "Файл «file_in_d.txt» не найден."}};
        // clang-format on
        for (const auto& file : damaged) {
            seam.messages.clear();
            QVERIFY(write("file_in_c.txt", "9 9 9 9 9 9 ") && write("file_in_d.txt", "1 2 3 "));
            QVERIFY(file.text ? write(file.file, file.text) : QFile::remove(file.file));
            form->btnGetValuesFromFile->click();
            // The files are named with the folder they were looked for in.
            QCOMPARE(seam.messages,
                QStringList {QString(file.message)
                                 .replace("«file_in", "«" + QDir::currentPath() + "/file_in")});
            QVERIFY(form->coeffC == coeffC && form->CoeffCGR->cell(1, 1) == "1.00000"
                && form->CoeffDGR->cell(2, 1) == "3.00000");
        }
    }

    // A file that cannot be replaced, a missing folder, and a write that fails after the file
    // is opened (a file size limit stands in for a full disk): each is told, and the previous
    // file stays whole, with no temporary file beside it.
    void failedSavesAreReported()
    {
        form->btnBuild->click();
        // A folder in the way of the d file, then a d file too long for the file size limit.
        QVERIFY(write("file_in_c.txt", "old") && QDir().mkdir("file_in_d.txt"));
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
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden).size(), 2);
        seam.fileAnswers << "нет/отчет.txt";
        form->nCoeff->trigger();
        const QString failed = "Не удалось сохранить файл «%1»: ";
        const QString dFile = QDir::current().absoluteFilePath("file_in_d.txt");
        QCOMPARE(seam.messages.size(), 3);
        QVERIFY(seam.messages[0].startsWith(
            failed.arg(dFile) + "на месте файла стоит папка с тем же именем"));
        QVERIFY(seam.messages[1].startsWith(
            failed.arg(dFile) + "запись не удалась (возможно, диск заполнен)"));
        QVERIFY(seam.messages[2].startsWith(failed.arg("нет/отчет.txt")));
    }

    // The report, in Windows-1251 ("для центр." is E4 EB FF 20 F6 E5 ED F2 F0 2E), through a
    // save dialog that asks before overwriting and proposes its file name every time. The
    // quadrature box sets the basis up again like a change of degree; the title after Build and
    // the report's first line name the exact rule, and unchecking gives back today's title and
    // report to the byte. A rejected set-up puts the box back.
    void reportAndTheExactRule()
    {
        seam.fileAnswers = {"отчет.txt", "", "exact.txt", "again.txt"}; // the second cancelled
        form->nCoeff->trigger();
        form->nCoeff->trigger();
        QVERIFY(
            seam.proposedFiles.size() == 2 && seam.proposedFiles[1].endsWith("/Коэффициенты.txt"));
        for (QFileDialog* dialog : {form->OpenDialog, form->SaveWaveletDialog})
            QVERIFY(dialog->acceptMode() == QFileDialog::AcceptSave
                && !dialog->testOption(QFileDialog::DontConfirmOverwrite));
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
        QCheckBox* box = form->chExactIntegration;
        form->btnBuild->click();
        const QString title = form->windowTitle();
        box->click();
        QVERIFY(form->coeffD.empty() && form->CoeffDGR->cell(0, 1).isEmpty());
        form->btnBuild->click();
        QCOMPARE(form->windowTitle(), title + ", точное интегрирование");
        form->nCoeff->trigger();
        QVERIFY(contents("exact.txt").startsWith(toWindows1251("betta (точное интегрирование)\n")));
        box->click();
        form->btnBuild->click();
        form->nCoeff->trigger();
        QVERIFY(form->windowTitle() == title && contents("again.txt") == contents("отчет.txt"));
        QSignalBlocker quiet(form->edtB);
        form->edtB->setText("0");
        box->click();
        QVERIFY(!box->isChecked() && !form->exactIntegration);
        QCOMPARE(seam.messages, QStringList {"Начало и конец отрезка не должны совпадать!"});
    }

    // After a change of degree has emptied it, there is no matrix: the user is told to build
    // it, nothing is written and the status line stays. Otherwise, under the Russian locale, the
    // file holds each cell's text read back and written with "%g ".
    void matrixExport()
    {
        QVERIFY(russianLocale());
        seam.fileAnswers = QStringList(2, "matrix.txt");
        chooseDegree(3);
        form->btnGraphic->click();
        chooseDegree(2);
        form->StatusBar->showMessage("до сохранения");
        form->miMatrix->trigger();
        QCOMPARE(seam.messages,
            QStringList {"Матрица значений не построена. Постройте график (кнопка «Построить» на "
                         "странице «График»), затем сохраните таблицу."});
        QVERIFY(
            !QFile::exists("matrix.txt") && form->StatusBar->currentMessage() == "до сохранения");
        form->btnGraphic->click(); // the 4 rows of m = 2, 32 numbers each
        const TStringGrid* grid = form->sgWaveletValues;
        form->miMatrix->trigger();
        QByteArray expected;
        for (int r = 1; r <= 4; ++r) {
            for (int col = 1; col <= 32; ++col)
                expected
                    += QString::asprintf("%g ", QLocale().toDouble(grid->cell(col, r))).toLatin1();
            expected += '\n';
        }
        QCOMPARE(contents("matrix.txt"), expected);
        QCOMPARE(form->StatusBar->currentMessage(), "Коэффициенты были сохранены в matrix.txt");
    }

    // The window saves as the command line writes -o: a device directly, its refusal told and
    // the device left as it was; a symbolic link followed, its target replaced, the link kept.
    void savesToDevicesAndLinks()
    {
        form->btnGraphic->click();
        const QString full = fullDevice();
        QVERIFY(write("matrix.txt", "old") && QFile::link("matrix.txt", "link.txt"));
        seam.fileAnswers = {full, "link.txt"};
        form->miMatrix->trigger();
        form->miMatrix->trigger();
        QCOMPARE(seam.messages.size(), 1);
        QVERIFY2(seam.messages[0].startsWith("Не удалось сохранить файл «" + full
                     + "»: запись не удалась (возможно, диск заполнен) ("),
            qPrintable(seam.messages[0]));
        QVERIFY(isCharacterDevice(full) && QFileInfo("link.txt").isSymLink());
        QVERIFY(contents("matrix.txt").startsWith("-2.25 -1.15625 "));
    }
};

SPLINEWAVE_TEST_MAIN(TestFiles)
#include "test_files.moc"
