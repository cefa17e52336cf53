#include "Feedback.h"

#include "About.h"
#include "BuildInfo.h"
#include "Copy.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrlQuery>

namespace pendra::Feedback {

bool openWithDesktop(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

void copyToClipboard(const QString& text)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        clipboard->clear();
        clipboard->setText(text);
    }
}

void rate(const Opener& open, const Clipboard& copy)
{
    const QUrl url(Copy::website, QUrl::StrictMode);
    if (url.isValid() && !url.scheme().isEmpty() && open(url))
        return;
    copy(Copy::website);
}

QString mailText(const QString& subject, const QString& body)
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(Copy::supportEmail);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), QString::fromUtf8(QUrl::toPercentEncoding(subject, "+")));
    query.addQueryItem(QStringLiteral("body"), QString::fromUtf8(QUrl::toPercentEncoding(body, "+")));
    url.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    if (!url.isValid())
        return {};
    QString text = url.toString(QUrl::FullyEncoded);
    text.replace(QLatin1Char('+'), QStringLiteral("%20"));
    return text;
}

void reportBug(const Opener& open, const Clipboard& copy)
{
    const QString version = About::version();
    const QString build = About::build();
    const QString subject = Copy::bugSubject(version, build);
    const QString body = Copy::bugBody(version, build, QStringLiteral(PENDRA_APP_ID), About::system(), About::model());
    const QUrl url(mailText(subject, body), QUrl::StrictMode);
    if (url.isValid() && !url.isEmpty() && open(url))
        return;
    copy(Copy::supportEmail);
}

} // namespace pendra::Feedback
