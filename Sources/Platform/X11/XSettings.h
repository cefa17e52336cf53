#pragma once

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <optional>

struct xcb_connection_t;

namespace pendra {

// The desktop's XSETTINGS, as GNOME and other desktops publish them to
// toolkits. The values are read once and kept current by watching the
// manager's window, so asking for one costs nothing.
class XSettings : public QAbstractNativeEventFilter {
public:
    XSettings(xcb_connection_t* connection, int screen);
    ~XSettings() override;

    std::optional<int> integer(const QString& name);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void findManager();
    void read();

    xcb_connection_t* m_connection;
    uint32_t m_selection = 0;
    uint32_t m_property = 0;
    uint32_t m_owner = 0;
    qint64 m_lastSearch = -1;
    QHash<QString, QVariant> m_values;
};

} // namespace pendra
