#include "Login.h"

#include "BuildInfo.h"
#include "Copy.h"
#include "WholeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <syslog.h>

namespace pendra::Login {

namespace {

// Quotes an Exec argument as the desktop entry format asks: inside double
// quotes, the characters " ` $ and \ are escaped, and % is doubled everywhere.
QString quoteArgument(const QString& argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += QLatin1Char('\\');
        if (c == u'%')
            quoted += QLatin1Char('%');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    // Within a desktop file the value itself is subject to string escapes too.
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return quoted;
}

} // namespace

QString entryPath()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(QStringLiteral("autostart/" PENDRA_APP_ID ".desktop"));
}

QString executable()
{
    const QString installed = QStringLiteral(PENDRA_INSTALLED_BINARY);
    if (QFileInfo(installed).isExecutable())
        return installed;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return installed;
}

QString entryText(const QString& program)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=%1\n"
                          "Comment=%2\n"
                          "Exec=%3 --autostart\n"
                          "Icon=pendra\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(Copy::appName, Copy::tagline, quoteArgument(program));
}

bool isEnabled(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry)
            continue;
        // A desktop switches an entry off with either key, which counts as
        // surely as removing it.
        const QString key = line.section(QLatin1Char('='), 0, 0).trimmed();
        const QString value = line.section(QLatin1Char('='), 1).trimmed();
        if ((key == QLatin1String("Hidden") && value == QLatin1String("true"))
            || (key == QLatin1String("X-GNOME-Autostart-enabled") && value == QLatin1String("false")))
            return false;
    }
    return true;
}

bool change(bool on, const QString& path, const QString& program, QString* error)
{
    const bool enabled = isEnabled(path);
    if (on == enabled)
        return true;
    if (on) {
        const QString folder = QFileInfo(path).absolutePath();
        if (!QDir().mkpath(folder)) {
            if (error)
                *error = QStringLiteral("%1 cannot be created").arg(folder);
            return false;
        }
        return WholeFile::write(path, entryText(program).toUtf8(), error);
    }
    QFile file(path);
    if (!file.remove()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

void set(bool on)
{
    QString error;
    if (!change(on, entryPath(), executable(), &error))
        syslog(LOG_WARNING, "Pendra: could not change the login item (%s)", qUtf8Printable(error));
}

} // namespace pendra::Login
