#pragma once

#include <QList>
#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace pendra {

// A titled group of rows lying on one rounded inset background, with thin
// lines between the rows, as in a desktop settings window.
class StudioSection : public QWidget {
public:
    // How a row joins the one above it.
    enum class Join {
        separated, // a row of its own, with a line above it
        attached,  // belongs to the row above: no line, little space
    };

    // A section without a title shows no header.
    explicit StudioSection(const QString& title, QWidget* parent = nullptr);

    QString title() const { return m_title; }

    void addRow(QWidget* row, Join join = Join::separated);
    // Wraps a layout in a row of its own.
    QWidget* addRow(QLayout* layout, Join join = Join::separated);
    // Removes every row; the rows are deleted once control returns to the
    // event loop, so a row may clear its own section from one of its signals.
    void clearRows();
    // The rows in order, as they were added.
    QList<QWidget*> rows() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Row {
        QWidget* frame;
        QWidget* content;
        Join join;
    };

    QString m_title;
    QLabel* m_header = nullptr;
    QWidget* m_card;
    QVBoxLayout* m_cardLayout;
    QList<Row> m_rows;
};

} // namespace pendra
