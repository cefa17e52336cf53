#include "BuildInfo.h"
#include "CommandLine.h"
#include "Program.h"
#include "TempFolder.h"

#include <QDir>

#include <gtest/gtest.h>

namespace pendra {
namespace {

using test::runProgram;
using test::TempFolder;

const QString usageLine = QStringLiteral("Usage: pendra [options]\n");

// What the real program does with each command line. None of them needs a
// display: they are answered before Qt starts, or the program stops at once
// because there is none.
TEST(CommandLine, TheProgramAnswersItsOptions)
{
    enum class Out { usage, version, nothing };
    enum class Err { nothing, mistake, noDisplay };
    struct Case {
        QStringList arguments;
        int status;
        Out out;
        Err err;
        const char* firstLine = ""; // of standard error, for a mistake
    } cases[] = {
        {{"--help"}, 0, Out::usage, Err::nothing},
        {{"-h"}, 0, Out::usage, Err::nothing},
        {{"--version"}, 0, Out::version, Err::nothing},
        {{"-v"}, 0, Out::version, Err::nothing},
        {{"-reverse", "--version"}, 0, Out::version, Err::nothing},
        {{"--bogus"}, 2, Out::nothing, Err::mistake, "pendra: Unknown option 'bogus'."},
        {{"-x"}, 2, Out::nothing, Err::mistake, "pendra: Unknown option 'x'."},
        {{"--help", "--bogus"}, 2, Out::nothing, Err::mistake, "pendra: Unknown option 'bogus'."},
        {{"-hv"}, 2, Out::nothing, Err::mistake, "pendra: Unknown option 'hv'."},
        {{"stray"}, 2, Out::nothing, Err::mistake, "pendra: Unexpected argument 'stray'."},
        {{"--version", "stray"}, 2, Out::nothing, Err::mistake, "pendra: Unexpected argument 'stray'."},
        {{"--", "--help"}, 2, Out::nothing, Err::mistake, "pendra: Unexpected argument '--help'."},
        {{"-platform"}, 2, Out::nothing, Err::mistake, "pendra: Missing value after '-platform'."},
        {{"--preview=out.png"}, 2, Out::nothing, Err::mistake,
         "pendra: Write the picture's path after --preview, as in: --preview out.png"},
        {{}, 1, Out::nothing, Err::noDisplay},
        {{"--autostart"}, 1, Out::nothing, Err::noDisplay},
        {{"--preview"}, 1, Out::nothing, Err::noDisplay},
        {{"--autostart", "--preview"}, 1, Out::nothing, Err::noDisplay},
        {{"-platform", "xcb", "-session", "1234"}, 1, Out::nothing, Err::noDisplay},
    };
    TempFolder config;
    TempFolder work;
    for (const Case& c : cases) {
        const std::string name = c.arguments.join(' ').toStdString();
        const test::Run run = runProgram(QStringLiteral(PENDRA_BINARY), c.arguments,
                                         test::quietEnvironment(config.path()), work.path());
        ASSERT_FALSE(run.crashed) << name;
        EXPECT_EQ(run.status, c.status) << name << ": " << run.err.toStdString();
        switch (c.out) {
        case Out::usage:
            EXPECT_TRUE(run.out.startsWith(usageLine)) << name << ": " << run.out.toStdString();
            EXPECT_TRUE(run.out.contains("--preview <png>")) << name;
            EXPECT_TRUE(run.out.contains("--autostart")) << name;
            EXPECT_FALSE(run.out.contains("-platform")) << name << ": Qt's own options stay out of the list";
            break;
        case Out::version:
            EXPECT_EQ(run.out, QStringLiteral("Pendra " PENDRA_VERSION "\n")) << name;
            break;
        case Out::nothing:
            EXPECT_TRUE(run.out.isEmpty()) << name << ": " << run.out.toStdString();
            break;
        }
        switch (c.err) {
        case Err::nothing:
            EXPECT_TRUE(run.err.isEmpty()) << name << ": " << run.err.toStdString();
            break;
        case Err::mistake:
            EXPECT_EQ(run.err.section('\n', 0, 0), QString::fromUtf8(c.firstLine)) << name;
            EXPECT_EQ(run.err.section('\n', 1, 1), QString()) << name;
            EXPECT_TRUE(run.err.section('\n', 2).startsWith(usageLine)) << name << ": " << run.err.toStdString();
            break;
        case Err::noDisplay:
            EXPECT_TRUE(run.err.startsWith("pendra: ")) << name << ": " << run.err.toStdString();
            EXPECT_EQ(run.err.count('\n'), 1) << name << ": " << run.err.toStdString();
            break;
        }
        EXPECT_TRUE(QDir(work.path()).isEmpty()) << name;
    }
}

TEST(CommandLine, OnlyTheLoginItemsOptionMarksAStartAtLogin)
{
    struct Case {
        QStringList arguments;
        bool autostart;
    } cases[] = {
        {{}, false},
        {{"--autostart"}, true},
        {{"-autostart"}, true},
        {{"-platform", "xcb", "--autostart"}, true},
        {{"--preview"}, false},
        {{"--autostart", "--preview"}, true},
    };
    for (const Case& c : cases) {
        const CommandLine command(QStringList{"/usr/bin/pendra"} + c.arguments);
        const std::string name = c.arguments.join(' ').toStdString();
        EXPECT_FALSE(command.exitStatus()) << name;
        EXPECT_EQ(command.autostart(), c.autostart) << name;
    }
    // The usage names the program as it was started.
    EXPECT_TRUE(CommandLine({"/opt/x/bin/pendra-beta", "-h"}).output().startsWith("Usage: pendra-beta [options]\n"));
}

} // namespace
} // namespace pendra
