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
    updateGeometry();
    update();
}

// Wide enough for the whole caption beside the room its contents margins keep free.
QSize TPanel::minimumSizeHint() const
{
    QSize hint = QFrame::minimumSizeHint();
    const QMargins margins = contentsMargins();
    const int caption = QFontMetrics(captionFont()).horizontalAdvance(text);
    hint.setWidth(std::max(hint.width(), caption + margins.left() + margins.right()));
    return hint;
}

void TPanel::setCaptionBold(bool captionBold)
{
    bold = captionBold;
    updateGeometry();
    update();
}

QFont TPanel::captionFont() const
{
    QFont captionFont = font();
    captionFont.setBold(bold);
    return captionFont;
}

// The caption centred in the contents rectangle, which leaves out the room of a button that
// stands on the caption bar; elided if even that is too narrow.
QRect TPanel::captionRect() const
{
    const QFontMetrics metrics(captionFont());
    QRect rect = metrics.boundingRect(contentsRect(), Qt::AlignCenter, shownCaption());
    return rect & contentsRect();
}

QString TPanel::shownCaption() const
{
    return QFontMetrics(captionFont()).elidedText(text, Qt::ElideRight, contentsRect().width());
}

void TPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (text.isEmpty())
        return;
    QPainter painter(this);
    painter.setFont(captionFont());
    painter.drawText(captionRect(), Qt::AlignCenter, shownCaption());
}
