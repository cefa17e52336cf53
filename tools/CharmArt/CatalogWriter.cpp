#include "CatalogWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

namespace pendra::art {

QByteArray CatalogWriter::write(const QList<CatalogEntry>& entries)
{
    QStringList objects;
    for (const CatalogEntry& entry : entries) {
        const QStringList fields{
            QStringLiteral("\"id\": %1").arg(quoted(entry.id)),
            QStringLiteral("\"name\": %1").arg(quoted(entry.name)),
            QStringLiteral("\"set\": %1").arg(quoted(entry.set)),
            QStringLiteral("\"setName\": %1").arg(quoted(entry.setName)),
            QStringLiteral("\"file\": %1").arg(quoted(entry.file)),
            QStringLiteral("\"w\": %1").arg(entry.w),
            QStringLiteral("\"h\": %1").arg(entry.h),
            QStringLiteral("\"hookX\": %1").arg(number(entry.hookX, 4)),
            QStringLiteral("\"hookY\": %1").arg(number(entry.hookY, 4)),
            QStringLiteral("\"heft\": %1").arg(number(entry.heft, 2)),
            QStringLiteral("\"glass\": %1").arg(entry.glass ? QStringLiteral("true") : QStringLiteral("false")),
        };
        objects.append(QStringLiteral("  {\n    ") + fields.join(QStringLiteral(",\n    ")) + QStringLiteral("\n  }"));
    }
    return (QStringLiteral("[\n") + objects.join(QStringLiteral(",\n")) + QStringLiteral("\n]\n")).toUtf8();
}

QString CatalogWriter::quoted(const QString& text)
{
    // A one-element array is the simplest way to borrow Qt's string escaping.
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

QString CatalogWriter::number(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    while (text.contains(u'.') && (text.endsWith(u'0') || text.endsWith(u'.')))
        text.chop(1);
    return text;
}

} // namespace pendra::art
