#include "About.h"

#include "BuildInfo.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <sys/utsname.h>

namespace pendra::About {

QString versionOr(const QString& value, const QString& fallback)
{
    return value.trimmed().isEmpty() ? fallback : value;
}

QString version()
{
    return versionOr(QStringLiteral(PENDRA_VERSION), QStringLiteral("1.0.0"));
}

QString build()
{
    return versionOr(QStringLiteral(PENDRA_BUILD), QStringLiteral("1"));
}

QString threeNumbers(const QString& release)
{
    // "6.1.0-18-amd64" → 6.1.0; "5.10" → 5.10.0.
    static const QRegularExpression leading(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"));
    const QRegularExpressionMatch match = leading.match(release);
    QStringList parts;
    for (int i = 1; i <= 3; ++i) {
        const QString part = match.hasMatch() ? match.captured(i) : QString();
        parts << QString::number(part.isEmpty() ? 0 : part.toLongLong());
    }
    return parts.join(QLatin1Char('.'));
}

QString system()
{
    utsname names{};
    if (uname(&names) != 0)
        return threeNumbers(QString());
    return threeNumbers(QString::fromLocal8Bit(names.release));
}

QString modelFrom(const QByteArray& productName)
{
    const qsizetype zero = productName.indexOf('\0');
    const QString text = QString::fromUtf8(zero < 0 ? productName : productName.left(zero)).trimmed();
    return text.isEmpty() ? QStringLiteral("PC") : text;
}

QString model()
{
    QFile file(QStringLiteral("/sys/class/dmi/id/product_name"));
    if (!file.open(QIODevice::ReadOnly))
        return modelFrom({});
    return modelFrom(file.read(256));
}

} // namespace pendra::About
