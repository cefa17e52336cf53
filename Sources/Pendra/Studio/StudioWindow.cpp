#include "StudioWindow.h"

#include "About.h"
#include "AdaptiveGridLayout.h"
#include "AppModel.h"
#include "CharmTile.h"
#include "Copy.h"
#include "CordTile.h"
#include "Feedback.h"
#include "HungRow.h"
#include "StudioSection.h"
#include "StudioStyle.h"
#include "SwitchButton.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <array>

namespace pendra {

namespace {

constexpr int charmColumn = 74;
constexpr int charmSpacing = 10;
constexpr int cordColumn = 116;
constexpr int cordSpacing = 8;
constexpr int gridPad = 4;
constexpr int sizeSliderWidth = 220;

struct SwitchRow {
    const QString* text;
    bool Preferences::*field;
    const QString* note;
};

const std::array<SwitchRow, 6>& switchRows()
{
    static const std::array<SwitchRow, 6> rows = {{
        {&Copy::breeze, &Preferences::breeze, &Copy::breezeNote},
        {&Copy::shimmer, &Preferences::shimmer, &Copy::shimmerNote},
        {&Copy::sound, &Preferences::sound, nullptr},
        {&Copy::calm, &Preferences::calm, nullptr},
        {&Copy::still, &Preferences::still, &Copy::stillNote},
        {&Copy::launchAtLogin, &Preferences::launchAtLogin, nullptr},
    }};
    return rows;
}

QLabel* label(const QString& text, const QFont& font, const QColor& colour, QWidget* parent = nullptr)
{
    auto* l = new QLabel(text, parent);
    StudioStyle::style(*l, font, colour);
    return l;
}

} // namespace

const SliderMapping& StudioWindow::sizeMapping()
{
    static const SliderMapping mapping(Preferences::minScale, Preferences::maxScale);
    return mapping;
}

StudioWindow::StudioWindow(AppModel& model, QWidget* parent)
    : QWidget(parent, Qt::Window), m_model(model), m_scroll(new QScrollArea(this))
{
    setWindowTitle(Copy::appName + QStringLiteral(" Settings"));
    setFixedSize(contentSize);

    auto* close = new QAction(this);
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_scroll);

    auto* content = new QWidget;
    content->setBackgroundRole(QPalette::Window);
    content->setAutoFillBackground(true);
    m_content = new QVBoxLayout(content);
    m_content->setContentsMargins(20, 16, 20, 20);
    m_content->setSpacing(18);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidgetResizable(true);
    m_scroll->setWidget(content);

    m_hanging = addSection(Copy::yourCharms);
    buildCharmSets();
    buildCord();
    buildMovement();
    buildAbout();
    m_content->addStretch(1);

    refresh();
    connect(&m_model, &AppModel::settingsChanged, this, &StudioWindow::refresh);
}

StudioWindow::~StudioWindow() = default;

void StudioWindow::open()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

SwitchButton* StudioWindow::switchFor(bool Preferences::*field) const
{
    for (const auto& [bound, button] : m_switches) {
        if (bound == field)
            return button;
    }
    return nullptr;
}

StudioSection* StudioWindow::addSection(const QString& title)
{
    auto* section = new StudioSection(title);
    m_content->addWidget(section);
    m_sections.append(section);
    return section;
}

void StudioWindow::buildCharmSets()
{
    // Every tile is made up front, but a tile reads its picture only when it
    // is first painted, which happens only once it scrolls into view.
    for (const CharmSet& set : m_model.catalog().sets()) {
        StudioSection* section = addSection(set.name);
        auto* grid = new AdaptiveGridLayout(charmColumn, charmSpacing);
        grid->setContentsMargins(0, gridPad, 0, gridPad);
        for (const Charm& charm : set.charms) {
            auto* tile = new CharmTile(m_model, charm);
            grid->addWidget(tile);
            m_charmTiles.append(tile);
        }
        section->addRow(grid);
    }
}

void StudioWindow::buildCord()
{
    StudioSection* section = addSection(Copy::cordStyle);
    auto* grid = new AdaptiveGridLayout(cordColumn, cordSpacing);
    grid->setContentsMargins(0, gridPad, 0, gridPad);
    for (const CordStyle style : CordStyles::allCases) {
        auto* tile = new CordTile(style, m_model.settings().cord == style,
                                  [this, style] { m_model.update([style](Preferences& p) { p.cord = style; }); });
        grid->addWidget(tile);
        m_cordTiles.append(tile);
    }
    section->addRow(grid);

    auto* size = new QHBoxLayout;
    size->addWidget(new QLabel(Copy::charmSize));
    size->addStretch(1);
    m_sizeSlider = new QSlider(Qt::Horizontal);
    m_sizeSlider->setObjectName(QStringLiteral("charmSize"));
    m_sizeSlider->setAccessibleName(Copy::charmSize);
    m_sizeSlider->setFixedWidth(sizeSliderWidth);
    sizeMapping().configure(*m_sizeSlider);
    connect(m_sizeSlider, &QSlider::valueChanged, this, [this](int position) {
        const double scale = sizeMapping().value(position);
        m_model.update([scale](Preferences& p) { p.scale = scale; });
    });
    size->addWidget(m_sizeSlider);
    section->addRow(size);
}

