#include "AdaptiveGridLayout.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace pendra {
namespace {

TEST(AdaptiveGridLayout, FitsAsManyColumnsAsTheWidthAllows)
{
    struct Case {
        int width;
        int minimum;
        int spacing;
        int columns;
    } cases[] = {
        {0, 74, 10, 1},   {50, 74, 10, 1},  {74, 74, 10, 1},  {157, 74, 10, 1},  {158, 74, 10, 2},
        {476, 74, 10, 5}, {493, 74, 10, 5}, {494, 74, 10, 6}, {476, 116, 8, 3},  {487, 116, 8, 3},
        {488, 116, 8, 4}, {116, 116, 8, 1}, {10, 5, 0, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AdaptiveGridLayout::columnsFor(c.width, c.minimum, c.spacing), c.columns)
            << c.width << " " << c.minimum << " " << c.spacing;
}

// Items of fixed heights in a grid of the given width.
struct Grid {
    explicit Grid(const QList<int>& heights, int width)
    {
        layout = new AdaptiveGridLayout(74, 10, &host);
        layout->setContentsMargins(0, 4, 0, 4);
        for (int h : heights) {
            auto* item = new QWidget;
            item->setFixedHeight(h);
            layout->addWidget(item);
            items.append(item);
        }
        host.resize(width, layout->heightForWidth(width));
        layout->setGeometry(QRect(0, 0, width, layout->heightForWidth(width)));
    }

    QWidget host;
    AdaptiveGridLayout* layout;
    QList<QWidget*> items;
};

TEST(AdaptiveGridLayout, SharesTheWidthAndStacksRows)
{
    Grid grid({20, 30, 25, 10, 40}, 201);
    ASSERT_EQ(grid.layout->columnCount(), 2);
    // 201 − 10 = 191 to share: 96 and 95, the odd pixel to the first column.
    // An item that cannot grow to the row's height sits in its middle.
    EXPECT_EQ(grid.items[0]->geometry(), QRect(0, 9, 96, 20));
    EXPECT_EQ(grid.items[1]->geometry(), QRect(106, 4, 95, 30));
    EXPECT_EQ(grid.items[2]->geometry(), QRect(0, 44, 96, 25));
    EXPECT_EQ(grid.items[3]->geometry(), QRect(106, 51, 95, 10));
    EXPECT_EQ(grid.items[4]->geometry(), QRect(0, 79, 96, 40));
    EXPECT_EQ(grid.layout->heightForWidth(201), 4 + 30 + 10 + 25 + 10 + 40 + 4);
}

TEST(AdaptiveGridLayout, RearrangesWhenTheWidthChanges)
{
    Grid grid({20, 20, 20, 20, 20, 20}, 158);
    EXPECT_EQ(grid.layout->columnCount(), 2);
    EXPECT_EQ(grid.layout->heightForWidth(158), 4 + 3 * 20 + 2 * 10 + 4);
    grid.layout->setGeometry(QRect(0, 0, 423, grid.layout->heightForWidth(423)));
    EXPECT_EQ(grid.layout->columnCount(), 5);
    EXPECT_EQ(grid.layout->heightForWidth(423), 4 + 2 * 20 + 10 + 4);
    EXPECT_EQ(grid.items[5]->geometry().topLeft(), QPoint(0, 34));
    EXPECT_EQ(grid.items[4]->geometry().right(), 422) << "the last column ends flush";
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(grid.items[i]->geometry().left() - grid.items[i - 1]->geometry().right() - 1, 10);
}

TEST(AdaptiveGridLayout, SkipsHiddenItems)
{
    Grid grid({20, 20, 20}, 158);
    grid.items[0]->hide();
    grid.layout->setGeometry(QRect(0, 0, 158, grid.layout->heightForWidth(158)));
    EXPECT_EQ(grid.layout->heightForWidth(158), 4 + 20 + 4);
    EXPECT_EQ(grid.items[1]->geometry().topLeft(), QPoint(0, 4));
    EXPECT_EQ(grid.items[2]->geometry().topLeft(), QPoint(84, 4));
}

TEST(AdaptiveGridLayout, AnEmptyGridTakesOnlyItsMargins)
{
    Grid grid({}, 300);
    EXPECT_EQ(grid.layout->count(), 0);
    EXPECT_EQ(grid.layout->heightForWidth(300), 8);
}

} // namespace
} // namespace pendra
