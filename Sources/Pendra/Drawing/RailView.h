#pragma once

#include "Host.h"
#include "PinStamps.h"
#include "TurnedImage.h"

#include <QHash>
#include <QImage>
#include <QSizeF>
#include <QString>

#include <optional>

namespace pendra {

class Hanging;
class RailController;

// The panel's content: draws each hanging's cord, pin and charm, and hands
// the mouse to the controller. Charms are drawn from sprites, the picture
// with its shadow rendered once at the screen's density.
class RailView : public PanelContent {
public:
    struct Sprite {
        TurnedImage image;
        double pad = 0.0;
    };

    static constexpr int spriteCacheLimit = 41;
    static constexpr double shimmerSeconds = 0.85;

    explicit RailView(RailController* controller = nullptr);

    void setController(RailController* controller) { m_controller = controller; }

    void paint(Surface& surface, const QRectF& dirty) override;
    bool notesDrawnAreas() const override { return true; }
    void mouseDown(QPointF at) override;
    void mouseDragged(QPointF to) override;
    void mouseUp() override;
    void pointerMoved(QPointF at) override;
    void pointerLeft() override;

    // Renders the missing sprites of the hangings that reach into area, on all
    // cores. Painting does it first; a caller may do it sooner.
    void prepareSprites(const QRectF& area);
    // The cached sprite for a hanging drawn at the given size, rendered on a miss.
    std::optional<Sprite> sprite(const Hanging& hanging, QSizeF size);
    static QString spriteKey(const QString& charmID, double scale, double density);
    int cachedSprites() const { return int(m_sprites.size()); }
    int spritesRendered() const { return m_spritesRendered; }

    // Everything drawHanging may touch for a hanging: cord, pin and sprite.
    static QRectF paintedArea(const Hanging& hanging, double scale);
    // The transparent margin around a sprite's picture that holds its shadow.
    static double spritePad(double scale);

private:
    void drawHanging(Surface& surface, const Hanging& hanging, bool pinHovered, double scale);
    void keep(const QString& key, const Sprite& sprite);
    // spriteKey, with the part the scale and density give kept between calls.
    QString keyOf(const QString& charmID, double scale, double density);
    // Everything a hanging's cord and pin may touch.
    static QRectF cordArea(const Hanging& hanging);
    static std::optional<Sprite> renderSprite(const QImage& picture, QSizeF size, double scale, double density);

    RailController* m_controller;
    QHash<QString, Sprite> m_sprites;
    PinStamps m_pins;
    int m_spritesRendered = 0;
    QString m_keyTail;
    double m_keyScale = 0.0;
    double m_keyDensity = 0.0;
};

} // namespace pendra
