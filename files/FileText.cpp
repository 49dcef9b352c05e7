#include "files/FileText.h"

#include "app/Dialogs.h"
#include "core/Conversions.h"
#include "core/SafeSave.h"

#include <QFile>
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
    return isSpecialFile(name) || name.endsWith("." + suffix, Qt::CaseInsensitive)
        ? name
        : name + "." + suffix;
}

bool saveWholeFile(const QString& name, const QByteArray& contents)
{
    const std::optional<QString> problem = saveFile(name, contents);
    if (problem)
        ShowMessage("Не удалось сохранить файл «" + name + "»: " + *problem + ".");
    return !problem;
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
