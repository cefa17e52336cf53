#include "RuntimeFolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace pendra {

std::optional<QString> RuntimeFolder::locate(QString* error)
{
    return locate(qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath(), ::getuid(), error);
}

std::optional<QString> RuntimeFolder::locate(const QString& runtimeDir, const QString& tempDir, uint user,
                                             QString* error)
{
    // The base directory rules ignore a relative path.
    if (!runtimeDir.isEmpty() && QDir::isAbsolutePath(runtimeDir))
        return QDir::cleanPath(runtimeDir);

    const QString folder = QDir(tempDir).filePath(QStringLiteral("pendra-%1").arg(user));
    const QByteArray path = QFile::encodeName(folder);
    const auto fail = [&](const QString& why) -> std::optional<QString> {
        if (error)
            *error = QStringLiteral("%1 %2").arg(folder, why);
        return std::nullopt;
    };
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return fail(QStringLiteral("cannot be made: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    // lstat, so that a link planted in the shared folder is refused rather than followed.
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0)
        return fail(QStringLiteral("cannot be read: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    if (!S_ISDIR(info.st_mode))
        return fail(QStringLiteral("is not a folder"));
    if (info.st_uid != user)
        return fail(QStringLiteral("belongs to another user"));
    if ((info.st_mode & 077) != 0 && ::chmod(path.constData(), 0700) != 0)
        return fail(QStringLiteral("is open to other users and cannot be closed"));
    return folder;
}

} // namespace pendra
