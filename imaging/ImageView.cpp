#include "imaging/ImageView.h"

#include <QPainter>

ImageView::ImageView(const char* name, const QString& caption, QWidget* parent)
    : QWidget(parent)
    , text(caption)
{
    setObjectName(name);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ImageView::setPicture(const QImage& picture, const QString& caption, const QList<QRect>& bands)
{
    image = picture;
    text = caption;
    outlines = bands;
    scaled = QPixmap();
    update();
}

void ImageView::clear(const QString& caption)
{
    setPicture(QImage(), caption);
}

int ImageView::captionHeight() const
{
    return fontMetrics().height() + 4;
}

QRect ImageView::pictureRect() const
{
    if (image.isNull())
        return {};
    const QRect room = rect().adjusted(0, captionHeight(), 0, 0);
    const QSize size = image.size().scaled(room.size(), Qt::KeepAspectRatio);
    return QRect(room.topLeft() + QPoint((room.width() - size.width()) / 2, 0), size);
}

void ImageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawText(QRect(0, 0, width(), captionHeight()), Qt::AlignCenter,
        fontMetrics().elidedText(text, Qt::ElideRight, width()));
    const QRect target = pictureRect();
    if (target.isEmpty())
        return;
    if (scaled.size() != target.size())
        scaled = QPixmap::fromImage(image.scaled(target.size(), Qt::IgnoreAspectRatio,
            target.width() < image.width() ? Qt::SmoothTransformation : Qt::FastTransformation));
    painter.drawPixmap(target.topLeft(), scaled);
    // Outlines along the edges of the pixels they enclose, a cosmetic pen of one pixel.
    painter.setPen(QPen(QColor(255, 200, 0), 0));
    const double sx = double(target.width()) / image.width();
    const double sy = double(target.height()) / image.height();
    for (const QRect& band : outlines)
        painter.drawRect(QRectF(target.left() + band.left() * sx, target.top() + band.top() * sy,
            band.width() * sx - 1, band.height() * sy - 1));
}
