// The coefficients in force in a coefficient file (data/CoefficientFile.h), every digit kept, and
// back: the save popup's "Коэффициенты в CSV…" and, in inverse mode, "Коэффициенты из CSV…".

#include "app/Main_f.h"
#include "app/WaitingStatus.h"
#include "data/CoefficientFile.h"
#include "files/FileText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>

void TMainForm::miCoeffCsvClick(QObject*)
{
    const std::optional<QString> name = runFileDialog(*SaveCoeffCsvDialog);
    if (!name)
        return;
    const CoefficientFile file {fastTransform->basis().parameters(),
        expansion ? expansion->label() : std::string(), storedCoefficients(), expansionFit,
        expansionRange};
    if (saveWholeFile(withSuffix(*name, "csv"), QByteArray::fromStdString(coefficientText(file))))
        ShowMessage("Коэффициенты сохранены в «" + withSuffix(*name, "csv") + "»");
}

// The file is read whole before anything changes; one of another interval than [0, 1] or of a
// level above the window's is refused. A basis other than the one in force is set up first,
// timed, and the controls show its degree, levels, rule and interval; then the coefficients fill
// the tables as a load from the fixed-name files does.
void TMainForm::btnLoadCoeffCsvClick(QObject*)
{
    if (!rbBack->isChecked())
        return;
    const std::optional<QString> name = runFileDialog(*LoadCoeffCsvDialog);
    if (!name)
        return;
    const std::string path = name->toStdString();
    const CoefficientFile file = [&] {
        WaitingStatus status(StatusBar, "Подождите, читаются коэффициенты...");
        return readCoefficientFile(path);
    }();
    const engine::BasisParameters& p = file.parameters;
    requireProgramInterval(file, path);
    if (p.J > maxWindowLevel)
        failData(path, 2,
            "окно строит уровни J до " + std::to_string(maxWindowLevel) + ", а в файле J="
                + std::to_string(p.J) + " (такие файлы обрабатывает splinewave-cli)");
    const engine::BasisParameters& now = fastTransform->basis().parameters();
    if (p.m != now.m || p.J != now.J || p.J0 != now.J0 || p.rule != now.rule || p.a != now.a
        || p.b != now.b) {
        timedSetup([this, &p] { setupBasis(p); });
        const QSignalBlocker quietDegree(cbStepSplain), quietRule(chExactIntegration), quietA(edtA),
            quietB(edtB);
        cbStepSplain->setCurrentText(QString::number(p.m));
        chExactIntegration->setChecked(p.rule == engine::Rule::Exact);
        edtA->setText(QString::number(int(p.a)));
        edtB->setText(QString::number(int(p.b)));
    }
    storeExpansion(engine::Expansion(fastTransform, file.coefficients, engine::Origin::Coefficients,
                       file.function),
        file.fit, file.range);
    refreshAnalysis();
}