void StudioWindow::buildMovement()
{
    StudioSection* section = addSection(Copy::motion);
    m_movement = section;
    for (const SwitchRow& row : switchRows()) {
        auto* button = new SwitchButton(*row.text);
        const auto field = row.field;
        connect(button, &SwitchButton::toggled, this,
                [this, field](bool on) { m_model.update([field, on](Preferences& p) { p.*field = on; }); });
        section->addRow(button);
        m_switches.append({field, button});
        if (row.note) {
            QLabel* note = label(*row.note, StudioStyle::footnote(font()), StudioStyle::secondary(palette()));
            note->setWordWrap(true);
            section->addRow(note, StudioSection::Join::attached);
        }
    }
}

void StudioWindow::setMovementNotice(const QString& text)
{
    if (!m_notice) {
        m_notice = label(text, StudioStyle::footnote(font()), StudioStyle::secondary(palette()));
        m_notice->setWordWrap(true);
        m_movement->addRow(m_notice);
    }
    m_notice->setText(text);
}

QString StudioWindow::movementNotice() const
{
    return m_notice ? m_notice->text() : QString();
}

void StudioWindow::buildAbout()
{
    StudioSection* section = addSection(QString());
    auto* links = new QHBoxLayout;
    QLabel* privacy = label(Copy::privacy, StudioStyle::footnote(font()), StudioStyle::secondary(palette()));
    privacy->setWordWrap(true);
    links->addWidget(privacy, 1);
    auto* report = new QPushButton(Copy::reportBug);
    auto* rate = new QPushButton(Copy::rateApp);
    connect(report, &QPushButton::clicked, this, [] { Feedback::reportBug(); });
    connect(rate, &QPushButton::clicked, this, [] { Feedback::rate(); });
    links->addWidget(report);
    links->addWidget(rate);
    section->addRow(links);

    const QString version =
        Copy::appName + QLatin1Char(' ') + About::version() + QStringLiteral(" (") + About::build() + QLatin1Char(')');
    QLabel* line = label(version, StudioStyle::footnote(font()), StudioStyle::tertiary(palette()));
    line->setObjectName(QStringLiteral("version"));
    section->addRow(line);
}

void StudioWindow::refresh()
{
    const Preferences& settings = m_model.settings();
    refreshHanging();
    for (CharmTile* tile : std::as_const(m_charmTiles))
        tile->refresh();
    for (CordTile* tile : std::as_const(m_cordTiles))
        tile->setPicked(tile->style() == settings.cord);
    {
        const QSignalBlocker blocker(m_sizeSlider);
        m_sizeSlider->setValue(sizeMapping().position(settings.scale));
    }
    for (const auto& [field, button] : std::as_const(m_switches)) {
        const QSignalBlocker blocker(button);
        button->setChecked(settings.*field);
    }
}

void StudioWindow::refreshHanging()
{
    const Preferences& settings = m_model.settings();
    QStringList uids;
    for (const Hung& h : settings.hung)
        uids.append(h.uid);
    // Rows are made afresh only when the placements themselves change; a
    // new cord length is shown in place, so a slider being dragged survives.
    if (!m_builtHanging || uids != m_shownUids) {
        rebuildHanging(uids);
        return;
    }
    for (HungRow* row : std::as_const(m_hungRows)) {
        for (const Hung& h : settings.hung) {
            if (h.uid == row->uid()) {
                row->setHung(h);
                break;
            }
        }
    }
}

void StudioWindow::rebuildHanging(const QStringList& uids)
{
    m_builtHanging = true;
    m_shownUids = uids;
    m_hanging->clearRows();
    m_hungRows.clear();

    const Preferences& settings = m_model.settings();
    if (settings.hung.isEmpty()) {
        QLabel* empty = label(Copy::nothingHung, font(), StudioStyle::secondary(palette()));
        empty->setObjectName(QStringLiteral("nothingHung"));
        empty->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        empty->setContentsMargins(0, 6, 0, 6);
        m_hanging->addRow(empty);
        return;
    }
    for (const Hung& h : settings.hung) {
        const std::optional<Charm> charm = m_model.catalog().charm(h.charmID);
        if (!charm)
            continue;
        auto* row = new HungRow(m_model, h, *charm);
        m_hanging->addRow(row);
        m_hungRows.append(row);
    }
    QLabel* hint = label(Copy::dragHint, StudioStyle::footnote(font()), StudioStyle::secondary(palette()));
    hint->setObjectName(QStringLiteral("dragHint"));
    hint->setWordWrap(true);
    m_hanging->addRow(hint);
}

} // namespace pendra
