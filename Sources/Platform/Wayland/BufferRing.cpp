#include "BufferRing.h"

namespace pendra {

BufferRing::BufferRing(int limit) : m_limit(limit)
{
    Q_ASSERT(limit >= 2);
}

void BufferRing::reset(QSize size)
{
    m_size = size;
    m_slots.clear();
    m_latest.reset();
}

std::optional<int> BufferRing::pick()
{
    // The buffer shown last is the cheapest to paint again, once it is free.
    if (m_latest && !m_slots[std::size_t(*m_latest)].busy)
        return m_latest;
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        if (!m_slots[i].busy)
            return int(i);
    }
    if (int(m_slots.size()) < m_limit) {
        m_slots.push_back(Slot{false, QRegion(QRect(QPoint(), m_size))});
        return int(m_slots.size()) - 1;
    }
    return std::nullopt;
}

QRegion BufferRing::stale(int slot) const
{
    return m_slots.at(std::size_t(slot)).stale;
}

void BufferRing::committed(int slot, const QRegion& damage)
{
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        if (int(i) == slot) {
            m_slots[i].stale = QRegion();
            m_slots[i].busy = true;
        } else {
            m_slots[i].stale += damage;
        }
    }
    m_latest = slot;
}

void BufferRing::released(int slot)
{
    if (slot >= 0 && slot < count())
        m_slots[std::size_t(slot)].busy = false;
}

} // namespace pendra
