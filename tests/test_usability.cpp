// What a new user reaches for in the window: Enter to build, the threshold in force, why a level
// is refused, the folder used last and the window's place, Qt's dialogs in Russian, the
// coefficient CSV wherever there are coefficients, coefficients typed in inverse mode, tooltips
// near a bar, and the level colours of the analysis page.

#include "core/Conversions.h"
#include "graphs/ChartView.h"
#include "tests/TestSupport.h"

#include <QAbstractFileIconProvider>
#include <QBarSeries>
#include <QBarSet>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QToolTip>

class TestUsability : public WindowTest
{
    Q_OBJECT

    // Types the text into the spin box as a user does, then Enter.
    static void typeLevel(QSpinBox* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }

private slots:
    // Enter in the formula field builds. A threshold that is not a number says beside it which
    // threshold still holds; "min(x,0.5)" is told that arguments are separated by ";".
    void enterAndThreshold()
    {
        form->edtFunction->setText("x*x");
        QTest::keyClick(form->edtFunction, Qt::Key_Return);
        QVERIFY(form->expansion && form->windowTitle().endsWith(", f(x)=x*x"));
        form->edtThreshold->setText("0,01");
        QVERIFY(form->threshold == 0.01 && form->lblThresholdInForce->text().isEmpty());
        form->edtThreshold->setText("0,01x");
        QCOMPARE(form->lblThresholdInForce->text(), QString("действует порог 0.01"));
        form->edtThreshold->setText("0.02");
        QVERIFY(form->threshold == 0.02 && form->lblThresholdInForce->text().isEmpty());
        form->edtFunction->setText("min(x,0.5)");
        QVERIFY2(form->edtFunction->toolTip().contains(
                     "(аргументы min и max разделяются точкой с запятой: min(x;0,5))"),
            qPrintable(form->edtFunction->toolTip()));
    }

    // A level out of range typed is refused with a message that says the range, the window's
    // 16 and the command line's 22, or that J0 lies below J; the levels in force stay.
    void levelsOutOfRange()
    {
        // clang-format off
        const struct { QSpinBox* box; const char *typed, *said; } cases[] = {
            {form->sbFinestLevel, "17", "Окно строит уровни J до 16 (2^16 = 65 536 интервалов). "
                "Более мелкие уровни, до J = 22, считает командная строка: splinewave-cli "
                "forward -m 2 -J 17 …"},
            {form->sbFinestLevel, "2", "Уровень J для m = 2 — не меньше 3"},
            {form->sbCoarsestLevel, "3", "Уровень J0 должен быть меньше J = 3: "
                "вейвлет-коэффициенты c относятся к уровням от J0 + 1 до J. Чтобы взять J0 = 3, "
                "сначала увеличьте J."},
            {form->sbCoarsestLevel, "0", "Уровень J0 для m = 2 — не меньше 1."}};
        // clang-format on
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        for (const auto& c : cases) {
            seam.messages.clear();
            typeLevel(c.box, c.typed);
            QTRY_COMPARE(seam.messages.size(), 1);
            QVERIFY2(seam.messages[0].startsWith(c.said), qPrintable(seam.messages[0]));
            QVERIFY(form->finestLevel == 3 && form->coarsestLevel == 1);
            QVERIFY(form->sbFinestLevel->value() == 3 && form->sbCoarsestLevel->value() == 1);
        }
        typeLevel(form->sbFinestLevel, "12"); // in range: taken, nothing said
        QCoreApplication::processEvents();
        QVERIFY(form->finestLevel == 12 && seam.messages.size() == 1);
    }

    // A million samples suggest J = 20, which the window does not build: the status line says
    // where the window stops and that the command line goes on.
    void millionSamples()
    {
        QByteArray text;
        for (int i = 0; i < 1'000'000; ++i)
            text += i % 2 ? "1\n" : "0\n";
        QVERIFY(write("million.csv", text));
        seam.fileAnswers << "million.csv";
        form->btnLoadData->click();
        QVERIFY2(form->StatusBar->currentMessage().endsWith(
                     "J = 20 (2^20 ≥ 999999); окно строит уровни до J = 16, более мелкие — "
                     "splinewave-cli (до J = 22)"),
            qPrintable(form->StatusBar->currentMessage()));
    }

    // The dialogs open in the folder of the file chosen last, also in the next run, which
    // shows the window where the last one was closed; the report and the matrix get ".txt"
    // when their name has no suffix.
    void folderAndPlaceRemembered()
    {
        QVERIFY(QDir().mkdir("sub"));
        const QString sub = QDir::current().absoluteFilePath("sub");
        seam.fileAnswers << "sub/report";
        form->nCoeff->trigger();
        QVERIFY(contents("sub/report.txt").startsWith("betta"));
        form->btnGraphic->click();
        seam.fileAnswers << sub + "/matrix";
        form->miMatrix->trigger();
        QVERIFY(QFile::exists("sub/matrix.txt") && seam.proposedFolders.last() == sub);
        form->setGeometry(90, 80, 1100, 650);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        const QSize size = form->size();
        form->close();

        form = static_cast<TApplication*>(qApp)->createMainForm(); // the next run
        form->showAsLastTime();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QVERIFY(form->size() == size && size == QSize(1100, 650) && !form->isMaximized());
        form->btnLoadData->click(); // cancelled
        form->nCoeff->trigger(); // cancelled
        QCOMPARE(seam.proposedFolders.mid(2), (QStringList {sub, sub}));
        QCOMPARE(seam.proposedFiles.last(), sub + "/Коэффициенты.txt");
    }

