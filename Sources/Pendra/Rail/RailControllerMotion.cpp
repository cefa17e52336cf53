// The frame loop and the pointer handling of the rail controller.
#include "RailController.h"

#include "AppModel.h"
#include "RailGeometry.h"

#include <algorithm>
#include <cmath>

namespace pendra {

namespace {

double length(QPointF v)
{
    return std::sqrt(v.x() * v.x() + v.y() * v.y());
}

bool samePlace(const std::optional<RailController::Over>& a, const std::optional<RailController::Over>& b)
{
    if (!a || !b)
        return !a && !b;
    return a->item == b->item && a->part == b->part;
}

QRectF pinSquare(const Hanging& hanging)
{
    const Bead& pin = hanging.cord.beads().front();
    return {pin.x - 11.0, pin.y - 11.0, 22.0, 22.0};
}

} // namespace

double RailController::slip() const
{
    const Preferences& settings = m_model.settings();
    if (settings.still)
        return 0.9;
    if (m_host.reduceMotion() || settings.calm)
        return 0.975;
    return 0.9955;
}

void RailController::frame(double timestamp)
{
    double dt = m_lastFrame == 0.0 ? 0.0 : timestamp - m_lastFrame;
    dt = std::min(dt, maxInterval);
    m_lastFrame = timestamp;
    m_now += dt;
    m_carry += dt;

    const Preferences& settings = m_model.settings();
    const double retention = slip();
    const double width = viewWidth();
    const bool breezy = settings.breeze && !settings.still && !m_host.clicksPassOnlyAtRest();

    while (m_carry >= step) {
        for (const auto& item : m_items) {
            double force = 0.0;
            if (breezy) {
                const double d = item->drift;
                force = 66.0 * std::sin(m_now / 1.3 + d) + 22.0 * std::sin(m_now / 0.47 + 2.0 * d);
            }
            item->cord.advance(Point{width * item->x, pinDepth}, step, retention, force);
        }
        m_carry -= step;
    }

    updateShimmer();
    refreshInputRegion(false);
    redraw(false);

    double stirring = 0.0;
    bool shining = false;
    for (const auto& item : m_items) {
        stirring += item->cord.stirring();
        shining = shining || m_now - item->shimmerAt < 0.85;
    }
    const bool quiet = stirring < 0.05;
    const bool busy = shining || (settings.breeze && !m_host.clicksPassOnlyAtRest());
    const bool held = m_holding.has_value();

    if (busy && !held) {
        const bool want = m_now - m_lastStir > 1.5;
        if (want != m_slowRate) {
            m_slowRate = want;
            m_host.setFrameRate(want ? FrameRate::slow() : FrameRate::normal());
        }
    } else if (m_slowRate) {
        m_slowRate = false;
        m_host.setFrameRate(FrameRate::normal());
    }

    if (quiet && !busy && !held) {
        if (++m_quietFrames >= pauseAfterQuietFrames)
            m_host.setFramesPaused(true);
    } else {
        m_quietFrames = 0;
    }
}

void RailController::stir()
{
    m_lastStir = m_now;
    m_quietFrames = 0;
    if (m_linked && m_host.framesPaused()) {
        m_lastFrame = 0.0;
        m_host.setFramesPaused(false);
    }
}

void RailController::updateShimmer()
{
    const Preferences& settings = m_model.settings();
    if (!settings.shimmer || settings.still || m_host.reduceMotion() || settings.calm || m_host.clicksPassOnlyAtRest())
        return;
    if (!(m_nextShimmer < m_now))
        return;
    m_nextShimmer = m_now + uniform(7.0, 16.0);

    std::vector<Hanging*> glass;
    for (const auto& item : m_items) {
        if (item->charm.glass)
            glass.push_back(item.get());
    }
    if (glass.empty())
        return;
    std::uniform_int_distribution<std::size_t> pick(0, glass.size() - 1);
    glass[pick(m_random)]->shimmerAt = m_now;
    stir();
}

void RailController::swingAll(double strength)
{
    const Preferences& settings = m_model.settings();
    if (settings.still)
        return;
    const double s = (m_host.reduceMotion() || settings.calm) ? strength * 0.4 : strength;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const double kick = s + uniform(0.0, 0.6 * s);
        m_items[i]->cord.shove(i % 2 == 0 ? kick : -kick, 0.0);
    }
    stir();
}

