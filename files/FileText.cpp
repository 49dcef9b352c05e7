#include "files/FileText.h"

#include "app/Conversions.h"
#include "app/Dialogs.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringEncoder>

#include <charconv>
#include <cmath>

QByteArray toWindows1251(const QString& text)
{
    QStringEncoder encoder("windows-1251");
    return encoder(text);
}

QString withSuffix(const QString& name, const QString& suffix)
{
    return name.endsWith("." + suffix, Qt::CaseInsensitive) ? name : name + "." + suffix;
}

namespace {

QString writeProblem(const QFileDevice& file)
{
    if (QFileInfo(file.fileName()).isDir())
        return "на месте файла стоит папка с тем же именем";
    switch (file.error()) {
    case QFileDevice::OpenError:
        return "файл нельзя создать в этой папке";
    case QFileDevice::WriteError:
        return "запись не удалась (возможно, диск заполнен)";
    case QFileDevice::RenameError:
        return "файл нельзя заменить";
    default:
        return "ошибка записи";
    }
}

} // namespace

bool saveWholeFile(const QString& name, const QByteArray& contents)
{
    // The contents wait in the device's buffer until commit(), which on Qt 6.4 replaces the
    // target even when writing that buffer out fails half-way (a full disk): flush first.
    QSaveFile file(name);
    bool written = file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size()
        && file.flush() && file.commit();
    if (!written)
        ShowMessage("Не удалось сохранить файл «" + name + "»: " + writeProblem(file) + " ("
            + file.errorString() + ").");
    return written;
}

std::optional<std::vector<double>> readNumbers(
    const QString& name, int count, const std::function<QString(int)>& meaning)
{
    QFile file(name);
    if (!file.exists()) {
        ShowMessage("Файл «" + name + "» не найден.");
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessage("Не удалось прочитать файл «" + name + "» (" + file.errorString() + ").");
        return std::nullopt;
    }
    const QList<QByteArray> tokens = file.readAll().simplified().split(' ');
    std::vector<double> numbers;
    for (const QByteArray& token : tokens) {
        if (token.isEmpty())
            break;
        const char* first = token.startsWith('+') ? token.begin() + 1 : token.begin();
        double value = 0;
        auto [end, error] = std::from_chars(first, token.end(), value);
        if (error != std::errc() || end != token.end() || !std::isfinite(value)) {
            ShowMessage("Файл «" + name + "»: число " + IntToStr(int(numbers.size()) + 1) + " («"
                + QString::fromLatin1(token.left(40)) + "») не является конечным числом.");
            return std::nullopt;
        }
        numbers.push_back(value);
    }
    if (const int found = int(numbers.size()); found != count) {
        auto told = [&](int n) {
            const QString what = meaning(n);
            return IntToStr(n) + (what.isEmpty() ? "" : " (" + what + ")");
        };
        ShowMessage("В файле «" + name + "» чисел: " + told(found)
            + ", а для текущих параметров нужно " + told(count) + ".");
        return std::nullopt;
    }
    return numbers;
}
