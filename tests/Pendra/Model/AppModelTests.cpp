#include "AppModel.h"
#include "DiskFaults.h"
#include "MemoryStore.h"
#include "SettingsStore.h"
#include "TempFolder.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace pendra {
namespace {

Charm charm(const char* id)
{
    Charm c;
    c.id = id;
    c.name = id;
    c.set = "s";
    c.file = QString(id) + ".png";
    return c;
}

Catalog catalog(std::initializer_list<const char*> ids = {"moon", "nazar", "key"})
{
    QList<Charm> charms;
    for (const char* id : ids)
        charms.append(charm(id));
    return Catalog(charms, "/charms");
}

// Writes down, in order, what the model did with the store, the login item and the rail.
struct Journal : RailHook {
    QStringList events;
    QList<Preferences> olds;
    void settingsChanged(const Preferences& old) override
    {
        events << "rail";
        olds << old;
    }
    void swingAll(double strength) override { events << QStringLiteral("swing %1").arg(strength); }
};

class LoggingStore : public MemoryStore {
public:
    explicit LoggingStore(Journal& journal) : m_journal(journal) {}
    bool setData(const QString& key, const QByteArray& value, QString* error = nullptr) override
    {
        m_journal.events << "store";
        return MemoryStore::setData(key, value, error);
    }

private:
    Journal& m_journal;
};

struct Fixture {
    Journal journal;
    LoggingStore store{journal};
    std::unique_ptr<AppModel> model;

