#include "app/Application.h"
#include "app/Dialogs.h"
#include "app/Main_f.h"

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
