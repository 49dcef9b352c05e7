#pragma once

#include <QFrame>

// A panel: a frame with an optional raised bevel and a caption drawn in its middle, visible
// only where no child covers the panel.
class TPanel : public QFrame
{
    Q_OBJECT

public:
    enum Bevel
    {
        NoBevel,
        Raised
    };

    TPanel(const QString& name, Bevel bevel, QWidget* parent);

    QString caption() const { return text; }
    void setCaption(const QString& caption);
    // Draws the caption in bold without making the children bold.
    void setCaptionBold(bool bold);
    // Where the caption is drawn, and its text as drawn (elided when the panel is too narrow).
    QRect captionRect() const;
    QString shownCaption() const;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont captionFont() const;

    QString text;
    bool bold = false;
};
