// Times the transform engine per order and level, beside the dense Gram solve it replaces, and
// the window's commands per degree: the median of many runs of each, in milliseconds; first the
// engine beside the array wavelet library at N = 2^20 and the errors of both when K coefficients
// of real series and test functions are kept; then images, and images beside its 2-D transform.
// Usage: splinewave_bench [runs] [peer|series|image]   (that table alone: the timings beside the
// library, the errors of series, the images' tables); splinewave_bench --alone PROGRAM ARGS
// prints the seconds and peak MB of one run of the program.

#include "app/Application.h"
#include "app/Main_f.h"
#include "core/UserFunction.h"
#include "data/Interpolant.h"
#include "image/ImageTransform.h"
#include "tests/DenseReference.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The median time of the command; `before`, when given, runs untimed ahead of each run.
double medianMilliseconds(
    int runs, const std::function<void()>& command, const std::function<void()>& before = {})
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (before)
            before();
        auto start = std::chrono::steady_clock::now();
        command();
        std::chrono::duration<double, std::milli> elapsed
            = std::chrono::steady_clock::now() - start;
        times.push_back(elapsed.count());
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[runs / 2];
}

// The engine under the default rule: set-up, forward transform of 1 - 8x, inverse at the 2^J
// sample points, and the dense Gram solve where it can run; then the peak resident memory.
void engineTable(int runs)
{
    std::printf("engine, default rule, median of %d runs (J = 20: of %d), milliseconds\n\n", runs,
        std::max(3, runs / 10));
    std::printf("| m | J | set-up | forward, 1 - 8x | inverse | dense forward |\n"
                "|---|---|---|---|---|---|\n");
    const auto f = [](double x) { return 1 - 8 * x; };
    for (int m = 2; m <= 4; ++m)
        for (int J : {5, 8, 10, 14, 20}) {
            const engine::BasisParameters parameters {
                m, J, engine::smallestCoarsestLevel(m, engine::Rule::Default)};
            const int n = J < 20 ? runs : std::max(3, runs / 10);
            const double setup
                = medianMilliseconds(n, [&] { engine::Transform transform(parameters); });
            engine::Transform transform(parameters);
            engine::Coefficients coefficients;
            const double forward = medianMilliseconds(
                n, [&] { coefficients = transform.forward(engine::pointwise(f)); });
            const std::vector<double> x = transform.samplePoints();
            const double inverse
                = medianMilliseconds(n, [&] { transform.inverse(coefficients, x); });
            std::printf("| %d | %d | %.2f | %.2f | %.2f |", m, J, setup, forward, inverse);
            if (J <= 8)
                std::printf(" %.2f |\n", medianMilliseconds(std::max(1, runs / 10), [&] {
                    denseForward(transform.basis(), f);
                }));
            else
                std::printf(" |\n");
        }
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("\npeak resident memory: %.0f MB\n\n", usage.ru_maxrss / 1024.0);
}

// The peer's decomposition and reconstruction of the same samples, in milliseconds, from
// bench/peer_wavelets.py; empty when the array wavelet library (python3-pywt) is missing.
std::map<std::string, std::pair<double, double>> peerTimes(int exponent, int runs)
{
    std::map<std::string, std::pair<double, double>> times;
    const std::string command = "/usr/bin/python3 " SPLINEWAVE_BENCH_DIR "/peer_wavelets.py "
        + std::to_string(exponent) + " " + std::to_string(runs) + " 2>/dev/null";
    FILE* peer = popen(command.c_str(), "r");
    if (!peer)
        return times;
    char name[32];
    double decomposition, reconstruction;
    while (std::fscanf(peer, "%31s %lf %lf", name, &decomposition, &reconstruction) == 3)
        times[name] = {decomposition, reconstruction};
    pclose(peer);
    return times;
}

