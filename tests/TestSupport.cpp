#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>

#include <cctype>
#include <charconv>
#include <clocale>

QAction* RecordingSeam::choosePopupItem(QMenu& menu)
{
    popupsShown << menu.objectName();
    for (QAction* action : menu.actions())
        if (!popupChoice.isEmpty() && action->objectName() == popupChoice)
            return action;
    return nullptr;
}

std::optional<QString> RecordingSeam::chooseFile(QFileDialog& dialog)
{
    dialogsShown << dialog.objectName();
    proposedFiles << dialog.selectedFiles().value(0);
    QString answer = fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    if (answer.isEmpty())
        return std::nullopt;
    return answer;
}

void WindowTest::init()
{
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, "C");
    scratch = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir::setCurrent(scratch->path()));
    seam = RecordingSeam();
    form = static_cast<TApplication*>(qApp)->createMainForm();
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

bool WindowTest::showsTimedStatus(const QString& prefix) const
{
    const QString pattern = "^" + QRegularExpression::escape(prefix) + "\\d+ мc$";
    return QRegularExpression(pattern).match(form->StatusBar->currentMessage()).hasMatch();
}

QByteArray WindowTest::contents(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void everyDegree()
{
    QTest::addColumn<int>("m");
    for (int m = 2; m <= 4; ++m)
        QTest::addRow("m=%d", m) << m;
}

bool agreesWithQuoted(double value, const QString& text)
{
    const std::string quoted = text.toStdString();
    int digits = 0;
    for (char c : quoted.substr(0, quoted.find_first_of("eE")))
        if (std::isdigit(c) && (digits > 0 || c != '0'))
            ++digits;
    char buffer[64];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
        std::max(digits, 1) - 1)
                    .ptr;
    double rounded = 0, expected = 0;
    std::from_chars(buffer, end, rounded);
    std::from_chars(quoted.data(), quoted.data() + quoted.size(), expected);
    return rounded == expected;
}
