#pragma once

#include "Preferences.h"
#include "SliderMapping.h"

#include <QList>
#include <QStringList>
#include <QWidget>

#include <utility>

class QLabel;
class QScrollArea;
class QSlider;
class QVBoxLayout;

namespace pendra {

class AppModel;
class CharmTile;
class CordTile;
class HungRow;
class StudioSection;
class SwitchButton;

// The settings window: what hangs and how long its cords are, the charms to
// add, the cord look and charm size, the movement switches, and the product's
// details. It holds no settings of its own; every control shows the model's
// settings, writes through the model, and follows changes made anywhere else
// (the menu, a drag on the rail).
class StudioWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize contentSize{540, 620};

    explicit StudioWindow(AppModel& model, QWidget* parent = nullptr);
    ~StudioWindow() override;

    // Shows the window, or brings it forward when it is already open.
    void open();
    // A line under the movement switches about what this desktop allows.
    void setMovementNotice(const QString& text);
    QString movementNotice() const;

    // The sections from top to bottom: "Hanging now", one per charm set,
    // "Cord", "Movement" and the untitled last one.
    const QList<StudioSection*>& sections() const { return m_sections; }
    const QList<HungRow*>& hungRows() const { return m_hungRows; }
    const QList<CharmTile*>& charmTiles() const { return m_charmTiles; }
    const QList<CordTile*>& cordTiles() const { return m_cordTiles; }
    QSlider* sizeSlider() const { return m_sizeSlider; }
    // The switch bound to one of the Boolean settings; null for any other field.
    SwitchButton* switchFor(bool Preferences::*field) const;
    QScrollArea* scrollArea() const { return m_scroll; }

    static const SliderMapping& sizeMapping();

private:
    StudioSection* addSection(const QString& title);
    void buildCharmSets();
    void buildCord();
    void buildMovement();
    void buildAbout();
    // Re-reads the model into every control.
    void refresh();
    void refreshHanging();
    void rebuildHanging(const QStringList& uids);

    AppModel& m_model;
    QScrollArea* m_scroll;
    QVBoxLayout* m_content;
    QList<StudioSection*> m_sections;
    StudioSection* m_hanging;
    // The placements the rows show; empty while the empty-state text shows.
    QStringList m_shownUids;
    bool m_builtHanging = false;
    QList<HungRow*> m_hungRows;
    QList<CharmTile*> m_charmTiles;
    QList<CordTile*> m_cordTiles;
    QSlider* m_sizeSlider = nullptr;
    QList<std::pair<bool Preferences::*, SwitchButton*>> m_switches;
    StudioSection* m_movement = nullptr;
    QLabel* m_notice = nullptr;
};

} // namespace pendra
