#include "BuildInfo.h"
#include "DiskFaults.h"
#include "Preview.h"
#include "Program.h"
#include "TempFolder.h"

#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace pendra {
namespace {

using test::runProgram;
using test::TempFolder;

TEST(PreviewArguments, IntegersTakeASignAndNothingElse)
{
    struct Case {
        const char* text;
        std::optional<qint64> value;
    } cases[] = {
        {"800", 800},          {"+900", 900},   {"-5", -5},   {"0", 0},         {"-", std::nullopt},
        {"+", std::nullopt},   {"", std::nullopt}, {"abc", std::nullopt}, {"12.5", std::nullopt},
        {" 12", std::nullopt}, {"12 ", std::nullopt}, {"+-3", std::nullopt}, {"0x10", std::nullopt},
        {"9223372036854775807", INT64_MAX}, {"-9223372036854775808", INT64_MIN},
        {"9223372036854775808", std::nullopt}, {"١٢", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Preview::readInteger(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(PreviewArguments, RequestFromTheCommandLine)
{
    using Preview::Request;
    struct Case {
        QStringList arguments;
        std::optional<Request> expected;
    } cases[] = {
        {{}, std::nullopt},
        {{"--preview"}, std::nullopt},
        {{"--previews", "a.png"}, std::nullopt},
        {{"a.png"}, std::nullopt},
        {{"--preview", "a.png"}, Request{"a.png", 1400, 340}},
        {{"--preview", "a.png", "800"}, Request{"a.png", 800, 340}},
        {{"--preview", "a.png", "abc", "200"}, Request{"a.png", 1400, 200}},
        {{"--preview", "a.png", "+900", "-"}, Request{"a.png", 900, 340}},
        {{"--preview", "a.png", "", "0"}, Request{"a.png", 1400, 0}},
        {{"-v", "--preview", "sub/b.png", "10", "20", "30"}, Request{"sub/b.png", 10, 20}},
        {{"--preview", "--preview", "x"}, Request{"--preview", 1400, 340}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Preview::parse(c.arguments), c.expected) << c.arguments.join(' ').toStdString();
}

class PreviewCommand : public testing::Test {
protected:
    test::Run preview(const QStringList& arguments)
    {
        return runProgram(QStringLiteral(PENDRA_BINARY), arguments, test::quietEnvironment(config.path()),
                          work.path());
    }

    TempFolder config;
    TempFolder work;
};

TEST_F(PreviewCommand, SizesAndTheSuccessLine)
{
    struct Case {
        QStringList extra;
        int pixelWidth, pixelHeight;
    } cases[] = {
        {{}, 2800, 680},
        {{"800"}, 1600, 680},
        {{"abc", "200"}, 2800, 400},
        {{"+900", "-"}, 1800, 680},
    };
    const QRegularExpression line(QStringLiteral("^wrote out\\.png  \\((\\d+)x(\\d+), (\\d+) charms\\)\n$"));
    for (const Case& c : cases) {
        const test::Run run = preview(QStringList{"--preview", "out.png"} + c.extra);
        const std::string name = c.extra.join(' ').toStdString();
        ASSERT_FALSE(run.crashed) << name;
        EXPECT_EQ(run.status, 0) << name << run.err.toStdString();
        EXPECT_TRUE(run.err.isEmpty()) << name << run.err.toStdString();
        const auto match = line.match(run.out);
        ASSERT_TRUE(match.hasMatch()) << name << ": " << run.out.toStdString();
        EXPECT_EQ(match.captured(1).toInt(), c.pixelWidth) << name;
        EXPECT_EQ(match.captured(2).toInt(), c.pixelHeight) << name;
        EXPECT_GE(match.captured(3).toInt(), 16) << name;
        const QImage image(work.file("out.png"));
        EXPECT_EQ(image.size(), QSize(c.pixelWidth, c.pixelHeight)) << name;
        EXPECT_TRUE(image.hasAlphaChannel()) << name;
    }
}

TEST_F(PreviewCommand, FailuresAndTheirStatuses)
{
    struct Case {
        QStringList arguments;
        QString message; // a regular expression for the whole of standard error
    } cases[] = {
        {{"--preview", "out.png", "0"}, "could not make a bitmap\n"},
        {{"--preview", "out.png", "1400", "-20"}, "could not make a bitmap\n"},
        {{"--preview", "out.png", "9223372036854775807"}, "could not make a bitmap\n"},
        {{"--preview", "missing/out.png"}, "could not write missing/out\\.png: .+\n"},
    };
    for (const Case& c : cases) {
        const test::Run run = preview(c.arguments);
        const std::string name = c.arguments.join(' ').toStdString();
        EXPECT_FALSE(run.crashed) << name;
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_TRUE(QRegularExpression("^" + c.message + "$").match(run.err).hasMatch()) << name << ": "
                                                                                          << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << name;
    }
    EXPECT_FALSE(QFile::exists(work.file("out.png")));
}

TEST_F(PreviewCommand, SuccessLineShowsThePathAsGiven)
{
    const char* paths[] = {"out%1 %2.png", "%99%L1.png", "odd $HOME ü.png"};
    for (const char* path : paths) {
        const test::Run run = preview({"--preview", path, "300", "100"});
        ASSERT_EQ(run.status, 0) << path << run.err.toStdString();
        const QString expected = "wrote " + QString::fromUtf8(path) + "  (600x200, ";
        EXPECT_TRUE(run.out.startsWith(expected)) << path << ": " << run.out.toStdString();
        EXPECT_TRUE(run.out.endsWith(" charms)\n")) << run.out.toStdString();
        EXPECT_FALSE(QImage(work.file(QString::fromUtf8(path))).isNull()) << path;
    }
}

TEST_F(PreviewCommand, WritesThroughLinksPipesAndReadOnlyFolders)
{
    // A link is followed and stays a link.
    work.write("pictures/real.png", "old");
    ASSERT_TRUE(QFile::link(work.file("pictures/real.png"), work.file("link.png")));
    test::Run run = preview({"--preview", "link.png", "300", "100"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(QFileInfo(work.file("link.png")).isSymLink());
    EXPECT_EQ(QImage(work.file("pictures/real.png")).size(), QSize(600, 200));

    // Standard output, a pipe here, gets the picture and then the line.
    run = preview({"--preview", "/dev/stdout", "300", "100"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    ASSERT_TRUE(run.rawOut.startsWith("\x89PNG\r\n")) << run.rawOut.left(20).toHex().toStdString();
    const qsizetype line = run.rawOut.lastIndexOf("wrote /dev/stdout  (600x200, ");
    ASSERT_GT(line, 0);
    EXPECT_EQ(QImage::fromData(run.rawOut.left(line), "PNG").size(), QSize(600, 200));

    // A file that may be written, in a folder that may not.
    work.write("locked/out.png", "old");
    test::ReadOnlyFolder readOnly(work.file("locked"));
    if (!readOnly.holds())
        GTEST_SKIP() << "this process can write to read-only folders";
    run = preview({"--preview", "locked/out.png", "300", "100"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(QImage(work.file("locked/out.png")).size(), QSize(600, 200));
    run = preview({"--preview", "locked/new.png", "300", "100"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.startsWith("could not write locked/new.png: ")) << run.err.toStdString();
}

TEST_F(PreviewCommand, FullDiskKeepsTheOldPicture)
{
    test::FullDisk disk(work.file("disk"));
    work.write("disk/out.png", "an older picture");
    disk.fill();
    const test::Run run = preview({"--preview", "disk/out.png", "300", "100"});
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.startsWith("could not write disk/out.png: ")) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(work.read("disk/out.png"), "an older picture");
}

TEST_F(PreviewCommand, WithoutAPathTheProgramStartsNormally)
{
    const test::Run run = preview({"--preview"});
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.status, 1) << "with no display the program explains and stops";
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    EXPECT_TRUE(QDir(work.path()).isEmpty());
}

TEST_F(PreviewCommand, LeavesTheUsersSettingsAloneAndSwingsAfresh)
{
    const QString own = QStringLiteral("pendra/" PENDRA_APP_ID ".conf");
    const QByteArray settings = "[General]\npendra.settings.v1=@ByteArray({\"hung\":[],\"scale\":1.5})\n";
    config.write(own, settings);
    ASSERT_EQ(preview({"--preview", "a.png", "600", "300"}).status, 0);
    ASSERT_EQ(preview({"--preview", "b.png", "600", "300"}).status, 0);
    EXPECT_EQ(config.read(own), settings);
    EXPECT_FALSE(QFile::exists(config.file("autostart/" PENDRA_APP_ID ".desktop")));
    EXPECT_NE(work.read("a.png"), work.read("b.png")) << "each preview starts its own swing";
}

TEST_F(PreviewCommand, EmptyCatalogIsReported)
{
    // An installed layout whose catalog lists nothing.
    TempFolder prefix;
    prefix.write("share/pendra/Charms/charms.json", "[]");
    QDir().mkpath(prefix.file("bin"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(PENDRA_BINARY), prefix.file("bin/pendra")));
    const test::Run run =
        runProgram(prefix.file("bin/pendra"), {"--preview", "out.png"}, test::quietEnvironment(config.path()),
                   work.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, QStringLiteral("no charms in the catalog\n"));
}

} // namespace
} // namespace pendra
