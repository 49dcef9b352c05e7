#include "app/Dialogs.h"
#include "core/SafeSave.h"
#include "data/EngineMessages.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>

namespace {

DialogSeam* seam = nullptr;

const char* const messageCaption = "Быстрое вейвлет-преобразование";
const char* const unknownError = "Непредвиденная ошибка: операция прервана.";
const char* const folderKey = "files/folder"; // the folder of the file chosen last

// The dialog opens in the folder of the file chosen last, in this run or an earlier one; a name
// it proposes stays proposed.
void openInLastFolder(QFileDialog& dialog)
{
    const QString folder = QSettings().value(folderKey).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    const QFileInfo proposed(dialog.selectedFiles().value(0));
    dialog.setDirectory(folder);
    if (!proposed.fileName().isEmpty() && !proposed.isDir())
        dialog.selectFile(proposed.fileName());
}

// A save dialog with a default suffix gives it to a name without one, as Qt's own dialog does;
// a device or a pipe keeps its name.
QString withDefaultSuffix(const QFileDialog& dialog, const QString& name)
{
    if (dialog.acceptMode() != QFileDialog::AcceptSave || dialog.defaultSuffix().isEmpty()
        || !QFileInfo(name).suffix().isEmpty() || isSpecialFile(name))
        return name;
    return name + "." + dialog.defaultSuffix();
}

// The name chosen, its folder remembered for the next dialog.
QString chosenFile(const QFileDialog& dialog, const QString& name)
{
    const QString file = withDefaultSuffix(dialog, name);
    QSettings().setValue(folderKey, QFileInfo(file).absolutePath());
    return file;
}

} // namespace

void setDialogSeam(DialogSeam* newSeam)
{
    seam = newSeam;
}

void ShowMessage(const QString& text)
{
    if (seam) {
        seam->showMessage(text);
        return;
    }
    QMessageBox box(
        QMessageBox::NoIcon, messageCaption, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void showException(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        ShowMessage(QString::fromStdString(engineMessage(e)));
    } catch (...) {
        ShowMessage(unknownError);
    }
}

void popupAtCursor(QMenu& menu)
{
    if (!seam) {
        menu.exec(QCursor::pos());
        return;
    }
    QAction* chosen = seam->choosePopupItem(menu);
    if (chosen && chosen->isEnabled())
        chosen->trigger();
}

std::optional<QString> runFileDialog(QFileDialog& dialog)
{
    openInLastFolder(dialog);
    if (seam) {
        std::optional<QString> chosen = seam->chooseFile(dialog);
        if (!chosen)
            return std::nullopt;
        dialog.selectFile(*chosen);
        return chosenFile(dialog, *chosen);
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return chosenFile(dialog, dialog.selectedFiles().value(0));
}
