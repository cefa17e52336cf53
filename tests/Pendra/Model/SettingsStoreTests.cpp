#include "SettingsStore.h"

#include "DiskFaults.h"
#include "TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>
#include <iostream>
#include <optional>

#include <gtest/gtest.h>

namespace pendra {
namespace {

using test::TempFolder;

// The names in a folder, leaving out what a staged full disk needs.
QStringList entries(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    names.removeAll(".filler");
    return names;
}

TEST(SettingsStore, BytesComeBackExactlyInANewInstance)
{
    TempFolder folder;
    const QString path = folder.file("deep/er/pendra.conf");
    const QByteArray values[] = {
        R"({"hung":[{"uid":"A","charmID":"n\"q","x":0.5,"drop":96}],"cord":"twine"})",
        QByteArray("line\nbreak\r\n\ttab ; semicolon = equals [section] #hash"),
        QByteArray("\x00\x01\xff\xfe", 4),
        QString::fromUtf8("Ünïcødé ☾ 🌙").toUtf8(),
        QByteArray(),
        QByteArray(20000, 'x'),
    };
    for (const QByteArray& value : values) {
        {
            SettingsStore store(path);
            ASSERT_TRUE(store.setData("pendra.settings.v1", value));
        }
        const SettingsStore again(path);
        EXPECT_EQ(again.data("pendra.settings.v1"), value);
    }
}

