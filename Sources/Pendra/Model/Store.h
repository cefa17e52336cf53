#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace pendra {

// A persistent key-value store of byte strings.
class Store {
public:
    virtual ~Store() = default;

    // The value under key, or nothing when there is none or it is not a byte string.
    virtual std::optional<QByteArray> data(const QString& key) const = 0;
    // Replaces the value under key and makes it durable before returning. Answers
    // false, with the reason in error, when it could not be written.
    virtual bool setData(const QString& key, const QByteArray& value, QString* error = nullptr) = 0;
    // Forgets every key.
    virtual bool clear(QString* error = nullptr) = 0;
};

} // namespace pendra