std::optional<RailController::Over> RailController::hit(QPointF point) const
{
    const double scale = m_model.settings().scale;
    std::vector<RailGeometry::Target> targets;
    targets.reserve(m_items.size());
    for (const auto& item : m_items)
        targets.push_back(RailGeometry::target(*item, scale));
    const auto found = RailGeometry::hit(point, targets);
    if (!found)
        return std::nullopt;
    return Over{m_items[std::size_t(found->index)], found->isPin ? Part::pin : Part::charm};
}

void RailController::readCursor()
{
    if (!m_host.isVisible())
        return;
    readCursorAt(m_host.pointer() - m_host.panelFrame().topLeft());
}

void RailController::pointerMoved(QPointF at)
{
    m_pointerInside = true;
    readCursorAt(at);
    watch(true);
}

void RailController::pointerLeft()
{
    m_pointerInside = false;
    readCursor();
    if (!m_holding)
        watch(false);
}

void RailController::poll()
{
    readCursor();
    if (!m_pointerInside && !m_holding)
        watch(false);
}

void RailController::watch(bool on)
{
    if (on == m_watching)
        return;
    m_watching = on;
    if (!on) {
        m_host.repeat(1.0 / 30.0, 0.005, {});
        return;
    }
    std::weak_ptr<RailController*> alive = m_alive;
    m_host.repeat(1.0 / 30.0, 0.005, [alive] {
        if (auto self = alive.lock())
            (*self)->poll();
    });
}

void RailController::readCursorAt(QPointF p)
{
    if (!m_host.isVisible())
        return;
    const double t = m_host.mediaTime();
    // The window system's events come as well as the poll, at times only a
    // moment apart; a speed taken over so short a time would turn a pixel's
    // move into a flick. Such a reading changes the hover only, and the next
    // one measures the speed over the whole time since the last.
    const bool measured = t - m_cursorAt >= minimumCursorInterval;
    const QPointF q = m_cursor;
    if (measured) {
        const double e = std::max(t - m_cursorAt, 0.001);
        m_cursorSpeed = QPointF((p.x() - m_cursor.x()) / e * 0.016, (p.y() - m_cursor.y()) / e * 0.016);
        m_cursor = p;
        m_cursorAt = t;
    }

    if (m_holding) {
        if (m_host.primaryButtonDown())
            return;
        // The release went somewhere else (another program took the pointer):
        // end the hold as the release would have.
        endHold();
    }

    std::optional<Over> touched = measured ? hit(p) : std::nullopt;
    if (measured && !touched)
        touched = hit((q + p) / 2.0);
    if (touched && touched->part == Part::charm) {
        Hanging& item = *touched->item;
        const double last = m_flickedAt.value(item.uid, -10.0);
        const Preferences& settings = m_model.settings();
        if (m_now - last > 0.35 && length(m_cursorSpeed) > 4.0 && !settings.still) {
            const double f = (m_host.reduceMotion() || settings.calm) ? 0.4 : 0.9;
            item.cord.shove(m_cursorSpeed.x() * f, m_cursorSpeed.y() * 0.4);
            m_flickedAt.insert(item.uid, m_now);
            tick();
            stir();
        }
    }

    // The input region already lets the pointer through away from the charms
    // and pins, so hovering only changes the cursor and the pin's size.
    std::optional<Over> now = hit(p);
    const bool changed = !samePlace(now, m_over);
    const std::optional<Over> previous = std::move(m_over);
    m_over = now;
    if (changed) {
        if (!now)
            m_host.setCursor(CursorShape::arrow);
        else
            m_host.setCursor(now->part == Part::pin ? CursorShape::resizeLeftRight : CursorShape::openHand);
        if (previous && previous->part == Part::pin)
            m_host.redrawRect(pinSquare(*previous->item));
        if (m_over && m_over->part == Part::pin)
            m_host.redrawRect(pinSquare(*m_over->item));
    }
}

