#pragma once

#include <QLayout>
#include <QList>

namespace pendra {

// Lays items out in as many equal columns as fit the width, each column at
// least minimumColumnWidth wide, the columns sharing what is left over. Every
// item fills its cell; a row is as tall as its tallest item.
class AdaptiveGridLayout : public QLayout {
public:
    AdaptiveGridLayout(int minimumColumnWidth, int spacing, QWidget* parent = nullptr);
    ~AdaptiveGridLayout() override;

    // How many columns fit a width; always at least one.
    static int columnsFor(int width, int minimumColumnWidth, int spacing);

    int minimumColumnWidth() const { return m_minimumColumnWidth; }
    // The columns of the last geometry set, one before any.
    int columnCount() const { return m_columns; }

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;

    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places the items in rect when apply is set; returns the height used.
    int arrange(const QRect& rect, bool apply) const;

    QList<QLayoutItem*> m_items;
    int m_minimumColumnWidth;
    int m_spacing;
    int m_columns = 1;
};

} // namespace pendra
