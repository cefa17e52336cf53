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

    // Makes the rail, links it to the model and shows it unless the charms are
    // hidden; puts up the tray icon, or opens the studio when there is no tray
    // to reach the settings through. The rail lives on the given host.
    void start(std::unique_ptr<Host> host);
    // Opens the studio or brings it to the front.
    void openStudio();

    AppModel& model() { return m_model; }
    TrayMenu& menu() { return m_menu; }
    RailController* rail() const { return m_rail.get(); }
    StudioWindow* studio() const { return m_studio.get(); }
    QSystemTrayIcon* trayIcon() const { return m_tray.get(); }

private:
    void showTray();

    AppModel m_model;
    std::unique_ptr<Host> m_host;
    std::unique_ptr<RailController> m_rail;
    std::unique_ptr<StudioWindow> m_studio;
    TrayMenu m_menu;
    std::unique_ptr<QSystemTrayIcon> m_tray;
};

} // namespace pendra
