#include "RailController.h"

#include "AppModel.h"
#include "RailGeometry.h"
#include "RailView.h"

#include <algorithm>
#include <cmath>

namespace pendra {

RailController::RailController(AppModel& model, Host& host)
    : m_model(model)
    , m_host(host)
    , m_view(std::make_unique<RailView>(this))
    , m_pictures(host)
    , m_alive(std::make_shared<RailController*>(this))
{
    m_host.setIgnoresMouse(true);
    m_host.setContent(m_view.get());
    rebuild();
    layOut();

    m_host.onScreensChanged([this] { screensChanged(); });
    m_host.onFrame([this](double timestamp) { frame(timestamp); });
    m_host.setFramesPaused(true);
    m_linked = true;
    refreshInputRegion(true);
}

RailController::~RailController()
{
    watch(false);
    m_host.onFrame({});
    m_host.onScreensChanged({});
    m_host.setFramesPaused(true);
    m_host.setContent(nullptr);
    if (m_model.rail() == this)
        m_model.setRail(nullptr);
}

void RailController::show(bool visible)
{
    if (!visible) {
        // A hidden panel sees no release, so a drag in progress ends here.
        endHold();
        m_host.orderOut();
        m_pointerInside = false;
        watch(false);
        return;
    }
    m_host.orderIn();
    // Where clicks pass only a still rail, it does not start out swinging.
    if (m_host.clicksPassOnlyAtRest())
        return;
    std::weak_ptr<RailController*> alive = m_alive;
    m_host.after(0.35, [alive] {
        if (auto self = alive.lock())
            (*self)->swingAll(9.0);
    });
}

CharmPictures::Wanted RailController::pictureWanted(const Charm& charm) const
{
    const QSizeF size = RailGeometry::pictureSize(charm, m_model.settings().scale);
    return {charm.id, m_model.catalog().picture(charm), RailGeometry::pixelSize(size, m_host.backingScale())};
}

std::optional<QImage> RailController::pictureFor(const Charm& charm)
{
    return m_pictures.picture(pictureWanted(charm));
}

// A change of size or density leaves the kept hangings with pictures of the
// old size; they take the new one. A hanging whose picture failed keeps none.
void RailController::refreshPictures()
{
    for (const auto& item : m_items) {
        if (item->picture && item->picture->size() != pictureWanted(item->charm).pixels)
            item->picture = pictureFor(item->charm);
    }
}

void RailController::dropPictures()
{
    m_pictures.clear();
    for (const auto& item : m_items)
        item->picture.reset();
}

void RailController::rebuild()
{
    QHash<QString, std::shared_ptr<Hanging>> current;
    for (const auto& item : m_items) {
        if (!current.contains(item->uid))
            current.insert(item->uid, item);
    }

    const std::optional<Screen> screen = m_host.primaryScreen();
    const double newWidth = std::max(viewWidth(), screen ? screen->frame.width() : 1440.0);

    // The pictures of new hangings are decoded together, on all cores.
    std::vector<CharmPictures::Wanted> wanted;
    for (const Hung& hung : m_model.settings().hung) {
        const std::optional<Charm> charm = m_model.catalog().charm(hung.charmID);
        const auto kept = current.value(hung.uid);
        if (charm && !(kept && kept->charm.id == charm->id && std::abs(kept->cord.length() - hung.drop) < 0.5))
            wanted.push_back(pictureWanted(*charm));
    }
    m_pictures.load(wanted);

    std::vector<std::shared_ptr<Hanging>> items;
    items.reserve(std::size_t(m_model.settings().hung.size()));
    for (const Hung& hung : m_model.settings().hung) {
        const std::optional<Charm> charm = m_model.catalog().charm(hung.charmID);
        if (!charm)
            continue;
        if (auto kept = current.value(hung.uid);
            kept && kept->charm.id == charm->id && std::abs(kept->cord.length() - hung.drop) < 0.5) {
            kept->x = hung.x;
            items.push_back(kept);
            continue;
        }
        Cord cord(newWidth * hung.x, pinDepth, hung.drop, charm->heft, Cord::joints);
        items.push_back(
            std::make_shared<Hanging>(hung.uid, *charm, m_pictures.find(pictureWanted(*charm)), hung.x, std::move(cord)));
    }
    m_items = std::move(items);
    refreshPictures();
}

void RailController::layOut()
{
    const std::optional<Screen> screen = m_host.primaryScreen();
    if (!screen)
        return;
    const QRectF& frame = screen->frame;
    const double top = screen->available.top();

    double longest = 160.0;
    if (!m_items.empty()) {
        longest = 0.0;
        for (const auto& item : m_items)
            longest = std::max(longest, item->cord.length());
    }
    longest *= 1.06;
    const double charmHeight = m_model.settings().scale * 190.0;
    const double height = std::min(longest + charmHeight * 1.3 + 48.0, frame.bottom() - top);

    m_host.setPanelFrame(QRectF(frame.left(), top, frame.width(), height));
    for (const auto& item : m_items)
        item->cord.repin(item->x * frame.width());
    refreshInputRegion(true);
    redraw(true);
    stir();
}

void RailController::screensChanged()
{
    // The panel moves under the pointer, so a drag in progress ends first.
    endHold();
    // Another screen may have another pixel density.
    refreshPictures();
    layOut();
}

void RailController::settingsChanged(const Preferences& old)
{
    const Preferences& now = m_model.settings();
    if (old.hidden != now.hidden)
        show(!now.hidden);
    rebuild();

    bool dropsDiffer = old.hung.size() != now.hung.size();
    for (qsizetype i = 0; !dropsDiffer && i < old.hung.size(); ++i)
        dropsDiffer = old.hung[i].drop != now.hung[i].drop;
    if (dropsDiffer || old.scale != now.scale)
        layOut();

    refreshInputRegion(true);
    redraw(true);
    stir();
}

void RailController::redraw(bool all)
{
    const double scale = m_model.settings().scale;
    QRectF dirty;
    for (const auto& item : m_items)
        dirty = dirty.united(RailGeometry::coveredArea(*item, scale));
    if (all) {
        m_host.redrawAll();
    } else {
        const QRectF area = dirty.united(m_lastDirty);
        if (!area.isNull())
            m_host.redrawRect(area);
    }
    m_lastDirty = dirty;
}

QPointF RailController::centre(const Hanging& hanging) const
{
    return RailGeometry::centre(hanging.charm, hanging.cord, m_model.settings().scale);
}

double RailController::viewWidth() const
{
    return m_host.panelFrame().width();
}

double RailController::uniform(double low, double high)
{
    // Both ends are possible outcomes, as the draws are over closed intervals.
    std::uniform_real_distribution<double> draw(low, std::nextafter(high, high + 1.0));
    return draw(m_random);
}

} // namespace pendra
