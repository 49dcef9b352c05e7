#include "app/Application.h"
#include "app/Dialogs.h"
#include "app/Main_f.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::Russian), "qt", "_",
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/icons/splinewave-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
}

TApplication::~TApplication()
{
    mainForm.reset();
    MainForm = nullptr;
}

TMainForm* TApplication::createMainForm()
{
    mainForm = std::make_unique<TMainForm>();
    MainForm = mainForm.get();
    MainForm->raiseCreationEvent();
    return MainForm;
}

int TApplication::run()
{
    runGuarded([this] {
        createMainForm()->showMaximized();
        exec();
    });
    return 0;
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    runGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
