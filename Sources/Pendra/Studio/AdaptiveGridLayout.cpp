#include "AdaptiveGridLayout.h"

#include <QWidget>

#include <algorithm>

namespace pendra {

AdaptiveGridLayout::AdaptiveGridLayout(int minimumColumnWidth, int spacing, QWidget* parent)
    : QLayout(parent), m_minimumColumnWidth(minimumColumnWidth), m_spacing(spacing)
{
    Q_ASSERT(minimumColumnWidth > 0);
    Q_ASSERT(spacing >= 0);
    setContentsMargins(0, 0, 0, 0);
}

AdaptiveGridLayout::~AdaptiveGridLayout()
{
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

int AdaptiveGridLayout::columnsFor(int width, int minimumColumnWidth, int spacing)
{
    Q_ASSERT(minimumColumnWidth > 0);
    return std::max(1, (width + spacing) / (minimumColumnWidth + spacing));
}

void AdaptiveGridLayout::addItem(QLayoutItem* item)
{
    m_items.append(item);
    invalidate();
}

QLayoutItem* AdaptiveGridLayout::itemAt(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

QLayoutItem* AdaptiveGridLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem* item = m_items.takeAt(index);
    invalidate();
    return item;
}

int AdaptiveGridLayout::count() const
{
    return int(m_items.size());
}

QSize AdaptiveGridLayout::sizeHint() const
{
    return minimumSize();
}

QSize AdaptiveGridLayout::minimumSize() const
{
    // Only one row's height: the real height depends on the width and comes
    // from heightForWidth. Claiming the one-column height here would make
    // every enclosing layout as tall as a single column of items.
    const QMargins margins = contentsMargins();
    int tallest = 0;
    for (QLayoutItem* item : m_items) {
        if (!item->isEmpty())
            tallest = std::max(tallest, item->hasHeightForWidth() ? item->heightForWidth(m_minimumColumnWidth)
                                                                   : item->sizeHint().height());
    }
    return QSize(m_minimumColumnWidth + margins.left() + margins.right(), tallest + margins.top() + margins.bottom());
}

Qt::Orientations AdaptiveGridLayout::expandingDirections() const
{
    return Qt::Horizontal;
}

bool AdaptiveGridLayout::hasHeightForWidth() const
{
    return true;
}

int AdaptiveGridLayout::heightForWidth(int width) const
{
    return arrange(QRect(0, 0, width, 0), false);
}

void AdaptiveGridLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int AdaptiveGridLayout::arrange(const QRect& rect, bool apply) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int columns = columnsFor(area.width(), m_minimumColumnWidth, m_spacing);
    if (apply)
        const_cast<AdaptiveGridLayout*>(this)->m_columns = columns;
    // The pixels that do not divide evenly go one each to the first columns,
    // so every gap is exactly the spacing and the last column ends flush.
    const int shared = std::max(0, area.width() - (columns - 1) * m_spacing);
    const int cellWidth = shared / columns;
    const int widerColumns = shared % columns;
    const auto columnLeft = [&](int column) {
        return area.left() + column * (cellWidth + m_spacing) + std::min(column, widerColumns);
    };

    QList<QLayoutItem*> visible;
    for (QLayoutItem* item : m_items) {
        if (!item->isEmpty())
            visible.append(item);
    }

    int y = area.top();
    for (qsizetype first = 0; first < visible.size(); first += columns) {
        const qsizetype last = std::min(visible.size(), first + columns);
        int rowHeight = 0;
        for (qsizetype i = first; i < last; ++i) {
            QLayoutItem* item = visible.at(i);
            const int h = item->hasHeightForWidth() ? item->heightForWidth(cellWidth) : item->sizeHint().height();
            rowHeight = std::max(rowHeight, h);
        }
        if (apply) {
            for (qsizetype i = first; i < last; ++i) {
                const int column = int(i - first);
                const int width = cellWidth + (column < widerColumns ? 1 : 0);
                visible.at(i)->setGeometry(QRect(columnLeft(column), y, width, rowHeight));
            }
        }
        y += rowHeight;
        if (last < visible.size())
            y += m_spacing;
    }
    const QMargins margins = contentsMargins();
    return y - area.top() + margins.top() + margins.bottom();
}

} // namespace pendra
