#pragma once

#include "app/Application.h"
#include "app/Dialogs.h"
#include "app/Main_f.h"

#include <QLocale>
#include <QStringList>
#include <QTest>

#include <memory>

// Answers the program's dialogs during a test and records what was shown.
class RecordingSeam : public DialogSeam
{
public:
    RecordingSeam() { setDialogSeam(this); }
    ~RecordingSeam() override { setDialogSeam(nullptr); }

    void showMessage(const QString& text) override { messages << text; }
    QAction* choosePopupItem(QMenu& menu) override;
    std::optional<QString> chooseFile(QFileDialog& dialog) override;

    QStringList messages; // every message box, in order
    QStringList popupsShown; // objectName of every popup menu shown
    QString popupChoice; // objectName of the item to choose; empty dismisses the menu
    QStringList fileAnswers; // per dialog in turn: the file to choose, or "" to cancel
    QStringList dialogsShown; // objectName of every file dialog shown
    QStringList proposedFiles; // the file each dialog proposed when it came up
};

// The fixture of the window tests: a fresh main window for each test function, in the C
// locale unless the test chooses another, with a seam that answers its dialogs.
class WindowTest : public QObject
{
protected:
    void openWindow()
    {
        QLocale::setDefault(QLocale::c());
        seam = std::make_unique<RecordingSeam>();
        form = static_cast<TApplication*>(qApp)->createMainForm();
    }
    void closeWindow() { seam.reset(); }

    std::unique_ptr<RecordingSeam> seam;
    TMainForm* form = nullptr;
};

// A test program: the application object of the program, then the Qt Test class.
#define SPLINEWAVE_TEST_MAIN(TestClass)                                                            \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        TApplication application(argc, argv);                                                      \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
