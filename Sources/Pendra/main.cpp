#include "App.h"
#include "BuildInfo.h"
#include "DisplayProbe.h"
#include "Preview.h"
#include "SettingsStore.h"
#include "SingleInstance.h"
#include "X11Host.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    using namespace pendra;

    if (const std::optional<int> status = Preview::runIfAsked(argc, argv))
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

    SingleInstance instance(SingleInstance::defaultName());
    if (instance.handOff())
        return 0;
    QString error;
    if (!instance.listen(&error))
        std::fprintf(stderr, "pendra: a second start cannot reach this one: %s\n", qPrintable(error));

    SettingsStore store(SettingsStore::defaultPath());
    App shell(store);
    QObject::connect(&instance, &SingleInstance::studioRequested, &shell, &App::openStudio);
    std::unique_ptr<X11Host> host = X11Host::create();
    if (!host) {
        std::fprintf(stderr, "pendra: the display cannot show the rail (it needs XFixes, SHAPE and a 32-bit visual)\n");
        return 1;
    }
    shell.start(std::move(host));
    return app.exec();
}
