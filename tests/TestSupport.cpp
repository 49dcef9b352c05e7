#include "tests/TestSupport.h"

#include <QAction>
#include <QFileDialog>
#include <QMenu>

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
