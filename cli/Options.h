#pragma once

#include "core/SafeSave.h"

#include <QCommandLineParser>
#include <QString>

#include <string>

// What every command of splinewave-cli shares: its exit statuses, its failures, its options read
// and checked, and its result written.

enum Status
{
    Success = 0,
    BadData = 1,
    BadUsage = 2
};

// A failure of the command, its message in Russian and its exit status.
struct Failure
{
    Status status;
    QString message;
};

[[noreturn]] void usageError(const QString& message);

// "-m" for a name of one letter, "--J0" for a longer one.
QString optionName(const QString& name);

// A whole number; one of more digits than an int holds is out of range, not "not an integer".
int integerOption(const QCommandLineParser& parser, const QString& name);
// A finite number >= 0, with a decimal point or comma.
double numberOption(const QCommandLineParser& parser, const QString& name);
// A usage error when the option is not given.
void require(const QCommandLineParser& parser, const QString& name);
// -m: 2, 3 or 4.
int orderOption(const QCommandLineParser& parser);

// The name "-": the standard input for a file read, the standard output for -o.
bool isStandardStream(const QString& path);

// The result on stdout (no -o, "-" or /dev/stdout: the descriptor the shell set up, so that
// ">>" still appends), or in the file as saveFile (core/SafeSave.h) writes it; piece by piece,
// or a text made at once.
void write(const QString& path, const Pieces& contents);
void write(const QString& path, const std::string& text);
