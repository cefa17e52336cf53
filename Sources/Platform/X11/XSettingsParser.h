#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>

namespace pendra {

// Decodes the _XSETTINGS_SETTINGS property that a settings manager publishes:
// a header in the byte order it declares, then integers (int), strings
// (QString) and colours (a list of four 16-bit components) by name. The bytes
// come from another program, so nothing in them is trusted: malformed data
// gives what could be read before it.
class XSettingsParser {
public:
    static QHash<QString, QVariant> parse(const QByteArray& blob);
};

} // namespace pendra
