#include "TrayMenu.h"

#include "AppModel.h"
#include "Copy.h"

namespace pendra {

TrayMenu::TrayMenu(AppModel& model, std::function<void()> openStudio, std::function<void()> quit, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_openStudio(std::move(openStudio))
    , m_quit(std::move(quit))
{
    Q_ASSERT(m_openStudio && m_quit);
    m_studio = addItem(Copy::studio, QKeySequence(Qt::CTRL | Qt::Key_Comma));
    m_swing = addItem(Copy::swingThemAll);
    m_menu.addSeparator();
    m_breeze = addItem(Copy::breeze);
    m_breeze->setCheckable(true);
    m_still = addItem(Copy::still);
    m_still->setCheckable(true);
    m_hideOrShow = addItem(Copy::hideCharms, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H));
    m_menu.addSeparator();
    m_rate = addItem(Copy::rateApp);
    m_reportBug = addItem(Copy::reportBug);
    m_menu.addSeparator();
    m_quitAction = addItem(Copy::quit, QKeySequence(Qt::CTRL | Qt::Key_Q));

    connect(m_studio, &QAction::triggered, this, [this] { m_openStudio(); });
    connect(m_swing, &QAction::triggered, this, &TrayMenu::swing);
    // The check mark Qt has just flipped is the value the user chose.
    connect(m_breeze, &QAction::triggered, this,
            [this](bool on) { m_model.update([on](Preferences& p) { p.breeze = on; }); });
    connect(m_still, &QAction::triggered, this,
            [this](bool on) { m_model.update([on](Preferences& p) { p.still = on; }); });
    connect(m_hideOrShow, &QAction::triggered, this,
            [this] { m_model.update([](Preferences& p) { p.hidden = !p.hidden; }); });
    connect(m_rate, &QAction::triggered, this, [this] { Feedback::rate(m_open, m_copy); });
    connect(m_reportBug, &QAction::triggered, this, [this] { Feedback::reportBug(m_open, m_copy); });
    connect(m_quitAction, &QAction::triggered, this, [this] { m_quit(); });

    connect(&m_model, &AppModel::settingsChanged, this, &TrayMenu::refresh);
    refresh();
}

TrayMenu::~TrayMenu() = default;

QAction& TrayMenu::action(Item item) const
{
    switch (item) {
    case Item::studio: return *m_studio;
    case Item::swing: return *m_swing;
    case Item::breeze: return *m_breeze;
    case Item::still: return *m_still;
    case Item::hideOrShow: return *m_hideOrShow;
    case Item::rate: return *m_rate;
    case Item::reportBug: return *m_reportBug;
    case Item::quit: return *m_quitAction;
    }
    Q_UNREACHABLE();
}

void TrayMenu::setFeedback(Feedback::Opener open, Feedback::Clipboard copy)
{
    Q_ASSERT(open && copy);
    m_open = std::move(open);
    m_copy = std::move(copy);
}

QAction* TrayMenu::addItem(const QString& text, const QKeySequence& shortcut)
{
    QAction* action = m_menu.addAction(text);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        // Shown next to the item and active while the menu is open; the menu
        // is not part of any window, so the shortcut cannot be global.
        action->setShortcutVisibleInContextMenu(true);
    }
    return action;
}

void TrayMenu::refresh()
{
    const Preferences& settings = m_model.settings();
    m_swing->setEnabled(!settings.hung.empty() && !settings.still);
    m_breeze->setChecked(settings.breeze);
    m_still->setChecked(settings.still);
    m_hideOrShow->setText(settings.hidden ? Copy::showCharms : Copy::hideCharms);
}

void TrayMenu::swing()
{
    // Hidden charms come back first so that the swing can be seen.
    m_model.update([](Preferences& p) { p.hidden = false; });
    if (RailHook* rail = m_model.rail())
        rail->swingAll(swingStrength);
}

} // namespace pendra
