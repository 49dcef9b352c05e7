#include "app/Dialogs.h"
#include "data/EngineMessages.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

namespace {

DialogSeam* seam = nullptr;

const char* const messageCaption = "Быстрое вейвлет-преобразование";
const char* const unknownError = "Непредвиденная ошибка: операция прервана.";

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
    if (seam) {
        std::optional<QString> chosen = seam->chooseFile(dialog);
        if (chosen)
            dialog.selectFile(*chosen);
        return chosen;
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFiles().value(0);
}
