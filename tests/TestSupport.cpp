#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSettings>

#include <clocale>

#include <sys/stat.h>
#include <sys/sysmacros.h>

QAction* RecordingSeam::choosePopupItem(QMenu& menu)
{
    popupsShown << menu.objectName();
    return popupChoice.isEmpty() ? nullptr : menu.findChild<QAction*>(popupChoice);
}

std::optional<QString> RecordingSeam::chooseFile(QFileDialog& dialog)
{
    dialogsShown << dialog.objectName();
    proposedFiles << dialog.selectedFiles().value(0);
    proposedFolders << dialog.directory().absolutePath();
    const QString answer = fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    return answer.isEmpty() ? std::nullopt : std::optional(answer);
}

void WindowTest::init()
{
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, "C");
    scratch = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir::setCurrent(scratch->path()));
    // The window's settings (its place, the last folder) in the scratch folder, never the user's.
    QSettings::setPath(
        QSettings::NativeFormat, QSettings::UserScope, scratch->path() + "/settings");
    seam = RecordingSeam();
    form = static_cast<TApplication*>(qApp)->createMainForm();
    if (const QByteArray tag = QTest::currentDataTag(); tag.startsWith("m="))
        chooseDegree(tag.mid(2, 1).toInt());
}

bool WindowTest::russianLocale()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    return std::setlocale(LC_ALL, "ru_RU.UTF-8") != nullptr;
}

QString WindowTest::row(const TStringGrid* grid, int r, int first, int count)
{
    QStringList texts;
    for (int c = first; c < first + count; ++c)
        texts << grid->cell(c, r);
    return texts.join(' ');
}

QByteArray WindowTest::contents(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool WindowTest::write(const QString& name, const QByteArray& bytes)
{
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString WindowTest::fullDevice()
{
    return ::mknod("full", S_IFCHR | 0666, makedev(1, 7)) == 0 ? "full" : "/dev/full";
}

bool WindowTest::isCharacterDevice(const QString& name)
{
    struct stat status;
    return ::stat(QFile::encodeName(name).constData(), &status) == 0 && S_ISCHR(status.st_mode);
}

void everyDegree()
{
    QTest::addColumn<int>("m");
    for (int m = 2; m <= 4; ++m)
        QTest::addRow("m=%d", m) << m;
}
