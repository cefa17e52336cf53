#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace pendra::test {

// A scratch folder that is removed with the object.
class TempFolder {
public:
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const
    {
        const QString target = file(name);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile out(target);
        if (out.open(QIODevice::WriteOnly))
            out.write(bytes);
    }

    QByteArray read(const QString& name) const
    {
        QFile in(file(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
};

} // namespace pendra::test
