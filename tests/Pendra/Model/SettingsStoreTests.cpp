#include "SettingsStore.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace pendra {
namespace {

using test::TempFolder;

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
