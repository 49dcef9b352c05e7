#include "app/Panel.h"

#include <QPainter>

TPanel::TPanel(const QString& name, Bevel bevel, QWidget* parent)
    : QFrame(parent)
{
    setObjectName(name);
    if (bevel == Raised)
        setFrameStyle(QFrame::Panel | QFrame::Raised);
}

void TPanel::setCaption(const QString& caption)
{
    text = caption;
    update();
}

void TPanel::setCaptionBold(bool captionBold)
{
    bold = captionBold;
    update();
}

void TPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (text.isEmpty())
        return;
    QPainter painter(this);
    QFont captionFont = font();
    captionFont.setBold(bold);
    painter.setFont(captionFont);
    painter.drawText(contentsRect(), Qt::AlignCenter, text);
}