// The program of arguments[0] with its arguments, its output discarded: the whole process's
// time in seconds and its peak resident memory in MB. A child's peak counts the pages it shares
// with its parent at the fork, so this runs in a process of its own (main's "--alone"), not
// in the bench grown by the tables.
std::pair<double, double> runAlone(char** arguments)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        execv(arguments[0], arguments);
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    wait4(child, &status, 0, &usage);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return {elapsed.count(), usage.ru_maxrss / 1024.0};
}

// splinewave-cli forward -m 4 -J J of a formula, run alone by this program's "--alone".
std::pair<double, double> cliForward(int J)
{
    std::fflush(stdout); // not printed twice by the child
    const std::string command = "'" + std::filesystem::read_symlink("/proc/self/exe").string()
        + "' --alone '" SPLINEWAVE_CLI "' forward -m 4 -J " + std::to_string(J)
        + " -f 'sin(2*pi*x)*exp(-x)'";
    FILE* alone = popen(command.c_str(), "r");
    double seconds = -1, megabytes = -1;
    if (alone && std::fscanf(alone, "%lf %lf", &seconds, &megabytes) != 2)
        seconds = megabytes = -1;
    if (alone)
        pclose(alone);
    return {seconds, megabytes};
}

// Ours beside the peer at N = 2^20, m = 4, default rule, in one run: the forward transform from
// the 2^20 + 1 samples of sin(2 pi x) exp(-x) (the spline through them, as a data file gives
// it), from the formula typed, and from the finest products; the inverse at the 2^20 mesh points;
// then the command line's whole process at J = 20 and 22. Calls after the first on one basis.
void peerTable(int runs)
{
    constexpr int J = 20, N = 1 << J;
    const engine::Transform transform(
        {4, J, engine::smallestCoarsestLevel(4, engine::Rule::Default)});
    SampledData samples;
    for (int i = 0; i <= N; ++i) {
        samples.x.push_back(double(i) / N);
        samples.y.push_back(std::sin(2 * M_PI * samples.x.back()) * std::exp(-samples.x.back()));
    }
    const Interpolant spline(std::move(samples));
    const UserFunction typed("sin(2*pi*x)*exp(-x)");
    const engine::BatchFunction fromSpline
        = [&](std::span<const double> x, std::span<double> fx) { spline(x, fx); };
    const engine::BatchFunction fromFormula
        = [&](std::span<const double> x, std::span<double> fx) { typed(x, fx); };
    engine::Coefficients coefficients = transform.forward(fromSpline);
    const std::vector<double> products = transform.finestProducts(fromFormula);
    const int n = std::max(5, runs / 2);
    const double ours[] = {
        medianMilliseconds(n, [&] { coefficients = transform.forward(fromSpline); }),
        medianMilliseconds(n, [&] { transform.forward(fromFormula); }),
        medianMilliseconds(n, [&] { transform.fromProducts(products); }),
        medianMilliseconds(n, [&] { transform.meshValues(coefficients, 1); }),
    };
    const auto peer = peerTimes(J, n);
    std::printf("ours beside the array wavelet library (python3-pywt, mode symmetric), N = 2^20, "
                "m = 4, default rule, median of %d runs, milliseconds\n\n"
                "| | ours | bior3.3 | ours / bior3.3 | db4 |\n|---|---|---|---|---|\n",
        n);
    const char* rows[] = {"forward from the 2^20 + 1 samples (their spline)",
        "forward of the formula sin(2*pi*x)*exp(-x)", "forward from the finest products",
        "inverse at the 2^20 mesh points"};
    for (int row = 0; row < 4; ++row) {
        std::printf("| %s | %.2f |", rows[row], ours[row]);
        auto time = [&](const char* name) {
            const auto found = peer.find(name);
            return found == peer.end() ? -1 : row < 3 ? found->second.first : found->second.second;
        };
        if (time("bior3.3") < 0)
            std::printf(" python3-pywt is not installed | | |\n");
        else
            std::printf(" %.2f | %.1f | %.2f |\n", time("bior3.3"), ours[row] / time("bior3.3"),
                time("db4"));
    }
    std::printf(
        "\n| splinewave-cli forward -m 4 -J J -f \"sin(2*pi*x)*exp(-x)\" | seconds | peak MB "
        "|\n|---|---|---|\n");
    for (int level : {20, 22}) {
        std::vector<std::pair<double, double>> process;
        for (int i = 0; i < (level == 20 ? 5 : 3); ++i)
            process.push_back(cliForward(level));
        std::ranges::sort(process);
        const auto [seconds, megabytes] = process[process.size() / 2];
        std::printf("| J = %d | %.2f | %.0f |\n", level, seconds, megabytes);
    }
    std::printf("\n");
}