void RailController::refreshInputRegion(bool force)
{
    const double scale = m_model.settings().scale;
    // Half a device pixel of drift, plus the half pixel the window system
    // rounds to, keeps the region within a pixel of the true discs.
    const double slack = 0.5 / std::max(m_host.backingScale(), 0.25);
    std::vector<RailGeometry::Target> now;
    now.reserve(m_items.size());
    for (const auto& item : m_items)
        now.push_back(RailGeometry::target(*item, scale));

    bool moved = force || now.size() != m_sentTargets.size();
    for (std::size_t i = 0; !moved && i < now.size(); ++i) {
        const RailGeometry::Target& a = now[i];
        const RailGeometry::Target& b = m_sentTargets[i];
        moved = length(a.centre - b.centre) >= slack || length(a.pin - b.pin) >= slack ||
                std::abs(a.reach - b.reach) >= slack;
    }
    if (!moved)
        return;
    m_sentTargets = std::move(now);
    m_inputDiscs.clear();
    for (const RailGeometry::Target& target : m_sentTargets) {
        m_inputDiscs.push_back(Disc{target.centre, target.reach});
        m_inputDiscs.push_back(Disc{target.pin, RailGeometry::pinReach});
    }
    m_host.setInputRegion(m_inputDiscs);
}

void RailController::mouseDown(QPointF at)
{
    const std::optional<Over> pressed = hit(at);
    if (!pressed)
        return;
    if (pressed->part == Part::pin) {
        m_holding = Holding{pressed->item, Part::pin, QPointF(), at, false};
    } else {
        const Bead tip = pressed->item->cord.tip();
        m_holding = Holding{pressed->item, Part::charm, at - QPointF(tip.x, tip.y), at, false};
        pressed->item->cord.grab(true);
        m_host.setCursor(CursorShape::closedHand);
    }
    // The drag goes on wherever the pointer goes, so the whole panel takes
    // the mouse until the release.
    m_host.setIgnoresMouse(false);
    watch(true);
    stir();
}

void RailController::mouseDragged(QPointF to)
{
    if (!m_holding)
        return;
    if (length(to - m_holding->from) > 4.0)
        m_holding->moved = true;
    Hanging& item = *m_holding->item;
    if (m_holding->part == Part::pin) {
        const double width = viewWidth();
        item.x = width > 0.0 ? std::clamp(to.x() / width, Preferences::minX, Preferences::maxX) : 0.5;
    } else {
        QPointF target = to - m_holding->grip;
        const Bead& pin = item.cord.beads().front();
        const QPointF fromPin = target - QPointF(pin.x, pin.y);
        const double d = length(fromPin);
        const double limit = 1.02 * item.cord.length();
        if (d > limit && d > 0.0)
            target = QPointF(pin.x, pin.y) + fromPin * (limit / d);
        item.cord.hold(Point{target.x(), target.y()});
    }
    stir();
}

void RailController::mouseUp()
{
    endHold();
}

void RailController::endHold()
{
    if (!m_holding)
        return;
    const Holding held = std::move(*m_holding);
    m_holding.reset();
    m_host.setIgnoresMouse(true);
    if (held.part == Part::pin) {
        const double x = std::round(held.item->x * 10000.0) / 10000.0;
        const QString uid = held.item->uid;
        m_model.update([&](Preferences& settings) {
            for (Hung& hung : settings.hung) {
                if (hung.uid == uid) {
                    hung.x = x;
                    break;
                }
            }
        });
    } else {
        held.item->cord.grab(false);
        tick();
        m_host.setCursor(CursorShape::openHand);
    }
    stir();
}

void RailController::tick()
{
    if (!m_model.settings().sound || !(m_now - m_lastClick > 0.25))
        return;
    m_lastClick = m_now;
    if (!m_clickLooked) {
        m_clickLooked = true;
        m_click = m_host.sound(clickSoundName);
    }
    if (m_click) {
        m_click->stop();
        m_click->play();
    }
}

} // namespace pendra
