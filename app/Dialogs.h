#pragma once

#include <QString>

#include <exception>
#include <optional>
#include <stdexcept>

class QAction;
class QFileDialog;
class QMenu;

// Everything modal the program shows goes through these functions. A test installs a seam that
// answers in place of a person; without one the real Qt dialogs run (exec()), so an outside
// program can answer them through QApplication::activeModalWidget().
class DialogSeam
{
public:
    virtual ~DialogSeam() = default;
    // A modal message box with this text was shown.
    virtual void showMessage(const QString& text) = 0;
    // The item chosen from a popup menu, or nullptr when the menu is dismissed.
    virtual QAction* choosePopupItem(QMenu& menu) = 0;
    // The file chosen in a file dialog, or nothing when the dialog is cancelled.
    virtual std::optional<QString> chooseFile(QFileDialog& dialog) = 0;
};

// Installs the seam; nullptr restores the real dialogs.
void setDialogSeam(DialogSeam* seam);

// The modal message box.
void ShowMessage(const QString& text);

// The standard exception display: the error's message in a message box; a generic Russian
// message for an error that is not a standard exception.
void showException(std::exception_ptr error);

// Input that breaks a rule of the program (an empty interval, an unknown degree). The message
// tells the rule; the command stops before it changes anything, and its guard shows the message.
class ERejectedInput : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Runs a command; an escaping error goes to the standard exception display, never further.
template <class Command> void runGuarded(Command&& command)
{
    try {
        command();
    } catch (...) {
        showException(std::current_exception());
    }
}

// Pops the menu up at the mouse cursor; the chosen item is triggered.
void popupAtCursor(QMenu& menu);

// Runs the dialog modally, in the folder of the file chosen last (remembered between runs); the
// chosen file with its folder, or nothing when cancelled. A save dialog's default suffix is added
// to a name without a suffix.
std::optional<QString> runFileDialog(QFileDialog& dialog);
