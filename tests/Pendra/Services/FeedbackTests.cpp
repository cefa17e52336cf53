#include "Feedback.h"

#include "Copy.h"
#include "TempFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QUrlQuery>

#include <optional>

#include <gtest/gtest.h>

namespace pendra {
namespace {

// Records what the desktop was asked to open and what went to the clipboard.
struct Desktop {
    bool opens = true;
    QList<QUrl> opened;
    QStringList copied;
    Feedback::Opener opener()
    {
        return [this](const QUrl& url, const std::function<void(bool)>& done) {
            opened << url;
            done(opens);
        };
    }
    Feedback::Clipboard clipboard()
    {
        return [this](const QString& text) { copied << text; };
    }
};

TEST(Feedback, MailTextEncodesPlusAsASpaceAndKeepsEverythingElse)
{
    struct Case {
        QString subject;
        QString body;
        QString subjectSeen;
        QString bodySeen;
    };
    const QList<Case> cases{
        {"a+b", "1+1=2", "a b", "1 1=2"},
        {"Pendra 1.0.0 (1)", "line one\nline two", "Pendra 1.0.0 (1)", "line one\nline two"},
        {"x&y=z#?", "100% sure; caf\u00e9", "x&y=z#?", "100% sure; caf\u00e9"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        const QString text = Feedback::mailText(c.subject, c.body);
        ASSERT_TRUE(text.startsWith("mailto:" + Copy::supportEmail + "?subject=")) << text.toStdString();
        EXPECT_FALSE(text.contains('+')) << text.toStdString();
        const QUrlQuery query(QUrl(text).query(QUrl::FullyEncoded));
        EXPECT_EQ(query.queryItemValue("subject", QUrl::FullyDecoded), c.subjectSeen);
        EXPECT_EQ(query.queryItemValue("body", QUrl::FullyDecoded), c.bodySeen);
        EXPECT_LT(text.indexOf("subject="), text.indexOf("&body="));
    }
}

TEST(Feedback, RateOpensTheWebPageOrCopiesItsAddress)
{
    Desktop desktop;
    Feedback::rate(desktop.opener(), desktop.clipboard());
    ASSERT_EQ(desktop.opened.size(), 1);
    EXPECT_EQ(desktop.opened[0].toString(), Copy::website);
    EXPECT_EQ(desktop.opened[0].path(), "/pendra/");
    EXPECT_TRUE(desktop.copied.isEmpty());

    desktop.opens = false;
    Feedback::rate(desktop.opener(), desktop.clipboard());
    EXPECT_EQ(desktop.copied, QStringList{Copy::website});
}

TEST(Feedback, ReportBugOpensAFilledMailOrCopiesTheAddress)
{
    Desktop desktop;
    Feedback::reportBug(desktop.opener(), desktop.clipboard());
    ASSERT_EQ(desktop.opened.size(), 1);
    const QUrl mail = desktop.opened[0];
    EXPECT_EQ(mail.scheme(), "mailto");
    EXPECT_EQ(mail.path(), Copy::supportEmail);
    const QUrlQuery query(mail.query(QUrl::FullyEncoded));
    EXPECT_EQ(query.queryItemValue("subject", QUrl::FullyDecoded), Copy::bugSubject("1.0.0", "1"));
    EXPECT_TRUE(query.queryItemValue("body", QUrl::FullyDecoded).contains("1.0.0"));
    EXPECT_TRUE(desktop.copied.isEmpty());

    desktop.opens = false;
    Feedback::reportBug(desktop.opener(), desktop.clipboard());
    EXPECT_EQ(desktop.copied, QStringList{Copy::supportEmail});
}

// The desktop's opener, played by a script that answers as xdg-open does.
class FakeOpener {
public:
    explicit FakeOpener(int status) : m_path(qgetenv("PATH"))
    {
        m_folder.write("xdg-open", "#!/bin/sh\necho \"$1\" > \"$0.url\"\nexit " + QByteArray::number(status) + "\n");
        QFile::setPermissions(m_folder.file("xdg-open"), QFile::ReadOwner | QFile::ExeOwner);
        qputenv("PATH", m_folder.path().toLocal8Bit() + ":" + m_path);
    }
    ~FakeOpener() { qputenv("PATH", m_path); }
    QString url() const { return QString::fromUtf8(m_folder.read("xdg-open.url")).trimmed(); }

private:
    test::TempFolder m_folder;
    QByteArray m_path;
};

// Turns the event loop until the answer comes, or gives up after a long while.
std::optional<bool> answerOf(const QUrl& url)
{
    std::optional<bool> answer;
    Feedback::openWithDesktop(url, [&](bool opened) { answer = opened; });
    QElapsedTimer waited;
    waited.start();
    while (!answer && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return answer;
}

TEST(Feedback, DesktopOpenerBelievesOnlyXdgOpensExitStatus)
{
    // 0: opened; 3: no program for the URL; 4: the program failed.
    for (const int status : {0, 3, 4}) {
        FakeOpener xdgOpen(status);
        const QUrl url("mailto:someone@example.org?subject=a%20b");
        EXPECT_EQ(answerOf(url), std::optional<bool>(status == 0)) << status;
        EXPECT_EQ(xdgOpen.url(), url.toString(QUrl::FullyEncoded)) << status;
    }
}

TEST(Feedback, NoMailProgramPutsTheAddressOnTheClipboard)
{
    FakeOpener xdgOpen(3);
    QStringList copied;
    Feedback::reportBug(Feedback::openWithDesktop, [&](const QString& text) { copied << text; });
    QElapsedTimer waited;
    waited.start();
    while (copied.isEmpty() && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(copied, QStringList{Copy::supportEmail});
    EXPECT_TRUE(xdgOpen.url().startsWith("mailto:" + Copy::supportEmail + "?subject="));
}

} // namespace
} // namespace pendra
