#include "AppModel.h"

#include "BuildInfo.h"
#include "Login.h"
#include "Store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QtDebug>

namespace pendra {

AppModel::AppModel(Store& store, std::optional<Catalog> catalog, LoginSwitch login, QObject* parent)
    : QObject(parent), m_store(store), m_login(login ? std::move(login) : LoginSwitch(&Login::set))
{
    const QString folder = charmsFolder();
    if (catalog) {
        m_catalog = std::move(*catalog);
    } else {
        std::optional<Catalog> loaded = Catalog::load(folder);
        m_catalog = loaded ? std::move(*loaded) : Catalog({}, folder);
    }

    std::optional<Preferences> stored;
    if (std::optional<QByteArray> bytes = m_store.data(settingsKey))
        stored = Preferences::decode(*bytes);
    if (stored) {
        QList<Hung> known;
        for (const Hung& h : stored->hung) {
            if (m_catalog.charm(h.charmID))
                known.append(h);
        }
        stored->hung = std::move(known);
        m_settings = std::move(*stored);
    } else {
        m_settings = Preferences::firstRun(m_catalog);
    }
}

AppModel::~AppModel() = default;

QString AppModel::charmsFolder()
{
    if (QCoreApplication::instance()) {
        const QDir bin(QCoreApplication::applicationDirPath());
        const QString installed = bin.filePath(QStringLiteral("../" PENDRA_DATA_SUBDIR "/Charms"));
        if (QFileInfo::exists(QDir(installed).filePath(QStringLiteral("charms.json"))))
            return QDir::cleanPath(installed);
    }
    return QStringLiteral(PENDRA_SOURCE_CHARMS);
}

void AppModel::setSettings(const Preferences& settings)
{
    if (settings == m_settings)
        return;
    m_settings = settings;
    emit settingsChanged();
}

void AppModel::update(const std::function<void(Preferences&)>& change)
{
    const Preferences old = m_settings;
    change(m_settings);
    emit settingsChanged();
    if (m_settings == old)
        return;

    QString error;
    if (m_store.setData(settingsKey, m_settings.encode(), &error)) {
        m_storeError.clear();
    } else {
        if (error != m_storeError)
            qWarning("Pendra: could not save the settings (%s)", qUtf8Printable(error));
        m_storeError = error;
    }

    if (old.launchAtLogin != m_settings.launchAtLogin)
        m_login(m_settings.launchAtLogin);
    if (m_rail)
        m_rail->settingsChanged(old);
}

void AppModel::hang(const QString& charmID)
{
    if (!m_catalog.charm(charmID))
        return;
    update([&](Preferences& p) {
        const double x = p.freeSpot();
        const double drop = p.nextDrop();
        p.hung.append(Hung{Preferences::newUid(), charmID, x, drop});
        p.hidden = false;
    });
}

void AppModel::takeDown(const QString& uid)
{
    update([&](Preferences& p) { p.hung.removeIf([&](const Hung& h) { return h.uid == uid; }); });
}

void AppModel::toggle(const QString& charmID)
{
    if (isHanging(charmID)) {
        update([&](Preferences& p) { p.hung.removeIf([&](const Hung& h) { return h.charmID == charmID; }); });
    } else {
        hang(charmID);
    }
}

bool AppModel::isHanging(const QString& charmID) const
{
    return std::any_of(m_settings.hung.cbegin(), m_settings.hung.cend(),
                       [&](const Hung& h) { return h.charmID == charmID; });
}

} // namespace pendra
