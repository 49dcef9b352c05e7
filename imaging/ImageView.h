#pragma once

#include <QImage>
#include <QList>
#include <QPixmap>
#include <QRect>
#include <QWidget>

// A picture under its caption line, scaled to fit the rest of the widget with its aspect kept:
// smoothed when it is larger than the room, its pixels as blocks when smaller, so that a small
// coefficient array stays legible. Rectangles given in the picture's pixels (the bands of a
// coefficient array) are outlined over it. The scaled picture is made once per size of the
// widget, not at every paint: O(pixels) then, O(widget pixels) per paint.
class ImageView : public QWidget
{
    Q_OBJECT

public:
    ImageView(const char* name, const QString& caption, QWidget* parent = nullptr);

    void setPicture(
        const QImage& picture, const QString& caption, const QList<QRect>& outlines = {});
    // No picture, only the caption.
    void clear(const QString& caption);

    const QImage& picture() const { return image; }
    QString caption() const { return text; }
    // Where the picture is drawn, in the widget.
    QRect pictureRect() const;

    QSize sizeHint() const override { return {320, 240}; }
    QSize minimumSizeHint() const override { return {80, 60}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int captionHeight() const;

    QImage image;
    QString text;
    QList<QRect> outlines;
    QPixmap scaled; // the picture at the size of pictureRect()
};
