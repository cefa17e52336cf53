#pragma once

#include "AppModel.h"
#include "Host.h"
#include "TrayMenu.h"

#include <QObject>
#include <QPointer>

#include <memory>

class QSystemTrayIcon;

namespace pendra {

class RailController;
class Store;
class StudioWindow;

// The running program: the one model, the rail that draws the charms, the
// tray icon with its menu and the studio window, made on first use.
class App : public QObject {
    Q_OBJECT

public:
    explicit App(Store& store, QObject* parent = nullptr);
    ~App() override;

    enum class Launch { byHand, atLogin };

    // Makes the rail, links it to the model and shows it unless the charms are
    // hidden on the given host; puts up the tray icon. Started by hand without
    // a tray to reach the settings through, it opens the studio; started at
    // login, never.
    void start(std::unique_ptr<Host> host, Launch launch = Launch::byHand);
    // Opens the studio or brings it to the front. The studio offers the menu's
    // hide-or-show and quit shortcuts, for desktops without a tray.
    void openStudio();
    // The same, asked by a later start whose launch carried an activation
    // token; the token lets the studio come to the front on Wayland.
    void openStudioFor(const QByteArray& token);

    AppModel& model() { return m_model; }
    TrayMenu& menu() { return m_menu; }
    RailController* rail() const { return m_rail.get(); }
    StudioWindow* studio() const { return m_studio.get(); }
    QSystemTrayIcon* trayIcon() const { return m_tray.get(); }

private:
    void showTray(Launch launch);

    AppModel m_model;
    std::unique_ptr<Host> m_host;
    std::unique_ptr<RailController> m_rail;
    std::unique_ptr<StudioWindow> m_studio;
    TrayMenu m_menu;
    std::unique_ptr<QSystemTrayIcon> m_tray;
};

} // namespace pendra
