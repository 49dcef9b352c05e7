// The Build command: the interval check, the title, and the chosen transform, timed.

#include "app/Main_f.h"
#include "app/WaitingStatus.h"
#include "core/Conversions.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

// The title names the degree the basis was built for, which is what the combo box shows
// whenever the degree was accepted, the exact quadrature rule when it was used, and after a
// forward transform a function other than the built-in one.
void TMainForm::updateTitle()
{
    QString title = "Быстрое вейвлет-преобразование в пространстве сплайновых вейвлетов степени "
        + IntToStr(m) + " на конечном отрезке [" + edtA->text() + "," + edtB->text() + "]";
    if (exactIntegration)
        title += ", точное интегрирование";
    if (rbForward->isChecked() && userFunction.name != initialFunction)
        title += ", f(x)=" + userFunction.name;
    setWindowTitle(title);
}

// The loaded data, joined as cbBetween says, or else the typed formula, parsed once.
DecomposedFunction TMainForm::functionToDecompose()
{
    if (!loadedData)
        return DecomposedFunction::formula(edtFunction->text());
    const auto between = Between(cbBetween->currentIndex());
    return loadedData->between == between ? *loadedData : loadedData->joined(between);
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
    const bool forward = rbForward->isChecked();
    startTicks = int(clockTicks());
    WaitingStatus status(StatusBar,
        forward ? "Подождите, идет прямое вейвлет-преобразование..."
                : "Подождите, идет обратное вейвлет-преобразование...");
    const BusyCursor busy;
    forward ? forwardTransform() : inverseTransform();
    endTicks = int(clockTicks());
    updateTitle();
    // Of samples, the route taken: "... для m=3, данные: сплайн проходит через отсчёты
    // (fit=interpolate). Время ...".
    const QString route = forward && expansionFit
        ? ", данные: " + QString::fromStdString(routeNote(*expansionFit, userFunction.between))
        : QString();
    status.complete(QString(forward ? "Выполнено прямое" : "Выполнено обратное")
        + " вейвлет-преобразование для m=" + IntToStr(m) + route + ". Время выполнения "
        + elapsedText() + " мc");
    if (forward)
        refreshAnalysis();
}
