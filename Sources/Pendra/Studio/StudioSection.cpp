#include "StudioSection.h"

#include "StudioStyle.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace pendra {

namespace {

constexpr int cardPadSide = 12;
constexpr int rowPad = 7;
constexpr double cardRadius = 8.0;

} // namespace

StudioSection::StudioSection(const QString& title, QWidget* parent)
    : QWidget(parent), m_title(title), m_card(new QWidget(this)), m_cardLayout(new QVBoxLayout(m_card))
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(6);
    if (!title.isEmpty()) {
        m_header = new QLabel(title, this);
        m_header->setObjectName(QStringLiteral("header"));
        m_header->setFont(StudioStyle::header(font()));
        m_header->setContentsMargins(cardPadSide / 2, 0, 0, 0);
        outer->addWidget(m_header);
    }
    m_cardLayout->setContentsMargins(cardPadSide, 3, cardPadSide, 3);
    m_cardLayout->setSpacing(0);
    outer->addWidget(m_card);
}

void StudioSection::addRow(QWidget* row, Join join)
{
    Q_ASSERT(row);
    auto* frame = new QWidget(m_card);
    auto* layout = new QVBoxLayout(frame);
    const bool first = m_rows.isEmpty();
    layout->setContentsMargins(0, join == Join::attached && !first ? 0 : rowPad, 0, rowPad);
    layout->addWidget(row);
    m_cardLayout->addWidget(frame);
    m_rows.append(Row{frame, row, join});
    // A row added while the section shows stays hidden until told otherwise.
    frame->show();
    update();
}

QWidget* StudioSection::addRow(QLayout* layout, Join join)
{
    Q_ASSERT(layout);
    auto* row = new QWidget;
    layout->setContentsMargins(0, 0, 0, 0);
    row->setLayout(layout);
    addRow(row, join);
    return row;
}

void StudioSection::clearRows()
{
    for (const Row& row : std::as_const(m_rows)) {
        m_cardLayout->removeWidget(row.frame);
        row.frame->hide();
        row.frame->setParent(nullptr);
        row.frame->deleteLater();
    }
    m_rows.clear();
    update();
}

QList<QWidget*> StudioSection::rows() const
{
    QList<QWidget*> contents;
    for (const Row& row : m_rows)
        contents.append(row.content);
    return contents;
}

void StudioSection::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF card = QRectF(m_card->geometry()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(card, cardRadius, cardRadius);
    painter.fillPath(shape, StudioStyle::card(palette()));
    painter.setPen(QPen(StudioStyle::separator(palette()), 1.0));
    painter.drawPath(shape);

    painter.setRenderHint(QPainter::Antialiasing, false);
    for (qsizetype i = 1; i < m_rows.size(); ++i) {
        if (m_rows.at(i).join != Join::separated)
            continue;
        const int y = m_card->geometry().top() + m_rows.at(i).frame->geometry().top();
        painter.drawLine(QPoint(int(card.left()) + cardPadSide, y), QPoint(int(card.right()) - cardPadSide, y));
    }
}

} // namespace pendra
