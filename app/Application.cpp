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
    setOrganizationName("splinewave");
    setApplicationName("splinewave");
    installQtTranslations();
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/icons/splinewave-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
}

namespace {

// The texts of the file dialogs that Qt 6.4's Russian translation lacks: the type column names a
// folder "Folder" otherwise.
class MissingQtTexts : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(
        const char* context, const char* source, const char* disambiguation, int n) const override
    {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        return qstrcmp(source, "Folder") == 0 ? "Папка"
            : qstrcmp(source, "Drive") == 0   ? "Диск"
                                              : QString();
    }
    bool isEmpty() const override { return false; }
};

} // namespace

// Qt's own texts (the file dialogs' "Имя файла", "Папка", the buttons) in Russian, from the
// translations of Qt's base modules that the package qt6-translations-l10n installs, and what
// they lack.
void TApplication::installQtTranslations()
{
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::Russian), "qtbase", "_",
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
    installTranslator(new MissingQtTexts(this));
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
        createMainForm()->showAsLastTime();
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