// Runs a script of bench/ through the Python module of this build: its tables, or the one line
// it prints when a package is missing.
void runScript(const std::string& script, const std::string& arguments = {})
{
    std::fflush(stdout); // the script's lines after ours
    const std::string command = "PYTHONPATH='" SPLINEWAVE_PYTHON_DIR
                                "' /usr/bin/python3 '" SPLINEWAVE_BENCH_DIR "/"
        + script + "' " + arguments;
    if (const int status = std::system(command.c_str()); status != 0)
        std::printf("bench/%s failed (status %d)\n", script.c_str(), status);
    std::printf("\n");
}

// A line "Name:   123 kB" of /proc/self/status, in megabytes; 0 when it is missing.
double statusMegabytes(const std::string& name)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(name + ":"))
            return std::stod(line.substr(name.size() + 1)) / 1024;
    return 0;
}

// What the event loop does after a command: the posted events that update the charts' scenes,
// the deletion of the chart items of removed series (without it they pile up here, where no
// event loop runs), then the window painted.
void painted(QWidget* window)
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window->repaint();
}

// The window at the levels J of m = 4 at the design size: a level change (set-up and grids laid
// out); the graph page built; a change of the rule right after the graph page was built (the
// page emptied, the basis set up again); a Build of sin(2 pi x), which refreshes every page, with the
// analysis page on screen and with the transfer page on screen; of it, the analysis page's own
// refresh; and a threshold change; each painted at once. Then every page
// shown at J = 16 and the resident memory since this table began: the process's peak is reset
// first (Linux clear_refs), so that the engine's J = 20 does not count.
void levelTable(TMainForm* form, int runs)
{
    std::printf(
        "\nwindow, m = 4, sin(2πx), median of %d runs (J = 16: of %d), milliseconds\n\n"
        "| J | level change | graph click | basis change after the graph click | Build click, "
        "analysis page shown | Build click, transfer page shown | of it the analysis page | "
        "threshold change, page redrawn |\n|---|---|---|---|---|---|---|---|\n",
        runs, std::max(3, runs / 10));
    const bool peakReset = bool(std::ofstream("/proc/self/clear_refs") << "5");
    form->cbStepSplain->setCurrentText("4");
    form->rbForward->setChecked(true);
    form->edtFunction->setText("sin(2*pi*x)");
    form->resize(841, 500);
    form->show();
    for (int J : {10, 14, 16}) {
        const int n = J < 16 ? runs : std::max(3, runs / 10);
        form->sbFinestLevel->setValue(J);
        const double level = medianMilliseconds(n, [&] {
            form->sbLevelChange(form->sbFinestLevel);
            painted(form);
        });
        form->pcCenter->setCurrentWidget(form->tsGraphic);
        const double graph = medianMilliseconds(n, [&] {
            form->btnGraphic->click();
            painted(form);
        });
        const double basisChange = medianMilliseconds(
            n,
            [&] {
                form->chExactIntegration->click();
                painted(form);
            },
            [&] {
                form->btnGraphic->click();
                painted(form);
            });
        if (form->chExactIntegration->isChecked()) // an odd number of runs: back to the default
            form->chExactIntegration->click();
        std::vector<double> build;
        for (QWidget* page : {form->tsAnalysis, form->tsTransfer}) {
            form->pcCenter->setCurrentWidget(page);
            build.push_back(medianMilliseconds(n, [&] {
                form->btnBuild->click();
                painted(form);
            }));
        }
        form->pcCenter->setCurrentWidget(form->tsAnalysis);
        const double page = medianMilliseconds(n, [&] {
            form->refreshAnalysis();
            painted(form);
        });
        int change = 0;
        const double threshold = medianMilliseconds(n, [&] {
            form->edtThreshold->setText(++change % 2 ? QLocale().toString(1e-4) : "0");
            painted(form);
        });
        std::printf("| %d | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f |\n", J, level, graph,
            basisChange, build[0], build[1], page, threshold);
    }
    for (QWidget* page : {form->tsTransfer, form->tsGraphic, form->tsAnalysis}) {
        form->pcCenter->setCurrentWidget(page);
        painted(form);
    }
    std::printf("\nJ = 16, every page shown: resident %.0f MB, peak %.0f MB%s\n",
        statusMegabytes("VmRSS"), statusMegabytes("VmHWM"),
        peakReset ? "" : " (since start: the peak could not be reset)");
    form->hide();
}

