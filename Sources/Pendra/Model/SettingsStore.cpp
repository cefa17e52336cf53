#include "SettingsStore.h"

#include "BuildInfo.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QTemporaryFile>

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

// Why the folder's disk cannot take a file of the given size, found by
// writing one and removing it again; empty when it can.
QString roomProblem(const QString& folder, qint64 bytes)
{
    QTemporaryFile scratch(QDir(folder).filePath(QStringLiteral(".room-XXXXXX")));
    if (!scratch.open())
        return scratch.errorString();
    const QByteArray block(4096, '\0');
    for (qint64 written = 0; written < bytes; written += block.size()) {
        if (scratch.write(block) != block.size() || !scratch.flush())
            return QStringLiteral("the disk is full");
    }
    return QString();
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

SettingsStore::SettingsStore(const QString& path) : m_path(path)
{
}

std::optional<QByteArray> SettingsStore::data(const QString& key) const
{
    const QSettings settings(m_path, QSettings::IniFormat);
    const QVariant value = settings.value(key);
    if (value.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return value.toByteArray();
}

bool SettingsStore::setData(const QString& key, const QByteArray& value, QString* error)
{
    // An escaped byte takes at most four characters in the file.
    return write([&](QSettings& settings) { settings.setValue(key, value); }, 4 * (key.size() + value.size()), error);
}

bool SettingsStore::clear(QString* error)
{
    return write([](QSettings& settings) { settings.clear(); }, 0, error);
}

// Each write uses QSettings objects of its own: a QSettings keeps the first
// error it meets for good, so a long-lived one would go on reporting failure
// after the disk has room again. QSettings writes through a temporary file, so
// a failed write leaves the old file whole, and the model writes its whole
// record every time, so the next write that succeeds stores everything.
bool SettingsStore::write(const std::function<void(QSettings&)>& change, qint64 growth, QString* error)
{
    const auto fail = [&](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    // QSettings creates the file but not its folder.
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("%1 cannot be created").arg(folder));

    // QSettings waits for its lock file without end; a lock that cannot be had
    // soon (a folder in its place, a program that holds it) fails this write
    // instead of freezing the program.
    {
        QLockFile lock(m_path + QStringLiteral(".lock"));
        if (!lock.tryLock(500)) {
            if (lock.error() == QLockFile::LockFailedError)
                return fail(QStringLiteral("%1 is locked by another program").arg(m_path));
            return fail(describe(QSettings::AccessError, m_path));
        }
    }

    // QSettings writes through Qt 6.4's QSaveFile, which reports success when
    // the disk fills up as it closes the new file, and then renames the short
    // file over the old one. Making sure first that the new file and the lock
    // file fit keeps a nearly full disk from costing the stored record.
    const QString room = roomProblem(folder, QFileInfo(m_path).size() + growth + 8192);
    if (!room.isEmpty())
        return fail(QStringLiteral("%1 cannot be written: %2").arg(m_path, room));

    // A damaged file reports its damage when it is first read in full; read it
    // here, so that the status of the write below speaks of the write alone.
    {
        const QSettings reader(m_path, QSettings::IniFormat);
        reader.allKeys();
    }
    QSettings settings(m_path, QSettings::IniFormat);
    change(settings);
    settings.sync();
    const QSettings::Status status = settings.status();
    if (status != QSettings::NoError)
        return fail(describe(status, m_path));
    return true;
}

} // namespace pendra
