#include "Feedback.h"

#include "Copy.h"

#include <QUrlQuery>

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
        return [this](const QUrl& url) {
            opened << url;
            return opens;
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

} // namespace
} // namespace pendra
