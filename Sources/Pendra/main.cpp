#include "App.h"
#include "BuildInfo.h"
#include "CommandLine.h"
#include "HostChoice.h"
#include "Preview.h"
#include "SettingsStore.h"
#include "SingleInstance.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

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
    const std::optional<HostChoice::Decision> choice = HostChoice::decide(&reason);
    if (!choice) {
        std::fprintf(stderr, "pendra: %s\n", qPrintable(reason));
        return 1;
    }
    // Qt's platform goes in as an argument rather than through the
    // environment, so that programs started from here do not inherit it.
    std::vector<char*> arguments(argv, argv + argc);
    QByteArray platformFlag("-platform");
    QByteArray platform = choice->qtPlatform;
    const bool chosen = std::any_of(argv, argv + argc, [](const char* a) { return !std::strcmp(a, "-platform"); });
    if (!platform.isEmpty() && !chosen) {
        arguments.push_back(platformFlag.data());
        arguments.push_back(platform.data());
    }
    int count = int(arguments.size());
    arguments.push_back(nullptr);

    QApplication app(count, arguments.data());
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

    std::unique_ptr<Host> host = HostChoice::make(*choice, &reason);
    if (!host) {
        std::fprintf(stderr, "pendra: %s\n", qPrintable(reason));
        return 1;
    }
    SettingsStore store(SettingsStore::defaultPath());
    App shell(store);
    QObject::connect(&instance, &SingleInstance::studioRequested, &shell, &App::openStudioFor);
    shell.start(std::move(host), command.autostart() ? App::Launch::atLogin : App::Launch::byHand);
    return app.exec();
}
