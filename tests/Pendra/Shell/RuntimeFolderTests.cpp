#include "RuntimeFolder.h"

#include "TempFolder.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace pendra {
namespace {

using test::TempFolder;

mode_t modeOf(const QString& path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

TEST(RuntimeFolder, TheSessionsFolderWhenSetOtherwiseAPrivateOneOfOurOwn)
{
    TempFolder temp;
    const uint me = ::getuid();
    const QString own = temp.file(QStringLiteral("pendra-%1").arg(me));
    struct Case {
        QString runtimeDir;
        QString expected;
    } cases[] = {
        {"/run/user/1000", "/run/user/1000"},
        {"/run/user/1000/", "/run/user/1000"},
        {"", own},
        {"relative/dir", own},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_EQ(RuntimeFolder::locate(c.runtimeDir, temp.path(), me, &error), c.expected)
            << c.runtimeDir.toStdString() << ": " << error.toStdString();
    }
    EXPECT_EQ(modeOf(own), mode_t(0700));
}

TEST(RuntimeFolder, AFallbackOthersCouldReachIsClosedOrRefused)
{
    const uint me = ::getuid();
    {
        // Ours but open to everyone: closed again.
        TempFolder temp;
        const QString own = temp.file(QStringLiteral("pendra-%1").arg(me));
        ASSERT_EQ(::mkdir(QFile::encodeName(own).constData(), 0777), 0);
        ::chmod(QFile::encodeName(own).constData(), 0777);
        EXPECT_EQ(RuntimeFolder::locate({}, temp.path(), me, nullptr), own);
        EXPECT_EQ(modeOf(own), mode_t(0700));
    }
    struct Case {
        const char* what;
        std::function<void(const QString& path, const TempFolder& temp)> plant;
        uint user;
        const char* reason;
    } cases[] = {
        {"a link planted there",
         [](const QString& path, const TempFolder& temp) {
             QFile::link(temp.path(), path);
         },
         me, "is not a folder"},
        {"a file planted there", [](const QString&, const TempFolder& temp) { temp.write(QStringLiteral("pendra-%1").arg(::getuid() + 1), "x"); },
         me + 1, "is not a folder"},
        {"a folder of someone else",
         [](const QString& path, const TempFolder&) { ::mkdir(QFile::encodeName(path).constData(), 0700); },
         me + 1, "belongs to another user"},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        const QString path = temp.file(QStringLiteral("pendra-%1").arg(c.user));
        c.plant(path, temp);
        QString error;
        EXPECT_EQ(RuntimeFolder::locate({}, temp.path(), c.user, &error), std::nullopt) << c.what;
        EXPECT_EQ(error, path + " " + c.reason) << c.what;
    }
}

} // namespace
} // namespace pendra
