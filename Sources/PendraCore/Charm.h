#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

namespace pendra {

// One entry of the charm catalog: a picture with a hook point, a weight and
// a flag for whether light shimmers across it.
struct Charm {
    QString id;
    QString name;
    QString set;
    QString setName;
    QString file;
    double w = 600.0;
    double h = 600.0;
    double hookX = 0.5;
    double hookY = 0.05;
    double heft = 1.0;
    bool glass = true;

    // Width over height; a height of 1 or less counts as 1.
    double ratio() const { return w / (h > 1.0 ? h : 1.0); }

    // Reads one catalog entry. Fails, with a reason in error, when a required key
    // is missing or any key has a value of the wrong type.
    static std::optional<Charm> decode(const QJsonValue& value, QString* error = nullptr);
    QJsonObject encode() const;

    // Upper-cases the first character of every whitespace-delimited word and
    // lower-cases the rest.
    static QString titleCase(const QString& text);

    friend bool operator==(const Charm&, const Charm&) = default;
};

} // namespace pendra
