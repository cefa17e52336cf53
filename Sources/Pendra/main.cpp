#include "App.h"
#include "BuildInfo.h"
#include "CommandLine.h"
#include "DisplayProbe.h"
#include "Preview.h"
#include "SettingsStore.h"
#include "SingleInstance.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    using namespace pendra;

    if (const std::optional<int> status = Preview::runIfAsked(argc, argv))
        return *status;
    const CommandLine command(CommandLine::fromArgv(argc, argv));
    if (const std::optional<int> status = command.answer())
        return *status;

    // Qt aborts when it cannot open a display, so find out before it tries.
    QString reason;
    if (!DisplayProbe::prepare(&reason)) {
        std::fprintf(stderr, "pendra: %s\n", qPrintable(reason));
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pendra"));
    QApplication::setApplicationVersion(QStringLiteral(PENDRA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(PENDRA_APP_ID));
    // The program lives in the tray: closing the studio must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    // A start at login asks a running Pendra for nothing: it is there already.
    SingleInstance instance;
    QString message;
    const SingleInstance::Start start = instance.begin(
        command.autostart() ? SingleInstance::Request::nothing : SingleInstance::Request::openStudio, &message);
    if (!message.isEmpty())
        std::fprintf(stderr, "pendra: %s\n", qPrintable(message));
    if (start != SingleInstance::Start::first)
        return start == SingleInstance::Start::handedOff ? 0 : 1;

    SettingsStore store(SettingsStore::defaultPath());
    App shell(store);
    QObject::connect(&instance, &SingleInstance::studioRequested, &shell, &App::openStudio);
    shell.start(command.autostart() ? App::Launch::atLogin : App::Launch::byHand);
    return app.exec();
}
