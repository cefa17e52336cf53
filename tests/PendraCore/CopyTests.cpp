#include "Copy.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace pendra {
namespace {

TEST(Copy, BugSubjectWrapsVersionAndBuild)
{
    struct Case {
        const char* version;
        const char* build;
        const char* subject;
    };
    const Case cases[] = {
        {"1.0.0", "1", "Pendra 1.0.0 (1) \u2014 Bug report"},
        {"", "", "Pendra  () \u2014 Bug report"},
        {"2.1", "b+7", "Pendra 2.1 (b+7) \u2014 Bug report"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Copy::bugSubject(c.version, c.build), QString::fromUtf8(c.subject));
}

TEST(Copy, BugBodyHasElevenLinesEndingWithTheModel)
{
    const QString body = Copy::bugBody("1.0.0", "1", "app.pendra.Pendra", "6.1.0", "ThinkPad X1");
    const QStringList lines = body.split('\n');
    const QStringList expected = {
        "What happened?", "", "", "What did you expect instead?", "", "", "---", "Pendra 1.0.0 (1)",
        "app.pendra.Pendra", Copy::systemName() + " 6.1.0", "ThinkPad X1",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(body.endsWith("ThinkPad X1"));
}

TEST(Copy, BugBodyInsertsArgumentsUnescaped)
{
    const QString body = Copy::bugBody("v", "b", "one\ntwo", "1.2.3", "m&m <x>");
    EXPECT_EQ(body.split('\n').size(), 12);
    EXPECT_TRUE(body.endsWith("m&m <x>"));
}

TEST(Copy, EllipsisIsOneCharacter)
{
    EXPECT_EQ(Copy::studio.size(), 13);
    for (const QString& text : {Copy::studio, Copy::reportBug, Copy::rateApp}) {
        EXPECT_TRUE(text.endsWith(QChar(0x2026))) << text.toStdString();
        EXPECT_FALSE(text.contains("...")) << text.toStdString();
    }
}

TEST(Copy, WebsiteIsAnHttpsPageUnderPendra)
{
    EXPECT_TRUE(Copy::website.startsWith("https://"));
    EXPECT_TRUE(Copy::website.endsWith("/pendra/"));
    EXPECT_FALSE(Copy::supportEmail.startsWith("mailto"));
    EXPECT_TRUE(Copy::supportEmail.contains('@'));
}

} // namespace
} // namespace pendra
