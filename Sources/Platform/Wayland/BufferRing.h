#pragma once

#include <QRegion>
#include <QSize>

#include <optional>
#include <vector>

namespace pendra {

// The bookkeeping of a few shared-memory buffers that take turns on a
// surface: which one may be painted next (the compositor still reads the
// others), and which areas each has missed since it was last shown, so that
// only those are brought up to date instead of the whole picture.
class BufferRing {
public:
    explicit BufferRing(int limit = 3);

    // Forgets every buffer, for a new size.
    void reset(QSize size);
    QSize size() const { return m_size; }
    int count() const { return int(m_slots.size()); }

    // A free buffer to paint in; a new slot when all are busy and fewer than
    // the limit exist; none when the compositor holds them all.
    std::optional<int> pick();
    // What the slot lacks of the latest picture: everything for a new one.
    QRegion stale(int slot) const;
    // The slot whose picture was shown last, if any.
    std::optional<int> latest() const { return m_latest; }

    // The slot now holds the latest picture, changed from the one before in
    // damage, and went to the compositor.
    void committed(int slot, const QRegion& damage);
    // The compositor is done with the slot.
    void released(int slot);
    bool busy(int slot) const { return m_slots.at(std::size_t(slot)).busy; }

private:
    struct Slot {
        bool busy = false;
        QRegion stale;
    };

    int m_limit;
    QSize m_size;
    std::vector<Slot> m_slots;
    std::optional<int> m_latest;
};

} // namespace pendra
