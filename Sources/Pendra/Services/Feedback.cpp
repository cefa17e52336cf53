#include "Feedback.h"

#include "About.h"
#include "BuildInfo.h"
#include "Copy.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrlQuery>

#include <memory>

namespace pendra::Feedback {

void openWithDesktop(const QUrl& url, const std::function<void(bool opened)>& done)
{
    // Qt's openUrl() counts a started xdg-open as success, even when xdg-open
    // then finds no program for the URL; only its exit status tells.
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (program.isEmpty() || !QCoreApplication::instance()) {
        done(QDesktopServices::openUrl(url));
        return;
    }
    auto* process = new QProcess(QCoreApplication::instance());
    auto answered = std::make_shared<bool>(false);
    const auto answer = [done, answered](bool opened) {
        if (*answered)
            return;
        *answered = true;
        done(opened);
    };
    QObject::connect(process, &QProcess::finished, process, [answer, process](int code, QProcess::ExitStatus status) {
        answer(status == QProcess::NormalExit && code == 0);
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [answer, process](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        answer(false);
        process->deleteLater();
    });
    // Where the desktop has no opener of its own, xdg-open runs the program it
    // found until that program ends; one still running after a while has
    // taken the URL.
    QTimer::singleShot(10000, process, [answer] { answer(true); });
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(program, {url.toString(QUrl::FullyEncoded)});
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
    if (!url.isValid() || url.scheme().isEmpty()) {
        copy(Copy::website);
        return;
    }
    open(url, [copy](bool opened) {
        if (!opened)
            copy(Copy::website);
    });
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
    if (!url.isValid() || url.isEmpty()) {
        copy(Copy::supportEmail);
        return;
    }
    open(url, [copy](bool opened) {
        if (!opened)
            copy(Copy::supportEmail);
    });
}

} // namespace pendra::Feedback
