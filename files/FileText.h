#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The text in the Windows-1251 code page; a character the page lacks becomes the substitute
// byte 0x1A.
QByteArray toWindows1251(const QString& text);

// The name with ".suffix" appended, unless it ends with it already, in any case, or names a
// device or a pipe, which is written as it is.
QString withSuffix(const QString& name, const QString& suffix);

// Writes the whole file as saveFile (core/SafeSave.h) writes it: a regular file through a
// temporary one that replaces it only when complete, so a failed save leaves the previous file
// as it was; a device or a named pipe directly. On failure the user is told which file and why,
// and the result is false.
bool saveWholeFile(const QString& name, const QByteArray& contents);

// The `count` numbers of a text file, whatever the line breaks. On any problem (missing or
// unreadable file, too few or too many numbers, a token that is not a finite number) the user
// is told which file and what is wrong, and the result is empty: a file of another count was
// written for other parameters, and its numbers would land in wrong places. `meaning` names
// the parameters a count of numbers belongs to ("" when none), for the file's count and the
// count needed.
std::optional<std::vector<double>> readNumbers(
    const QString& name, int count, const std::function<QString(int)>& meaning);
