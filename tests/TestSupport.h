#pragma once

#include "app/Application.h"
#include "app/Dialogs.h"
#include "app/Main_f.h"
#include "app/StringGrid.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <limits>
#include <memory>

// Answers the program's dialogs during a test and records what was shown.
class RecordingSeam : public DialogSeam
{
public:
    void showMessage(const QString& text) override { messages << text; }
    QAction* choosePopupItem(QMenu& menu) override;
    std::optional<QString> chooseFile(QFileDialog& dialog) override;

    QStringList messages; // every message box, in order
    QStringList popupsShown; // objectName of every popup menu shown
    QString popupChoice; // objectName of the item to choose; empty dismisses the menu
    QStringList fileAnswers; // per dialog in turn: the file to choose, or "" to cancel
    QStringList dialogsShown; // objectName of every file dialog shown
    QStringList proposedFiles; // the file each dialog proposed when it came up
    QStringList proposedFolders; // the folder each dialog opened in
};

// The fixture of every test program: before each test a new main window as at start-up, in an
// empty scratch working folder that holds its settings too, and the C locale, with the degree
// of an everyDegree() row ("m=3") chosen; the dialog seam installed for the whole run, so no real modal box can hang.
class WindowTest : public QObject
{
    Q_OBJECT

public:
    WindowTest() { setDialogSeam(&seam); }
    ~WindowTest() override { setDialogSeam(nullptr); }

private slots:
    void init();

protected:
    void chooseDegree(int m) { form->cbStepSplain->setCurrentText(QString::number(m)); }
    // The Russian locale for the window's texts and the C library's; false if it is missing.
    static bool russianLocale();
    // Cells first .. first + count - 1 of a grid row, joined by blanks.
    static QString row(const TStringGrid* grid, int r, int first, int count);
    // The bytes of a file; "<missing>" when it cannot be read.
    static QByteArray contents(const QString& name);
    // Writes the bytes to the file, replacing it; false when that fails.
    static bool write(const QString& name, const QByteArray& bytes);
    // A device that refuses every write as a full disk does: a node of its own in the scratch
    // folder where one can be made (as root), so that a save that wrongly replaces it cannot
    // replace the system's /dev/full; /dev/full itself otherwise.
    static QString fullDevice();
    static bool isCharacterDevice(const QString& name);

    RecordingSeam seam;
    TMainForm* form = nullptr;
    std::unique_ptr<QTemporaryDir> scratch;
};

// Data rows m = 2, 3, 4.
void everyDegree();

// One unit in the last place of 1.0: tolerances are counted in it.
constexpr double eps = std::numeric_limits<double>::epsilon();

// Exact agreement of two doubles, on purpose (QCOMPARE on doubles allows a relative 1e-12).
#define QVERIFY_EXACT(value, expected)                                                             \
    QVERIFY2((value) == (expected),                                                                \
        qPrintable(QString("%1 is not %2").arg(value, 0, 'g', 17).arg(expected, 0, 'g', 17)))

#define QVERIFY_NEAR(value, expected, tolerance)                                                   \
    QVERIFY2(std::abs((value) - (expected)) <= (tolerance),                                        \
        qPrintable(QString("%1 vs %2").arg(value, 0, 'g', 17).arg(expected, 0, 'g', 17)))

// The completion text of a timed command: the prefix, whole milliseconds and " мc" (Latin c).
#define QVERIFY_TIMED_STATUS(prefix)                                                               \
    QVERIFY2(QRegularExpression("^" + QRegularExpression::escape(QString(prefix)) + "\\d+ мc$")    \
                 .match(form->StatusBar->currentMessage())                                         \
                 .hasMatch(),                                                                      \
        qPrintable(form->StatusBar->currentMessage()))

// A test program: the application object of the program, then the Qt Test class.
#define SPLINEWAVE_TEST_MAIN(TestClass)                                                            \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        TApplication application(argc, argv);                                                      \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
