#pragma once

#include <QSpinBox>

#include <optional>

// A level's spin box that says so when a level outside its range is typed: where a plain spin
// box drops the keystroke or silently puts the old value back, it takes any number of up to
// three digits while it is typed and, when the typing is done (Enter, leaving the box), raises
// refused with the number and shows the level in force again.
class TLevelBox : public QSpinBox
{
    Q_OBJECT

public:
    using QSpinBox::QSpinBox;

signals:
    void refused(int typed);

protected:
    QValidator::State validate(QString& text, int& position) const override;
    void fixup(QString& text) const override;

private:
    // The number typed, when the text is one of up to three digits outside the range.
    std::optional<int> outOfRange(const QString& text) const;
};
