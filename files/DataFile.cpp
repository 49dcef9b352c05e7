// f(x) from a data file: its samples, x mapped onto [a, b], and between them the natural cubic
// spline through them or the broken line.

#include "app/Main_f.h"
#include "app/WaitingStatus.h"
#include "core/Conversions.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>

#include <bit>
#include <cstdint>

// The file is read whole before anything changes: a file that cannot be used leaves the
// function field and the data in force as they were, and its message names the line. After a
// load the field shows the data, greyed, until it is edited; the status line says how many values
// the file left empty, and where.
void TMainForm::btnLoadDataClick(QObject*)
{
    checkInterval(); // the samples must lie in [a, b]
    const std::optional<QString> chosen = runFileDialog(*LoadDataDialog);
    if (!chosen)
        return;
    WaitingStatus status(StatusBar, "Подождите, читаются данные...");
    const QString name = QFileInfo(*chosen).fileName();
    SampledData samples = readSamples(chosen->toStdString(), a, b);
    const std::size_t count = samples.y.size();
    loadedData = DecomposedFunction::samples(
        name, std::move(samples), a, b, Between(cbBetween->currentIndex()));
    const auto [x0, x1] = loadedData->range;
    {
        const QSignalBlocker keepData(edtFunction);
        edtFunction->setText(loadedData->name + " (" + QString::number(count) + " точек)");
        edtFunction->setCursorPosition(0); // a narrow field shows the file's name first
    }
    edtFunction->setStyleSheet("QLineEdit { color: gray; }");
    edtFunction->setToolTip("f(x) — отсчёты файла «" + *chosen
        + "» и между ними кубический сплайн или ломаная (справа). Наберите формулу, чтобы "
          "вернуться к формулам.");
    // The level J whose 2^J mesh intervals are at least as many as the N - 1 between samples.
    const int level = std::bit_width(std::uint64_t(count - 2));
    const std::string missing = missingValuesNote(loadedData->data->samples().missingLines);
    const std::string mapping = mappingNote(x0, x1, a, b);
    status.complete("Загружено точек: " + QString::number(count) + " из файла «" + name + "»"
        + (missing.empty() ? "" : "; " + QString::fromStdString(missing))
        + (mapping.empty() ? "" : "; " + QString::fromStdString(mapping))
        + ". Наименьший уровень, сетка которого не реже отсчётов: J = " + IntToStr(level) + " (2^"
        + IntToStr(level) + " ≥ " + QString::number(count - 1) + ")"
        + (level > maxWindowLevel ? "; окно строит уровни до J = " + IntToStr(maxWindowLevel)
                    + ", более мелкие — splinewave-cli (до J = 22)"
                                  : QString()));
}
