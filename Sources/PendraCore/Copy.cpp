#include "Copy.h"

#include <QStringList>
#include <QSysInfo>

namespace pendra::Copy {

QString bugSubject(const QString& version, const QString& build)
{
    return QStringLiteral("Pendra ") + version + QStringLiteral(" (") + build + QStringLiteral(") \u2014 Bug report");
}

QString bugBody(const QString& version, const QString& build, const QString& bundleID, const QString& system,
                const QString& model)
{
    const QStringList lines = {
        QStringLiteral("What happened?"),
        QString(),
        QString(),
        QStringLiteral("What did you expect instead?"),
        QString(),
        QString(),
        QStringLiteral("---"),
        QStringLiteral("Pendra ") + version + QStringLiteral(" (") + build + QStringLiteral(")"),
        bundleID,
        systemName() + QLatin1Char(' ') + system,
        model,
    };
    return lines.join(QLatin1Char('\n'));
}

QString systemName()
{
    const QString kernel = QSysInfo::kernelType();
    if (kernel == QLatin1String("linux"))
        return QStringLiteral("Linux");
    if (kernel == QLatin1String("darwin"))
        return QStringLiteral("macOS");
    if (kernel == QLatin1String("winnt"))
        return QStringLiteral("Windows");
    if (kernel == QLatin1String("freebsd"))
        return QStringLiteral("FreeBSD");
    return kernel.isEmpty() ? QStringLiteral("Unknown") : kernel;
}

} // namespace pendra::Copy
