#include "app/LevelBox.h"

#include <QRegularExpression>
#include <QTimer>

std::optional<int> TLevelBox::outOfRange(const QString& text) const
{
    static const QRegularExpression digits(R"(^\s*\d{1,3}\s*$)");
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    const int typed = text.trimmed().toInt();
    if (typed >= minimum() && typed <= maximum())
        return std::nullopt;
    return typed;
}

// An out-of-range number stays in the box while it is typed instead of being dropped.
QValidator::State TLevelBox::validate(QString& text, int& position) const
{
    const QValidator::State state = QSpinBox::validate(text, position);
    return state == QValidator::Invalid && outOfRange(text) ? QValidator::Intermediate : state;
}

// The spin box calls fixup when typing ends on a text that is not a value of its range; the
// value in force comes back, and refused follows once the spin box is done.
void TLevelBox::fixup(QString& text) const
{
    if (const std::optional<int> typed = outOfRange(text)) {
        auto* box = const_cast<TLevelBox*>(this);
        QTimer::singleShot(0, box, [box, value = *typed] { emit box->refused(value); });
    }
    QSpinBox::fixup(text);
}
