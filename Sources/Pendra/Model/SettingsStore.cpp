#include "SettingsStore.h"

#include "BuildInfo.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace pendra {

namespace {

QString configFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("pendra"));
}

QString describe(QSettings::Status status, const QString& path)
{
    switch (status) {
    case QSettings::NoError:
        return QString();
    case QSettings::AccessError:
        return QStringLiteral("%1 cannot be written").arg(path);
    case QSettings::FormatError:
        return QStringLiteral("%1 is not a settings file").arg(path);
    }
    return QStringLiteral("%1 could not be saved").arg(path);
}

} // namespace

QString SettingsStore::defaultPath()
{
    return QDir(configFolder()).filePath(QStringLiteral(PENDRA_APP_ID ".conf"));
}

QString SettingsStore::previewPath()
{
    return QDir(configFolder()).filePath(QStringLiteral(PENDRA_APP_ID ".preview.conf"));
}

SettingsStore::SettingsStore(const QString& path) : m_settings(path, QSettings::IniFormat)
{
}

std::optional<QByteArray> SettingsStore::data(const QString& key) const
{
    const QVariant value = m_settings.value(key);
    if (value.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return value.toByteArray();
}

bool SettingsStore::setData(const QString& key, const QByteArray& value, QString* error)
{
    m_settings.setValue(key, value);
    return commit(error);
}

bool SettingsStore::clear(QString* error)
{
    m_settings.clear();
    return commit(error);
}

bool SettingsStore::commit(QString* error)
{
    // QSettings creates the file but not its folder.
    const QString folder = QFileInfo(m_settings.fileName()).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("%1 cannot be created").arg(folder);
        return false;
    }
    m_settings.sync();
    const QSettings::Status status = m_settings.status();
    if (status != QSettings::NoError) {
        if (error)
            *error = describe(status, m_settings.fileName());
        return false;
    }
    return true;
}

} // namespace pendra