    // Qt's own texts in the file dialogs are Russian, the type column's "Папка" too.
    void qtTextsInRussian()
    {
        QCOMPARE(QCoreApplication::translate("QFileDialog", "File &name:"), QString("&Имя файла:"));
        QCOMPARE(
            QAbstractFileIconProvider().type(QFileInfo(QDir::currentPath())), QString("Папка"));
        for (QFileDialog* dialog : form->findChildren<QFileDialog*>())
            for (const QString& filter : dialog->nameFilters())
                QVERIFY2(QRegularExpression("^[^a-z]*[А-Яа-яё]").match(filter).hasMatch(),
                    qPrintable(filter));
    }

    // "Коэффициенты в CSV…" stands beside the coefficients and in the reports, enabled exactly
    // while there are coefficients, graphs built or not.
    void coefficientCsvWhereTheCoefficientsAre()
    {
        QVERIFY(form->btnSaveCoeffToFile->menu()->actions().contains(form->miCoeffCsv)
            && form->pmReport->actions().contains(form->miCoeffCsv));
        QVERIFY(!form->miCoeffCsv->isEnabled());
        form->btnBuild->click();
        QVERIFY(form->miCoeffCsv->isEnabled() && !form->btnSave->isEnabled());
        seam.fileAnswers << "k";
        form->miCoeffCsv->trigger();
        QVERIFY(contents("k.csv").startsWith("# splinewave coefficients\n"));
        form->btnClear->click();
        QVERIFY(!form->miCoeffCsv->isEnabled());
    }

    // In inverse mode one unit coefficient typed and Build give that wavelet alone at the sample
    // points; "," is a decimal point as everywhere; a text that is no number is refused in its
    // cell, outlined, and changes nothing. In forward mode the cells take nothing.
    void typedCoefficients()
    {
        chooseDegree(3); // J = 4, J0 = 2: c[1][i] of level 3, c[2][i] of level 4
        QAbstractItemModel* c = form->CoeffCGR->model();
        QVERIFY(!(c->flags(c->index(2, 3)) & Qt::ItemIsEditable));
        form->rbBack->click();
        QVERIFY(!(c->flags(c->index(1, 1 + 4)) & Qt::ItemIsEditable)); // level 3 has 4
        QVERIFY(c->setData(c->index(2, 0 + 3), "1,0")); // c of wavelet 0 of level 4
        QVERIFY(form->expansion && form->CoeffCGR->cell(3, 2) == "1.00000"
            && form->CoeffCGR->cell(4, 2) == "0.00000");
        QVERIFY(!c->setData(c->index(2, 4), "один"));
        QVERIFY(form->CoeffCGR->refused(4, 2) && form->coeffC[2].count(1) == 1
            && form->coeffC[2][1] == 0);
        QVERIFY(form->CoeffCGR->toolTip(4, 2).contains("один"));
        QAbstractItemModel* d = form->CoeffDGR->model();
        QVERIFY(d->setData(d->index(1, 0), "0") && !form->CoeffCGR->refused(4, 2));
        form->btnBuild->click();
        const engine::Basis& basis = form->fastTransform->basis();
        for (std::size_t p = 0; p < form->points.size(); ++p)
            QVERIFY_NEAR(
                form->funcValues[p][0], basis.waveletValue(4, 0, form->points[p][0]), 1e-9);
        QVERIFY(seam.messages.isEmpty());
    }

    // The pointer a few pixels above a bar of the energy chart shows its tooltip; the detail
    // curves of fifteen levels have fifteen colours, none the reconstruction's red or the
    // approximation's blue.
    void energyTipAndLevelColours()
    {
        form->resize(1000, 700);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        form->pcCenter->setCurrentWidget(form->tsAnalysis);
        form->sbFinestLevel->setValue(16);
        form->btnBuild->click();
        QCoreApplication::processEvents();
        QChart* energy = form->chEnergy->chart();
        auto* bars = static_cast<QBarSeries*>(energy->series()[0]);
        const QPointF top = energy->mapToPosition({0, bars->barSets()[0]->at(0)}, bars);
        const QPoint above = form->chEnergy->mapFromScene(energy->mapToScene(top)) - QPoint(0, 4);
        QMouseEvent move(QEvent::MouseMove, above, form->chEnergy->viewport()->mapToGlobal(above),
            Qt::NoButton, {}, {});
        QCoreApplication::sendEvent(form->chEnergy->viewport(), &move);
        QTRY_VERIFY(QToolTip::text().startsWith("грубое приближение, уровень 1"));

        QList<QColor> colours {Qt::red, Qt::blue};
        for (QAbstractSeries* s : form->chAnalysis->chart()->series())
            if (s->name().startsWith("детали"))
                colours << static_cast<QXYSeries*>(s)->pen().color();
        QCOMPARE(colours.size(), 2 + 15);
        for (int i = 0; i < colours.size(); ++i)
            QVERIFY(colours.indexOf(colours[i]) == i);
    }
};

SPLINEWAVE_TEST_MAIN(TestUsability)
#include "test_usability.moc"
