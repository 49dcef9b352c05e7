#include "core/SafeSave.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>

namespace {

// What went wrong, in the user's terms; `replacing`: through a temporary file in the folder.
QString writeProblem(const QFileDevice& file, bool replacing)
{
    if (QFileInfo(file.fileName()).isDir())
        return "на месте файла стоит папка с тем же именем";
    switch (file.error()) {
    case QFileDevice::OpenError:
        return replacing ? "файл нельзя создать в этой папке" : "файл нельзя открыть для записи";
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError: // Qt's word for a full disk
        return "запись не удалась (возможно, диск заполнен)";
    case QFileDevice::RenameError:
        return "файл нельзя заменить";
    default:
        return "ошибка записи";
    }
}

QString failure(const QFileDevice& file, bool replacing)
{
    return writeProblem(file, replacing) + " (" + file.errorString() + ")";
}

// Writes until every byte is out: a disk that fills up takes the first part of a write without
// a word (Qt reports no error), and only the next write says why.
bool writeAll(QFileDevice& file, std::string_view piece)
{
    for (qint64 done = 0; done < qint64(piece.size());) {
        const qint64 count = file.write(piece.data() + done, qint64(piece.size()) - done);
        if (count <= 0)
            return false;
        done += count;
    }
    return true;
}

// Every piece, until one fails; the pieces after it are made but not written.
bool writeAll(QFileDevice& file, const Pieces& contents)
{
    bool written = true;
    contents([&](std::string_view piece) { written = written && writeAll(file, piece); });
    return written;
}

// Unbuffered, so that the device's refusal is seen at the write itself.
std::optional<QString> writeDirectly(const QString& name, const Pieces& contents)
{
    QFile file(name);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && writeAll(file, contents))
        return std::nullopt;
    return failure(file, false);
}

// The contents wait in the device's buffer until commit(), which on Qt 6.4 replaces the target
// even when writing that buffer out fails half-way (a full disk): flush first. The temporary
// file of a failed save is removed with the QSaveFile.
std::optional<QString> replaceAtomically(const QString& name, const Pieces& contents)
{
    QSaveFile file(name);
    if (file.open(QIODevice::WriteOnly) && writeAll(file, contents) && file.flush()
        && file.commit())
        return std::nullopt;
    return failure(file, true);
}

} // namespace

bool isSpecialFile(const QString& name)
{
    struct stat status;
    return ::stat(QFile::encodeName(name).constData(), &status) == 0 && !S_ISREG(status.st_mode)
        && !S_ISDIR(status.st_mode);
}

std::optional<QString> saveFile(const QString& name, const Pieces& contents)
{
    return isSpecialFile(name) ? writeDirectly(name, contents) : replaceAtomically(name, contents);
}

std::optional<QString> saveFile(const QString& name, const QByteArray& contents)
{
    return saveFile(name, [&](const std::function<void(std::string_view)>& out) {
        out(std::string_view(contents.constData(), std::size_t(contents.size())));
    });
}
