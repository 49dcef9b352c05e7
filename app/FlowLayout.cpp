#include "app/FlowLayout.h"

#include <QWidget>

#include <algorithm>

TFlowLayout::TFlowLayout(QWidget* parent, int spacing)
    : QLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(spacing);
}

TFlowLayout::~TFlowLayout()
{
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void TFlowLayout::addItem(QLayoutItem* item)
{
    items.append(item);
}
int TFlowLayout::count() const
{
    return int(items.size());
}
QLayoutItem* TFlowLayout::itemAt(int index) const
{
    return items.value(index);
}
QLayoutItem* TFlowLayout::takeAt(int index)
{
    return index >= 0 && index < items.size() ? items.takeAt(index) : nullptr;
}
Qt::Orientations TFlowLayout::expandingDirections() const
{
    return {};
}
bool TFlowLayout::hasHeightForWidth() const
{
    return true;
}
int TFlowLayout::heightForWidth(int width) const
{
    return arrange({0, 0, width, 0}, false);
}

// As narrow as the widest item allows; then every item has a row of its own.
QSize TFlowLayout::minimumSize() const
{
    QSize size;
    for (QLayoutItem* item : items)
        size = size.expandedTo(item->minimumSize());
    const QMargins margins = contentsMargins();
    return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

// All items in one row.
QSize TFlowLayout::sizeHint() const
{
    int width = 0, height = 0;
    for (QLayoutItem* item : items) {
        width += item->sizeHint().width() + (width > 0 ? spacing() : 0);
        height = std::max(height, item->sizeHint().height());
    }
    const QMargins margins = contentsMargins();
    return {width + margins.left() + margins.right(), height + margins.top() + margins.bottom()};
}

void TFlowLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int TFlowLayout::arrange(const QRect& rect, bool place) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    QList<QLayoutItem*> visible;
    for (QLayoutItem* item : items)
        if (!item->isEmpty())
            visible.append(item);
    int top = area.top();
    for (qsizetype first = 0; first < visible.size();) {
        // The row: as many items at their preferred widths as the width holds, at least one.
        qsizetype end = first + 1;
        int used = visible[first]->sizeHint().width();
        while (end < visible.size()
            && used + spacing() + visible[end]->sizeHint().width() <= area.width())
            used += spacing() + visible[end++]->sizeHint().width();
        int height = 0;
        for (qsizetype i = first; i < end; ++i)
            height = std::max(height, visible[i]->sizeHint().height());
        if (place) {
            int spare = area.width() - used;
            int x = area.left();
            for (qsizetype i = first; i < end; ++i) {
                QLayoutItem* item = visible[i];
                int width = item->sizeHint().width();
                if (item->expandingDirections() & Qt::Horizontal) {
                    const int grown
                        = std::min(width + std::max(spare, 0), item->maximumSize().width());
                    spare -= grown - width;
                    width = grown;
                }
                width = std::max(std::min(width, area.width()), item->minimumSize().width());
                const int itemHeight = std::min(item->sizeHint().height(), height);
                item->setGeometry({x, top + (height - itemHeight) / 2, width, itemHeight});
                x += width + spacing();
            }
        }
        top += height + (end < visible.size() ? spacing() : 0);
        first = end;
    }
    return top - area.top() + contentsMargins().top() + contentsMargins().bottom();
}
