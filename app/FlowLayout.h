#pragma once

#include <QLayout>
#include <QList>

// Items left to right at their preferred widths, wrapped into as many rows as the width needs,
// each item centred vertically in its row. In each row the room left over goes to the items
// that expand horizontally, up to their maximum width; an item wider than the whole width gets
// a row of its own, at least its minimum width. The height follows the width.
class TFlowLayout : public QLayout
{
public:
    TFlowLayout(QWidget* parent, int spacing);
    ~TFlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places the items in the rectangle (or only measures, when place is false); the height used.
    int arrange(const QRect& rect, bool place) const;

    QList<QLayoutItem*> items;
};
