#pragma once

#include "Catalog.h"
#include "Preferences.h"
#include "RailHook.h"

#include <QObject>

#include <functional>
#include <optional>

namespace pendra {

class Store;

// The one owner of the settings while the program runs. Every change goes
// through update(), which stores the record when it really changed, switches
// the login item and tells the rail.
class AppModel : public QObject {
    Q_OBJECT

public:
    using LoginSwitch = std::function<void(bool on)>;

    static inline const QString settingsKey = QStringLiteral("pendra.settings.v1");

    // Loads the catalog from charmsFolder() unless one is given, then the stored
    // settings (or the first-run record).
    explicit AppModel(Store& store, std::optional<Catalog> catalog = std::nullopt, LoginSwitch login = {},
                      QObject* parent = nullptr);
    ~AppModel() override;

    // The installed charm folder when there is one, else the source tree's.
    static QString charmsFolder();

    const Catalog& catalog() const { return m_catalog; }
    const Preferences& settings() const { return m_settings; }
    // Replaces the settings without storing them or telling anyone but observers.
    void setSettings(const Preferences& settings);

    void update(const std::function<void(Preferences&)>& change);
    void hang(const QString& charmID);
    void takeDown(const QString& uid);
    void toggle(const QString& charmID);
    bool isHanging(const QString& charmID) const;

    // Not owned; the rail clears it when it goes away.
    RailHook* rail() const { return m_rail; }
    void setRail(RailHook* rail) { m_rail = rail; }

    // Why the last write to the store failed; empty after a successful one.
    const QString& storeError() const { return m_storeError; }

signals:
    // Emitted on every update, including one that turned out to change nothing.
    void settingsChanged();

private:
    Catalog m_catalog;
    Preferences m_settings;
    RailHook* m_rail = nullptr;
    Store& m_store;
    LoginSwitch m_login;
    QString m_storeError;
};

} // namespace pendra
