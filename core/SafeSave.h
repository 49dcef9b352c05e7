#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <string_view>

// Writes the whole contents to the file `name`, for the window and the command line alike.
//
// A regular file, or a new one, is written through a temporary file in its folder that replaces
// it only once every byte has been written out, so that a failed save (a full disk) leaves the
// previous file as it was; a symbolic link is followed and its target replaced, the link stays.
// A target that is not a regular file (a device such as /dev/null, a named pipe) is written
// directly, as it cannot be replaced: a write it refuses (a full device) is a failure too.
//
// Returns nothing on success; on failure why, in Russian, with the system's own words in
// parentheses: "запись не удалась (возможно, диск заполнен) (No space left on device)".
std::optional<QString> saveFile(const QString& name, const QByteArray& contents);
// The same for contents made piece by piece: contents(out) calls out(piece) for each piece
// in order, and a piece is out before the next is made.
using Pieces = std::function<void(const std::function<void(std::string_view)>& out)>;
std::optional<QString> saveFile(const QString& name, const Pieces& contents);

// Whether the name, its links followed, is something other than a regular file or a folder: a
// device, a named pipe, a socket, which a save writes as it is. A missing file is not.
bool isSpecialFile(const QString& name);
