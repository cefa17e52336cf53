#pragma once

#include "Feedback.h"

#include <QMenu>
#include <QObject>

#include <functional>

namespace pendra {

class AppModel;

// The tray icon's menu: the quick commands. It stores nothing; every change
// goes through the model, and the labels, checks and enabled states follow the
// model's settings whoever changed them.
class TrayMenu : public QObject {
    Q_OBJECT

public:
    enum class Item { studio, swing, breeze, still, hideOrShow, rate, reportBug, quit };

    TrayMenu(AppModel& model, std::function<void()> openStudio, std::function<void()> quit,
             QObject* parent = nullptr);
    ~TrayMenu() override;

    QMenu& menu() { return m_menu; }
    QAction& action(Item item) const;

    // How the two feedback items reach the desktop; tests replace them.
    void setFeedback(Feedback::Opener open, Feedback::Clipboard copy);

    static constexpr double swingStrength = 15.0;

private:
    QAction* addItem(const QString& text, const QKeySequence& shortcut = {});
    void refresh();
    void swing();

    AppModel& m_model;
    std::function<void()> m_openStudio;
    std::function<void()> m_quit;
    Feedback::Opener m_open = Feedback::openWithDesktop;
    Feedback::Clipboard m_copy = Feedback::copyToClipboard;
    QMenu m_menu;
    QAction* m_studio;
    QAction* m_swing;
    QAction* m_breeze;
    QAction* m_still;
    QAction* m_hideOrShow;
    QAction* m_rate;
    QAction* m_reportBug;
    QAction* m_quitAction;
};

} // namespace pendra
