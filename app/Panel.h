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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text;
    bool bold = false;
};
