#pragma once

#include <QApplication>

#include <memory>

class TMainForm;

// The application object: Qt's Russian translations whatever the system locale, the name its
// settings are kept under (QSettings: the window's place, the last folder), the start-up of the
// main window, and the last-resort catch of errors that escape an event handler.
class TApplication : public QApplication
{
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // Creates MainForm, then raises its creation event.
    TMainForm* createMainForm();

    // Creates the window, shows it where it was last closed (maximized the first time) and runs the message loop until it is closed.
    // Start-up and the loop are guarded by the standard exception display. Returns 0.
    int run();

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void installQtTranslations();

    std::unique_ptr<TMainForm> mainForm;
};
