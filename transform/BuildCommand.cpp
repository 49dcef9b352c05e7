// The Build command: the interval check, the title, and the chosen transform, timed.

#include "app/Conversions.h"
#include "app/Main_f.h"
#include "app/WaitingStatus.h"

#include <QLineEdit>
#include <QRadioButton>

#include <algorithm>
#include <cmath>

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

// The loaded data or else the typed formula, parsed once, and finite at every point where the
// forward transform evaluates it: the sample points and the quadrature points.
DecomposedFunction TMainForm::functionToDecompose()
{
    DecomposedFunction f
        = loadedData ? *loadedData : DecomposedFunction::formula(edtFunction->text());
    std::vector<double> evaluated;
    for (const auto& point : points)
        evaluated.push_back(point[0]);
    std::ranges::copy(quadraturePoints(), std::back_inserter(evaluated));
    const auto undefinedAt = std::find_if(
        evaluated.begin(), evaluated.end(), [&f](double x) { return !std::isfinite(f.value(x)); });
    if (undefinedAt != evaluated.end())
        throw ERejectedInput(("Функция f(x)=" + f.name
            + " не определена или бесконечна при x = " + FloatToStr(*undefinedAt))
                                 .toStdString());
    return f;
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
    if (forward)
        userFunction = functionToDecompose();
    updateTitle();
    startTicks = int(clockTicks());
    WaitingStatus status(StatusBar,
        forward ? "Подождите, идет прямое вейвлет-преобразование..."
                : "Подождите, идет обратное вейвлет-преобразование...");
    const BusyCursor busy;
    forward ? forwardTransform() : inverseTransform();
    endTicks = int(clockTicks());
    status.complete(QString(forward ? "Выполнено прямое" : "Выполнено обратное")
        + " вейвлет-преобразование для m=" + IntToStr(m) + ". Время выполнения " + elapsedText()
        + " мc");
    if (forward) {
        coefficientSource = CoefficientSource::ForwardTransform;
        refreshAnalysis();
    }
}
