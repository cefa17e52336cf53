#include "WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace pendra::WholeFile {

namespace {

// Why a write stopped short. A short write sets no error on the device, but
// the system's own reason is still in errno.
QString reasonFor(const QFileDevice& file, int systemError)
{
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    return qt_error_string(systemError);
}

bool fail(QString* error, const QString& path, const QString& reason)
{
    if (error)
        *error = path + QStringLiteral(": ") + reason;
    return false;
}

} // namespace

bool write(const QString& path, const QByteArray& bytes, QString* error, Mode mode)
{
    const QFileInfo target(path);
    if (mode == Mode::replaceOrWriteInPlace && target.exists() && !target.isFile() && !target.isDir()) {
        QFile device(path);
        if (!device.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return fail(error, path, device.errorString());
        errno = 0;
        if (device.write(bytes) != bytes.size())
            return fail(error, path, reasonFor(device, errno));
        return true;
    }

    // Unbuffered, so that a full disk shows in write() itself. Buffered, the
    // bytes would only go out while commit() closes the file, and Qt 6.4's
    // QSaveFile misses a failure there: it renames the short file over the old
    // one and reports success.
    QSaveFile file(path);
    file.setDirectWriteFallback(mode == Mode::replaceOrWriteInPlace);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(error, path, file.errorString());
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        const QString reason = reasonFor(file, errno);
        file.cancelWriting();
        return fail(error, path, reason);
    }
    if (!file.commit())
        return fail(error, path, file.errorString());
    return true;
}

} // namespace pendra::WholeFile
