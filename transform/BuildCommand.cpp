// The Build command: the interval check, the title, and the chosen transform, timed.

#include "app/Conversions.h"
#include "app/Main_f.h"
#include "app/WaitingStatus.h"

#include <QLineEdit>
#include <QRadioButton>

// The title names the degree the basis was built for, which is what the combo box shows
// whenever the degree was accepted, and the exact quadrature rule when it was used.
void TMainForm::updateTitle()
{
    setWindowTitle("Быстрое вейвлет-преобразование в пространстве сплайновых вейвлетов степени "
        + IntToStr(m) + " на конечном отрезке [" + edtA->text() + "," + edtB->text() + "]"
        + (exactIntegration ? ", точное интегрирование" : ""));
}

// A rejected interval puts the design title back before its message is shown.
void TMainForm::btnBuildClick(QObject*)
{
    try {
        checkInterval();
    } catch (const ERejectedInput&) {
        setWindowTitle(designTitle);
        throw;
    }
    updateTitle();
    const bool forward = rbForward->isChecked();
    startTicks = int(clockTicks());
    WaitingStatus status(StatusBar,
        forward ? "Подождите, идет прямое вейвлет-преобразование..."
                : "Подождите, идет обратное вейвлет-преобразование...");
    forward ? forwardTransform() : inverseTransform();
    endTicks = int(clockTicks());
    status.complete(QString(forward ? "Выполнено прямое" : "Выполнено обратное")
        + " вейвлет-преобразование для m=" + IntToStr(m) + ". Время выполнения " + elapsedText()
        + " мc");
}
