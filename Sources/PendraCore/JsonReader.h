#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonParseError>

namespace pendra {

// Reads JSON text as QJsonDocument does, with one difference: a number beyond
// the range of a double does not make the whole text unreadable. Qt refuses
// 1e400 or 1e-400 outright, which would cost the user every other setting in
// the same record; here such a number reads as the nearest finite double (the
// largest double of its sign, or zero of its sign) and the caller clamps it
// like any other number.
class JsonReader {
public:
    static QJsonDocument parse(const QByteArray& text, QJsonParseError* error = nullptr);

    // The text with every number that Qt refuses for its magnitude written as
    // the nearest number it accepts; everything else, strings included, stays
    // byte for byte as it was.
    static QByteArray saturateNumbers(const QByteArray& text);
};

} // namespace pendra
