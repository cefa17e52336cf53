#include "CommandLine.h"

#include "BuildInfo.h"
#include "Copy.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>

namespace pendra {

namespace {

// Options that Qt itself reads from the command line when the application
// starts (a session manager restores programs with -session, for example).
// They are accepted here and left to Qt.
struct QtOption {
    const char* name;
    bool takesValue;
};
constexpr QtOption qtOptions[] = {
    {"platform", true}, {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qmljsdebugger", true}, {"qwindowgeometry", true}, {"qwindowicon", true}, {"qwindowtitle", true},
    {"geometry", true}, {"title", true}, {"session", true}, {"display", true}, {"name", true},
    {"style", true}, {"stylesheet", true}, {"reverse", false}, {"widgetcount", false}, {"sync", false},
    {"nograb", false}, {"dograb", false},
};

} // namespace

CommandLine::CommandLine(const QStringList& arguments)
{
    Q_ASSERT(!arguments.isEmpty());
    QCommandLineParser parser;
    // Qt's own options have one dash and a whole word (-platform xcb), so
    // single letters cannot be bundled (-hv).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(Copy::tagline + QLatin1Char('.'));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Print this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Print the version and exit."));
    const QCommandLineOption preview(
        QStringLiteral("preview"),
        QStringLiteral("Render one frame with every charm into the PNG file <png> and exit. Up to two "
                       "numbers may follow: the width and the height in points (1400 and 340)."),
        QStringLiteral("png"));
    const QCommandLineOption autostart(QStringLiteral("autostart"),
                                       QStringLiteral("Started by the desktop at login: the studio "
                                                      "never opens by itself."));
    parser.addOptions({help, version, preview, autostart});
    for (const QtOption& qt : qtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name), QString(),
                                  qt.takesValue ? QStringLiteral("value") : QString());
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    // A --preview with nothing after it is no preview, and the program starts
    // as usual; anything longer was the preview's and never reaches here.
    QStringList own = arguments;
    if (own.size() > 1 && own.last() == QLatin1String("--preview"))
        own.removeLast();

    // Qt names the program only once an application object exists, which is
    // later than this, so the first line is written here.
    const QString text = parser.helpText();
    const QString usage = QStringLiteral("Usage: %1 [options]").arg(QFileInfo(arguments.first()).fileName())
                          + text.mid(text.indexOf(QLatin1Char('\n')));
    QString mistake;
    if (!parser.parse(own))
        mistake = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        mistake = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
    else if (parser.isSet(preview))
        mistake = QStringLiteral("Write the picture's path after --preview, as in: --preview out.png");

    if (!mistake.isEmpty()) {
        m_exitStatus = 2;
        m_errors = QStringLiteral("pendra: %1\n\n%2").arg(mistake, usage);
    } else if (parser.isSet(help)) {
        m_exitStatus = 0;
        m_output = usage;
    } else if (parser.isSet(version)) {
        m_exitStatus = 0;
        m_output = QStringLiteral("%1 %2\n").arg(Copy::appName, QStringLiteral(PENDRA_VERSION));
    }
    m_autostart = parser.isSet(autostart);
}

QStringList CommandLine::fromArgv(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (arguments.isEmpty())
        arguments << QStringLiteral("pendra");
    return arguments;
}

std::optional<int> CommandLine::answer() const
{
    if (!m_output.isEmpty()) {
        std::fputs(m_output.toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
    }
    if (!m_errors.isEmpty())
        std::fputs(m_errors.toLocal8Bit().constData(), stderr);
    return m_exitStatus;
}

} // namespace pendra
