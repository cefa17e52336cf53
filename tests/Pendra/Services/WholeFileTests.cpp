#include "WholeFile.h"

#include "DiskFaults.h"
#include "TempFolder.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>


#include <gtest/gtest.h>

namespace pendra {
namespace {

using test::TempFolder;
using WholeFile::Mode;

QStringList names(const QString& folder)
{
    QStringList list = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    list.removeAll(".filler");
    return list;
}

TEST(WholeFile, FullDiskFailsAndLeavesTheOldFileWhole)
{
    for (const Mode mode : {Mode::replace, Mode::replaceOrWriteInPlace}) {
        TempFolder root;
        const QString folder = root.file("disk");
        test::FullDisk disk(folder);
        ASSERT_TRUE(WholeFile::write(folder + "/f", QByteArray(6000, 'o'), nullptr, mode));
        for (const qint64 leave : {0, 4096}) {
            disk.fill(leave);
            QString error;
            EXPECT_FALSE(WholeFile::write(folder + "/f", QByteArray(9000, 'n'), &error, mode)) << leave;
            EXPECT_TRUE(error.startsWith(folder + "/f: ")) << error.toStdString();
            EXPECT_EQ(root.read("disk/f"), QByteArray(6000, 'o')) << leave;
            EXPECT_EQ(names(folder), QStringList{"f"}) << leave;
            disk.drain();
        }
        EXPECT_TRUE(WholeFile::write(folder + "/f", QByteArray(9000, 'n'), nullptr, mode));
        EXPECT_EQ(root.read("disk/f"), QByteArray(9000, 'n'));
    }
}

TEST(WholeFile, LinksAreFollowedAndKept)
{
    for (const Mode mode : {Mode::replace, Mode::replaceOrWriteInPlace}) {
        TempFolder root;
        root.write("real/target", "old");
        QDir().mkpath(root.file("links"));
        ASSERT_TRUE(QFile::link(root.file("real/target"), root.file("links/to-target")));
        ASSERT_TRUE(QFile::link(root.file("real/new"), root.file("links/dangling")));
        EXPECT_TRUE(WholeFile::write(root.file("links/to-target"), "new", nullptr, mode));
        EXPECT_TRUE(WholeFile::write(root.file("links/dangling"), "made", nullptr, mode));
        EXPECT_TRUE(QFileInfo(root.file("links/to-target")).isSymLink());
        EXPECT_TRUE(QFileInfo(root.file("links/dangling")).isSymLink());
        EXPECT_EQ(root.read("real/target"), "new");
        EXPECT_EQ(root.read("real/new"), "made");
    }
}

TEST(WholeFile, ReadOnlyFolderIsWrittenInPlaceOnlyWhenAllowed)
{
    TempFolder root;
    root.write("ro/f", "old");
    test::ReadOnlyFolder readOnly(root.file("ro"));
    if (!readOnly.holds())
        GTEST_SKIP() << "this process can write to read-only folders";
    QString error;
    EXPECT_FALSE(WholeFile::write(root.file("ro/f"), "new", &error, Mode::replace));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(root.read("ro/f"), "old");
    EXPECT_TRUE(WholeFile::write(root.file("ro/f"), "new", &error, Mode::replaceOrWriteInPlace)) << error.toStdString();
    EXPECT_EQ(root.read("ro/f"), "new");
    EXPECT_FALSE(WholeFile::write(root.file("ro/g"), "new", &error, Mode::replaceOrWriteInPlace));
}

TEST(WholeFile, APipeIsWrittenToAndNeverReplaced)
{
    TempFolder root;
    const QByteArray fifo = root.file("pipe").toLocal8Bit();
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(WholeFile::write(root.file("pipe"), "through the pipe", nullptr, Mode::replaceOrWriteInPlace));
    char buffer[64] = {};
    EXPECT_EQ(::read(reader, buffer, sizeof buffer), 16);
    EXPECT_EQ(QByteArray(buffer), "through the pipe");
    ::close(reader);
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

} // namespace
} // namespace pendra
