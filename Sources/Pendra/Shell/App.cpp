#include "App.h"

#include "Copy.h"
#include "RailController.h"
#include "StudioWindow.h"
#include "TrayIconArt.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QSystemTrayIcon>

namespace pendra {

App::App(Store& store, QObject* parent)
    : QObject(parent)
    , m_model(store)
    , m_menu(m_model, [this] { openStudio(); }, [] { QApplication::quit(); })
{
}

App::~App()
{
    // The rail unhooks itself from the model and the host as it goes.
    m_rail.reset();
}

void App::start(std::unique_ptr<Host> host, Launch launch)
{
    Q_ASSERT(!m_rail && host);
    m_host = std::move(host);
    m_rail = std::make_unique<RailController>(m_model, *m_host);
    m_model.setRail(m_rail.get());
    m_rail->show(!m_model.settings().hidden);
    showTray(launch);
}

void App::openStudioFor(const QByteArray& token)
{
    // Qt on Wayland activates a window with the token it finds here, and
    // takes it away once used; elsewhere it is not read at all.
    if (!token.isEmpty() && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        qputenv("XDG_ACTIVATION_TOKEN", token);
    openStudio();
}

void App::openStudio()
{
    if (!m_studio) {
        m_studio = std::make_unique<StudioWindow>(m_model);
        m_studio->setWindowIcon(QIcon::fromTheme(QStringLiteral("pendra"), QIcon(QStringLiteral(":/pendra/pendra.svg"))));
        m_studio->addAction(&m_menu.action(TrayMenu::Item::hideOrShow));
        m_studio->addAction(&m_menu.action(TrayMenu::Item::quit));
        if (m_host && m_host->clicksPassOnlyAtRest())
            m_studio->setMovementNotice(Copy::restOnlyNote);
        // Window managers tend to place a new window where it half leaves a
        // small screen; the middle of the work area is always a good spot.
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = m_studio->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            m_studio->move(frame.topLeft());
        }
    }
    m_studio->open();
}

void App::showTray(Launch launch)
{
    m_tray = std::make_unique<QSystemTrayIcon>(TrayIconArt::icon());
    m_tray->setToolTip(Copy::appName);
    m_tray->setContextMenu(&m_menu.menu());
    // A plain click opens the menu too, the way a status menu works.
    connect(m_tray.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            m_menu.menu().popup(QCursor::pos());
    });
    // Without a tray now, Qt still docks the icon when a tray appears later;
    // until then the studio is the only way in, so it opens once. At login the
    // panel with the tray often comes up after the programs it starts.
    const bool trayNow = QSystemTrayIcon::isSystemTrayAvailable();
    m_tray->show();
    if (!trayNow && launch == Launch::byHand)
        openStudio();
}

} // namespace pendra
