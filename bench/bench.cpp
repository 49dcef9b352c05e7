// Times the window's commands per degree: the median of many runs of each, in milliseconds.
// Usage: splinewave_bench [runs]

#include "app/Application.h"
#include "app/Main_f.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double medianMilliseconds(int runs, const std::function<void()>& command)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        command();
        std::chrono::duration<double, std::milli> elapsed
            = std::chrono::steady_clock::now() - start;
        times.push_back(elapsed.count());
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[runs / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 51;
    TMainForm* form = application.createMainForm();
    std::printf("median of %d runs, milliseconds\n\n", runs);
    std::printf("| m | setupBasis | forwardTransform | "
                "inverseTransform | Build click, forward | Build click, forward, typed f | "
                "Build click, inverse | graph click | threshold change, page redrawn |\n"
                "|---|---|---|---|---|---|---|---|---|\n");
    for (int m = 2; m <= 4; ++m) {
        {
            QSignalBlocker quiet(form->cbStepSplain);
            form->cbStepSplain->setCurrentText(QString::number(m));
        }
        double setup = medianMilliseconds(runs, [&] { form->setupBasis(); });
        double fast = medianMilliseconds(runs, [&] { form->forwardTransform(); });
        double inverse = medianMilliseconds(runs, [&] { form->inverseTransform(); });
        form->rbForward->setChecked(true);
        double buildForward = medianMilliseconds(runs, [&] { form->btnBuild->click(); });
        form->edtFunction->setText("sin(2*pi*x)*exp(-x)");
        double buildTyped = medianMilliseconds(runs, [&] { form->btnBuild->click(); });
        form->edtFunction->setText(TMainForm::initialFunction);
        form->rbBack->setChecked(true);
        double buildInverse = medianMilliseconds(runs, [&] { form->btnBuild->click(); });
        double graph = medianMilliseconds(runs, [&] { form->btnGraphic->click(); });
        // The analysis page of the typed function on screen at the design size: a new threshold
        // recomputes the curves and the page is painted at once.
        form->resize(841, 500);
        form->show();
        form->pcCenter->setCurrentWidget(form->tsAnalysis);
        int change = 0;
        double threshold = medianMilliseconds(runs, [&] {
            form->edtThreshold->setText(++change % 2 ? QLocale().toString(1e-4) : "0");
            form->tsAnalysis->repaint();
        });
        form->hide();
        form->pcCenter->setCurrentWidget(form->tsTransfer);
        std::printf("| %d | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f |\n", m, setup,
            fast, inverse, buildForward, buildTyped, buildInverse, graph, threshold);
    }
    return 0;
}