// The images' transform, m = 4, default rule, at 512 x 512 and 2048 x 2048: a smooth image and
// an edge across it; the median of the set-up, the forward and the inverse transform, and the
// peak resident memory that one of each adds to the process (its peak reset first, Linux
// clear_refs), against the image's own doubles.
void imageTable(int runs)
{
    std::printf("images, m = 4, default rule, median of %d runs (2048: of %d), milliseconds\n\n"
                "| pixels | set-up | forward | inverse | forward + inverse | peak memory / image "
                "|\n|---|---|---|---|---|---|\n",
        runs, std::max(3, runs / 5));
    for (int side : {512, 2048}) {
        const bool peakReset = bool(std::ofstream("/proc/self/clear_refs") << "5");
        const double before = statusMegabytes("VmRSS");
        const int n = side < 2048 ? runs : std::max(3, runs / 5);
        const image::ImageParameters parameters
            = image::defaultParameters(side, side, 4, engine::Rule::Default);
        const double setup
            = medianMilliseconds(n, [&] { image::ImageTransform(parameters, side, side); });
        const image::ImageTransform transform(parameters, side, side);
        image::Pixels pixels {side, side, std::vector<double>(std::size_t(side) * side)};
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const double t = double(x) / (side - 1), u = double(y) / (side - 1);
                pixels.at(x, y) = 128 + 60 * std::sin(2 * M_PI * t) * std::cos(3 * M_PI * u)
                    + (t > 0.3 + 0.2 * u ? 50 : 0);
            }
        image::ImageCoefficients coefficients;
        const double forward
            = medianMilliseconds(n, [&] { coefficients = transform.forward(pixels); });
        const double inverse = medianMilliseconds(n, [&] { transform.inverse(coefficients); });
        const double both
            = medianMilliseconds(n, [&] { transform.inverse(transform.forward(pixels)); });
        const double image = double(pixels.values.size()) * sizeof(double) / (1 << 20);
        std::printf("| %d × %d | %.1f | %.1f | %.1f | %.1f | %.1f%s |\n", side, side, setup,
            forward, inverse, both, (statusMegabytes("VmHWM") - before) / image,
            peakReset ? "" : " (the peak could not be reset)");
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2 && std::string(argv[1]) == "--alone") {
        const auto [seconds, megabytes] = runAlone(argv + 2);
        std::printf("%.3f %.1f\n", seconds, megabytes);
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 51;
    const std::string only = argc > 2 ? argv[2] : "";
    const std::string imageRuns = std::to_string(std::max(3, runs / 10));
    if (only == "image") {
        imageTable(runs);
        runScript("peer_images.py", imageRuns);
        return 0;
    }
    if (only == "series") {
        runScript("peer_series.py");
        return 0;
    }
    peerTable(runs);
    if (only == "peer")
        return 0;
    runScript("peer_series.py");
    engineTable(runs);
    imageTable(runs);
    runScript("peer_images.py", imageRuns);
    TMainForm* form = application.createMainForm();
    std::printf("window, median of %d runs, milliseconds\n\n", runs);
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
    levelTable(form, runs);
    return 0;
}
