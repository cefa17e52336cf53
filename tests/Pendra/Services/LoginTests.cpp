#include "Login.h"

#include "DiskFaults.h"
#include "TempFolder.h"

#include <QDir>

#include <iostream>
#include <optional>

#include <QSettings>

#include <gtest/gtest.h>

namespace pendra {
namespace {

using test::TempFolder;

QString execLine(const QString& entry)
{
    for (const QString& line : entry.split('\n')) {
        if (line.startsWith("Exec="))
            return line.mid(5);
    }
    return {};
}

TEST(Login, OnWritesAnEntryAndOffRemovesIt)
{
    TempFolder folder;
    const QString path = folder.file("autostart/app.desktop");
    QString error;
    ASSERT_TRUE(Login::change(true, path, "/usr/bin/pendra", &error)) << error.toStdString();
    EXPECT_TRUE(Login::isEnabled(path));
    const QString text = QString::fromUtf8(folder.read("autostart/app.desktop"));
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_EQ(execLine(text), "\"/usr/bin/pendra\" --autostart");
    EXPECT_TRUE(text.contains("Type=Application\n"));

    ASSERT_TRUE(Login::change(false, path, "/usr/bin/pendra", &error));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(Login::isEnabled(path));
}

TEST(Login, NothingHappensWhenTheStatusAlreadyMatches)
{
    TempFolder folder;
    folder.write("enabled.desktop", "[Desktop Entry]\nExec=mine\n");
    folder.write("hidden.desktop", "[Desktop Entry]\nExec=mine\nHidden=true\n");
    QString error;
    EXPECT_TRUE(Login::change(true, folder.file("enabled.desktop"), "/usr/bin/pendra", &error));
    EXPECT_EQ(folder.read("enabled.desktop"), "[Desktop Entry]\nExec=mine\n");
    EXPECT_TRUE(Login::change(false, folder.file("hidden.desktop"), "/usr/bin/pendra", &error));
    EXPECT_TRUE(QFileInfo::exists(folder.file("hidden.desktop")));
    EXPECT_TRUE(Login::change(false, folder.file("absent.desktop"), "/usr/bin/pendra", &error));
}

TEST(Login, EntriesTheDesktopSwitchedOffCountAsDisabledAndAreReplacedWhenTurnedOn)
{
    struct Case {
        const char* text;
        bool enabled;
    };
    const Case cases[] = {
        {"[Desktop Entry]\nHidden=true\n", false},
        {"[Desktop Entry]\nHidden = true\n", false},
        {"[Desktop Entry]\nHidden=false\n", true},
        {"[Desktop Entry]\nHiddenThing=true\n", true},
        {"[Other]\nHidden=true\n[Desktop Entry]\nExec=x\n", true},
        {"", true},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n", false},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled = false\n", false},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled=true\n", true},
        {"[Other]\nX-GNOME-Autostart-enabled=false\n[Desktop Entry]\nExec=x\n", true},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        folder.write("e.desktop", c.text);
        EXPECT_EQ(Login::isEnabled(folder.file("e.desktop")), c.enabled) << c.text;
    }
    TempFolder folder;
    for (const char* off : {"[Desktop Entry]\nHidden=true\n", "[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n"}) {
        folder.write("e.desktop", off);
        ASSERT_TRUE(Login::change(true, folder.file("e.desktop"), "/opt/pendra", nullptr));
        EXPECT_TRUE(Login::isEnabled(folder.file("e.desktop"))) << off;
    }
}

TEST(Login, UnwritableFolderFailsWithAReason)
{
    TempFolder folder;
    folder.write("file", "x");
    QString error;
    EXPECT_FALSE(Login::change(true, folder.file("file/autostart/app.desktop"), "/usr/bin/pendra", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Login, UnwritableAutostartFolderFailsCleanlyAndTheNextChangeWorks)
{
    struct Case {
        const char* name;
        bool on;
        QByteArray existing; // the entry before the change; empty for none
        bool fullDisk;       // otherwise the folder is read-only
    };
    const Case cases[] = {
        {"turning on, read-only", true, {}, false},
        {"turning on over a hidden entry, read-only", true, "[Desktop Entry]\nHidden=true\n", false},
        {"turning off, read-only", false, "[Desktop Entry]\nExec=x\n", false},
        {"turning on, disk full", true, {}, true},
        {"turning on over a hidden entry, disk full", true, "[Desktop Entry]\nHidden=true\n", true},
    };
    for (const Case& c : cases) {
        TempFolder root;
        const QString folder = root.file("autostart");
        const QString path = folder + "/app.desktop";
        std::optional<test::FullDisk> disk;
        if (c.fullDisk)
            disk.emplace(folder);
        QDir().mkpath(folder);
        if (!c.existing.isEmpty())
            root.write("autostart/app.desktop", c.existing);
        std::optional<test::ReadOnlyFolder> readOnly;
        if (c.fullDisk) {
            disk->fill();
        } else if (!readOnly.emplace(folder).holds()) {
            std::cerr << "[ skipped  ] " << c.name << ": cannot be staged here\n";
            continue;
        }
        QString error;
        EXPECT_FALSE(Login::change(c.on, path, "/usr/bin/pendra", &error)) << c.name;
        EXPECT_TRUE(error.contains(path)) << c.name << ": " << error.toStdString();
        EXPECT_EQ(root.read("autostart/app.desktop"), c.existing) << c.name;
        QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        left.removeAll(".filler");
        EXPECT_EQ(left, c.existing.isEmpty() ? QStringList() : QStringList{"app.desktop"}) << c.name;

        readOnly.reset();
        if (disk)
            disk->drain();
        EXPECT_TRUE(Login::change(c.on, path, "/usr/bin/pendra", &error)) << c.name << error.toStdString();
        EXPECT_EQ(Login::isEnabled(path), c.on) << c.name;
    }
}

TEST(Login, ExecQuotesTheProgramAsDesktopEntriesRequire)
{
    struct Case {
        const char* program;
        const char* exec;
    };
    const Case cases[] = {
        {"/usr/bin/pendra", R"("/usr/bin/pendra")"},
        {"/home/a b/pendra", R"("/home/a b/pendra")"},
        {"/opt/100%/pendra", R"("/opt/100%%/pendra")"},
        {"/opt/$HOME/pen\"dra", R"("/opt/\\$HOME/pen\\"dra")"},
        {"/opt/back\\slash", R"("/opt/back\\\\slash")"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(execLine(Login::entryText(c.program)), QString(c.exec) + " --autostart") << c.program;
}

TEST(Login, EntryLivesInThePrivateAutostartFolder)
{
    EXPECT_TRUE(Login::entryPath().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart/"));
    EXPECT_TRUE(Login::entryPath().endsWith(".desktop"));
    Login::set(true);
    EXPECT_TRUE(Login::isEnabled(Login::entryPath()));
    Login::set(false);
    EXPECT_FALSE(QFileInfo::exists(Login::entryPath()));
}

} // namespace
} // namespace pendra