TEST(SettingsStore, MissingOrNonByteValuesReadAsNothing)
{
    TempFolder folder;
    folder.write("plain.conf", "[General]\npendra.settings.v1=just some text\n");
    folder.write("junk.conf", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    EXPECT_FALSE(SettingsStore(folder.file("none.conf")).data("pendra.settings.v1"));
    EXPECT_FALSE(SettingsStore(folder.file("plain.conf")).data("pendra.settings.v1"));
    EXPECT_FALSE(SettingsStore(folder.file("junk.conf")).data("pendra.settings.v1"));
}

TEST(SettingsStore, ReadingNeverRewritesTheFile)
{
    TempFolder folder;
    const QByteArray original = "[General]\npendra.settings.v1=just some text\nother=1\n";
    folder.write("plain.conf", original);
    {
        const SettingsStore store(folder.file("plain.conf"));
        store.data("pendra.settings.v1");
    }
    EXPECT_EQ(folder.read("plain.conf"), original);
}

TEST(SettingsStore, UnwritableLocationReportsAReason)
{
    TempFolder folder;
    folder.write("a-file", "not a folder");
    SettingsStore store(folder.file("a-file/pendra.conf"));
    QString error;
    EXPECT_FALSE(store.setData("pendra.settings.v1", "{}", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(SettingsStore, FailedWritesKeepTheOldFileWholeAndTheNextWriteStores)
{
    // Each fault is staged around a file that already holds the old record;
    // the write under the fault must fail with a reason and leave that file
    // exactly as it was, and once the fault is gone the next write must land.
    struct Fault {
        const char* name;
        // Stages the fault; false when this machine cannot stage it.
        std::function<bool(const QString& folder, const QString& file)> arrange;
        std::function<void(const QString& folder, const QString& file)> repair;
        bool replacesFile = false; // the fault stands where the file was
    };
    std::optional<test::ReadOnlyFolder> readOnly;
    std::optional<test::FullDisk> disk;
    const Fault faults[] = {
        {"read-only folder",
         [&](const QString& folder, const QString&) { return readOnly.emplace(folder).holds(); },
         [&](const QString&, const QString&) { readOnly.reset(); }},
        {"full disk",
         [&](const QString&, const QString&) {
             disk->fill();
             return true;
         },
         [&](const QString&, const QString&) { disk->drain(); }},
        // Room for the lock file but not for the whole new file.
        {"disk with one page free",
         [&](const QString&, const QString&) {
             disk->fill(4096);
             return true;
         },
         [&](const QString&, const QString&) { disk->drain(); }},
        {"folder in place of the file",
         [](const QString&, const QString& file) { return QFile::remove(file) && QDir().mkdir(file); },
         [](const QString&, const QString& file) { QDir().rmdir(file); }, true},
        {"link to a missing folder",
         [](const QString& folder, const QString& file) {
             return QFile::remove(file) && QFile::link(folder + "/gone/p.conf", file);
         },
         [](const QString&, const QString& file) { QFile::remove(file); }, true},
        {"lock file that is a folder",
         [](const QString&, const QString& file) { return QDir().mkdir(file + ".lock"); },
         [](const QString&, const QString& file) { QDir().rmdir(file + ".lock"); }},
    };
    // Records of a few pages, as a rail with many charms makes.
    const QByteArray oldRecord = R"({"scale":1.5,"hung":")" + QByteArray(9000, 'o') + R"("})";
    const QByteArray newRecord = R"({"scale":2,"hung":")" + QByteArray(9000, 'n') + R"("})";
    for (const Fault& fault : faults) {
        TempFolder root;
        const QString folder = root.file("pendra");
        const QString file = folder + "/p.conf";
        disk.emplace(folder);
        SettingsStore store(file);
        ASSERT_TRUE(store.setData("pendra.settings.v1", oldRecord)) << fault.name;
        const QByteArray before = root.read("pendra/p.conf");
        if (!fault.arrange(folder, file)) {
            std::cerr << "[ skipped  ] " << fault.name << ": cannot be staged here\n";
            disk.reset();
            continue;
        }
        const QStringList namesBefore = entries(folder);
        QString error;
        EXPECT_FALSE(store.setData("pendra.settings.v1", newRecord, &error)) << fault.name;
        EXPECT_FALSE(error.isEmpty()) << fault.name;
        if (!fault.replacesFile) {
            EXPECT_EQ(root.read("pendra/p.conf"), before) << fault.name;
            EXPECT_EQ(entries(folder), namesBefore) << fault.name << ": " << entries(folder).join(' ').toStdString();
        }
        fault.repair(folder, file);
        EXPECT_TRUE(store.setData("pendra.settings.v1", newRecord, &error)) << fault.name << error.toStdString();
        EXPECT_EQ(SettingsStore(file).data("pendra.settings.v1"), newRecord) << fault.name;
        EXPECT_EQ(entries(folder), QStringList{"p.conf"}) << fault.name << ": " << entries(folder).join(' ').toStdString();
        disk.reset();
    }
}

TEST(SettingsStore, LinksAreWrittenThroughAndStayLinks)
{
    TempFolder root;
    QDir().mkpath(root.file("dotfiles"));
    QDir().mkpath(root.file("config"));
    ASSERT_TRUE(QFile::link(root.file("dotfiles/pendra.conf"), root.file("config/p.conf")));
    SettingsStore store(root.file("config/p.conf"));
    ASSERT_TRUE(store.setData("pendra.settings.v1", "{}"));
    ASSERT_TRUE(store.setData("pendra.settings.v1", R"({"calm":true})"));
    EXPECT_TRUE(QFileInfo(root.file("config/p.conf")).isSymLink());
    EXPECT_EQ(SettingsStore(root.file("dotfiles/pendra.conf")).data("pendra.settings.v1"), QByteArray(R"({"calm":true})"));
}

TEST(SettingsStore, DamagedFileIsReplacedAndTheWriteReportsSuccess)
{
    TempFolder folder;
    static const char damaged[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR[[[=\xff\xfe]]\n=\n@ByteArray(";
    folder.write("p.conf", QByteArray(damaged, sizeof damaged - 1));
    SettingsStore store(folder.file("p.conf"));
    QString error;
    EXPECT_TRUE(store.setData("pendra.settings.v1", "{}", &error)) << error.toStdString();
    EXPECT_EQ(SettingsStore(folder.file("p.conf")).data("pendra.settings.v1"), QByteArray("{}"));
}

TEST(SettingsStore, ClearForgetsEverything)
{
    TempFolder folder;
    SettingsStore store(folder.file("p.conf"));
    store.setData("pendra.settings.v1", "{}");
    ASSERT_TRUE(store.clear());
    EXPECT_FALSE(SettingsStore(folder.file("p.conf")).data("pendra.settings.v1"));
}

TEST(SettingsStore, PreviewAndUserSettingsAreSeparateFiles)
{
    EXPECT_NE(SettingsStore::defaultPath(), SettingsStore::previewPath());
    EXPECT_TRUE(SettingsStore::previewPath().endsWith(".preview.conf"));
    EXPECT_TRUE(SettingsStore::defaultPath().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
}

} // namespace
} // namespace pendra
