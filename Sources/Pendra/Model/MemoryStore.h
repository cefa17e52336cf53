#pragma once

#include "Store.h"

#include <QHash>

namespace pendra {

// A store that lives only as long as the process; it counts its writes and can
// be told to refuse them.
class MemoryStore : public Store {
public:
    std::optional<QByteArray> data(const QString& key) const override
    {
        const auto it = m_values.constFind(key);
        if (it == m_values.constEnd())
            return std::nullopt;
        return *it;
    }

    bool setData(const QString& key, const QByteArray& value, QString* error = nullptr) override
    {
        if (m_refuseWrites) {
            if (error)
                *error = QStringLiteral("the store refuses writes");
            return false;
        }
        m_values.insert(key, value);
        ++m_writes;
        return true;
    }

    bool clear(QString* error = nullptr) override
    {
        if (m_refuseWrites) {
            if (error)
                *error = QStringLiteral("the store refuses writes");
            return false;
        }
        m_values.clear();
        return true;
    }

    int writes() const { return m_writes; }
    void refuseWrites(bool refuse) { m_refuseWrites = refuse; }

private:
    QHash<QString, QByteArray> m_values;
    int m_writes = 0;
    bool m_refuseWrites = false;
};

} // namespace pendra