    explicit Fixture(std::optional<Catalog> given = catalog()) { open(std::move(given)); }
    void open(std::optional<Catalog> given = catalog())
    {
        model = std::make_unique<AppModel>(store, std::move(given), [this](bool on) {
            journal.events << (on ? "login on" : "login off");
        });
        model->setRail(&journal);
    }
    std::optional<Preferences> stored() const
    {
        const auto bytes = store.data(AppModel::settingsKey);
        return bytes ? Preferences::decode(*bytes) : std::nullopt;
    }
};

TEST(AppModel, FirstRunHangsTheNazarAndStoresNothing)
{
    Fixture f;
    ASSERT_EQ(f.model->settings().hung.size(), 1);
    const Hung first = f.model->settings().hung[0];
    EXPECT_EQ(first.charmID, "nazar");
    EXPECT_EQ(first.x, 0.62);
    EXPECT_EQ(first.drop, 150.0);
    EXPECT_EQ(f.store.writes(), 0);
    EXPECT_TRUE(f.journal.events.isEmpty());

    f.open();
    ASSERT_EQ(f.model->settings().hung.size(), 1);
    EXPECT_NE(f.model->settings().hung[0].uid, first.uid);
}

TEST(AppModel, StoredRecordLosesOnlyUnknownCharms)
{
    Fixture f;
    Preferences prefs;
    prefs.hung = {Hung{"A", "moon", 0.2, 96}, Hung{"B", "gone", 0.5, 150}, Hung{"C", "key", 0.8, 190}};
    prefs.cord = CordStyle::twine;
    f.store.setData(AppModel::settingsKey, prefs.encode());
    f.open();
    ASSERT_EQ(f.model->settings().hung.size(), 2);
    EXPECT_EQ(f.model->settings().hung[0], prefs.hung[0]);
    EXPECT_EQ(f.model->settings().hung[1], prefs.hung[2]);
    EXPECT_EQ(f.model->settings().cord, CordStyle::twine);
    // Nothing is written back until a real change.
    EXPECT_EQ(f.stored()->hung.size(), 3);
}

TEST(AppModel, UndecodableRecordStaysOnDiskUntilTheFirstChange)
{
    Fixture f;
    f.store.setData(AppModel::settingsKey, "{\"scale\":\"big\"}");
    f.open();
    EXPECT_EQ(f.model->settings().hung.size(), 1);
    EXPECT_EQ(f.store.data(AppModel::settingsKey), QByteArray("{\"scale\":\"big\"}"));
    f.model->update([](Preferences& p) { p.breeze = true; });
    ASSERT_TRUE(f.stored());
    EXPECT_TRUE(f.stored()->breeze);
}

TEST(AppModel, RecordWithANumberBeyondADoubleKeepsItsCharms)
{
    Fixture f;
    f.store.setData(AppModel::settingsKey,
                    R"({"hung":[{"uid":"A","charmID":"moon","x":0.2,"drop":1e400},)"
                    R"({"uid":"B","charmID":"key","x":1e-400,"drop":96}],"scale":1e400,"cord":"twine"})");
    f.open();
    const Preferences& loaded = f.model->settings();
    ASSERT_EQ(loaded.hung.size(), 2);
    EXPECT_EQ(loaded.hung[0], (Hung{"A", "moon", 0.2, 420.0}));
    EXPECT_EQ(loaded.hung[1], (Hung{"B", "key", 0.01, 96.0}));
    EXPECT_EQ(loaded.scale, 2.2);
    f.model->update([](Preferences& p) { p.breeze = true; });
    ASSERT_TRUE(f.stored());
    EXPECT_EQ(f.stored()->hung, loaded.hung);
    EXPECT_EQ(f.stored()->cord, CordStyle::twine);
}

TEST(AppModel, UnchangedUpdateTellsOnlyObservers)
{
    Fixture f;
    QSignalSpy spy(f.model.get(), &AppModel::settingsChanged);
    f.model->update([](Preferences& p) { p.cord = CordStyle::goldThread; });
    f.model->update([](Preferences&) {});
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(f.store.writes(), 0);
    EXPECT_TRUE(f.journal.events.isEmpty());
}

TEST(AppModel, RealChangeIsStoredThenLoginThenRail)
{
    struct Case {
        std::function<void(Preferences&)> change;
        QStringList events;
    };
    const Case cases[] = {
        {[](Preferences& p) { p.launchAtLogin = true; }, {"store", "login on", "rail"}},
        {[](Preferences& p) { p.scale = 1.5; }, {"store", "rail"}},
    };
    for (const Case& c : cases) {
        Fixture f;
        const Preferences before = f.model->settings();
        f.model->update(c.change);
        EXPECT_EQ(f.journal.events, c.events);
        ASSERT_EQ(f.journal.olds.size(), 1);
        EXPECT_EQ(f.journal.olds[0], before);
        EXPECT_EQ(f.stored(), f.model->settings());
    }
    Fixture f;
    f.model->update([](Preferences& p) { p.launchAtLogin = true; });
    f.journal.events.clear();
    f.model->update([](Preferences& p) { p.launchAtLogin = false; });
    EXPECT_EQ(f.journal.events, (QStringList{"store", "login off", "rail"}));
}

TEST(AppModel, HangingBringsHiddenCharmsBackInTheSameChange)
{
    Fixture f;
    f.model->update([](Preferences& p) {
        p.hung.clear();
        p.hidden = true;
    });
    f.journal = {};
    f.model->hang("moon");
    ASSERT_EQ(f.journal.olds.size(), 1);
    EXPECT_TRUE(f.journal.olds[0].hidden);
    EXPECT_TRUE(f.journal.olds[0].hung.isEmpty());
    EXPECT_FALSE(f.model->settings().hidden);
    EXPECT_EQ(f.model->settings().hung.size(), 1);
}

TEST(AppModel, HangingTwicePlacesTwoCopies)
{
    Fixture f;
    f.model->update([](Preferences& p) { p.hung.clear(); });
    f.model->hang("key");
    f.model->hang("key");
    const QList<Hung>& hung = f.model->settings().hung;
    ASSERT_EQ(hung.size(), 2);
    EXPECT_EQ(hung[0].x, 0.62);
    EXPECT_EQ(hung[0].drop, 150.0);
    EXPECT_EQ(hung[1].x, 0.12);
    EXPECT_EQ(hung[1].drop, 96.0);
    EXPECT_NE(hung[0].uid, hung[1].uid);
    EXPECT_TRUE(f.model->isHanging("key"));

    f.model->hang("unknown");
    EXPECT_EQ(f.model->settings().hung.size(), 2);

    f.model->toggle("key");
    EXPECT_TRUE(f.model->settings().hung.isEmpty());
    EXPECT_FALSE(f.model->isHanging("key"));
    f.model->toggle("key");
    EXPECT_EQ(f.model->settings().hung.size(), 1);
}

TEST(AppModel, TakeDownRemovesOnlyThatPlacement)
{
    Fixture f;
    f.model->hang("moon");
    const QString nazarUid = f.model->settings().hung[0].uid;
    const int writes = f.store.writes();
    f.model->takeDown("NO-SUCH-UID");
    EXPECT_EQ(f.store.writes(), writes);
    f.model->takeDown(nazarUid);
    ASSERT_EQ(f.model->settings().hung.size(), 1);
    EXPECT_EQ(f.model->settings().hung[0].charmID, "moon");
    EXPECT_EQ(f.stored()->hung.size(), 1);
}

TEST(AppModel, EmptyCatalogHangsNothing)
{
    Fixture f(Catalog({}, "/nowhere"));
    EXPECT_TRUE(f.model->settings().hung.isEmpty());
    f.model->hang("nazar");
    EXPECT_TRUE(f.model->settings().hung.isEmpty());
    EXPECT_EQ(f.store.writes(), 0);
}

TEST(AppModel, RefusedWriteIsRecordedAndTheRailStillFollows)
{
    Fixture f;
    f.store.refuseWrites(true);
    f.model->update([](Preferences& p) { p.still = true; });
    EXPECT_TRUE(f.model->settings().still);
    EXPECT_FALSE(f.model->storeError().isEmpty());
    EXPECT_TRUE(f.journal.events.contains("rail"));
    f.store.refuseWrites(false);
    f.model->update([](Preferences& p) { p.still = false; });
    EXPECT_TRUE(f.model->storeError().isEmpty());
}

TEST(AppModel, DiskFaultsKeepTheSettingsInMemoryUntilAWriteLands)
{
    for (const bool fullDisk : {false, true}) {
        test::TempFolder root;
        const QString folder = root.file("pendra");
        test::FullDisk disk(folder);
        SettingsStore store(folder + "/p.conf");
        Journal journal;
        AppModel model(store, catalog(), [&](bool on) { journal.events << (on ? "login on" : "login off"); });
        model.setRail(&journal);
        model.update([](Preferences& p) { p.cord = CordStyle::twine; });
        const QByteArray stored = root.read("pendra/p.conf");
        ASSERT_FALSE(stored.isEmpty());
        journal.events.clear();

        // The disk fills up, or the file is pushed aside by a folder.
        if (fullDisk)
            disk.fill();
        else
            ASSERT_TRUE(QFile::rename(folder + "/p.conf", folder + "/aside") && QDir().mkdir(folder + "/p.conf"));
        model.update([](Preferences& p) { p.breeze = true; });
        model.hang("key");
        model.update([](Preferences& p) { p.launchAtLogin = true; });
        EXPECT_FALSE(model.storeError().isEmpty()) << fullDisk;
        EXPECT_TRUE(model.settings().breeze) << fullDisk;
        EXPECT_TRUE(model.isHanging("key")) << fullDisk;
        EXPECT_EQ(journal.events, QStringList({"rail", "rail", "login on", "rail"})) << fullDisk;
        if (fullDisk)
            EXPECT_EQ(root.read("pendra/p.conf"), stored);
        else
            EXPECT_EQ(root.read("pendra/aside"), stored);

        // Room again: the next change stores everything made in the meantime.
        if (fullDisk)
            disk.drain();
        else
            QDir().rmdir(folder + "/p.conf");
        model.update([](Preferences& p) { p.calm = true; });
        EXPECT_TRUE(model.storeError().isEmpty()) << fullDisk << model.storeError().toStdString();
        const auto bytes = SettingsStore(folder + "/p.conf").data(AppModel::settingsKey);
        ASSERT_TRUE(bytes) << fullDisk;
        EXPECT_EQ(Preferences::decode(*bytes), model.settings()) << fullDisk;
    }
}

TEST(AppModel, DirectAssignmentNotifiesOnlyOnChange)
{
    Fixture f;
    QSignalSpy spy(f.model.get(), &AppModel::settingsChanged);
    f.model->setSettings(f.model->settings());
    EXPECT_EQ(spy.count(), 0);
    Preferences other = f.model->settings();
    other.calm = true;
    f.model->setSettings(other);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(f.store.writes(), 0);
    EXPECT_TRUE(f.journal.events.isEmpty());
}

TEST(AppModel, ShippedCatalogIsFoundAndLoads)
{
    MemoryStore store;
    AppModel model(store, std::nullopt, [](bool) {});
    EXPECT_TRUE(QFileInfo::exists(AppModel::charmsFolder() + "/charms.json"));
    EXPECT_GE(model.catalog().charms().size(), 16);
    EXPECT_GE(model.catalog().sets().size(), 4);
    ASSERT_EQ(model.settings().hung.size(), 1);
    EXPECT_EQ(model.settings().hung[0].charmID, "nazar");
}

} // namespace
} // namespace pendra
