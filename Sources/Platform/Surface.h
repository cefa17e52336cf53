#pragma once

#include "BitmapStroker.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QRegion>

#include <optional>
#include <utility>
#include <vector>

namespace pendra {

class TurnedImage;

// Colour stops at locations from 0 to 1.
using Gradient = QList<std::pair<double, QColor>>;

enum class BlendMode { normal, copy, plusLighter };

// The 2-D drawing vocabulary the program paints with, on top of QPainter.
// Coordinates are points with y downward; the device may have more pixels per
// point. Save and restore bring back every setting, including the shadow,
// which QPainter does not have.
class Surface {
public:
    // Paints through an existing painter whose device has scale pixels per point.
    Surface(QPainter& painter, double scale);
    // Paints into an image; its device pixel ratio gives the scale.
    explicit Surface(QImage& image);
    ~Surface();

    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // A transparent premultiplied sRGB bitmap of the given pixel size; none
    // when the size is empty or too large to allocate.
    static std::optional<QImage> makeBitmap(int width, int height);

    double scale() const { return m_scale; }
    // Points to device pixels, as things stand.
    const QTransform& deviceTransform() const { return m_painter->deviceTransform(); }

    void save();
    void restore();

    void translate(double dx, double dy);
    void rotate(double radians);
    void scaleBy(double sx, double sy);

    void setStrokeColor(const QColor& colour);
    void setFillColor(const QColor& colour);
    void setLineWidth(double width);
    void setLineCap(Qt::PenCapStyle cap);
    void setLineJoin(Qt::PenJoinStyle join);
    // On and off lengths in points, starting at the given phase.
    void setLineDash(double phase, const QList<double>& lengths);
    void setBlendMode(BlendMode mode);
    void setHighQualityInterpolation(bool on);
    // Everything drawn next casts a shadow. Offset and blur radius are in
    // device pixels, as shadows ignore the transform.
    void setShadow(const QColor& colour, QPointF offset, double blur);
    void clearShadow();

    void strokePath(const QPainterPath& path);
    void fillPath(const QPainterPath& path);
    void strokeEllipse(const QRectF& rect);
    void fillEllipse(const QRectF& rect);
    void strokeLine(QPointF from, QPointF to);
    void fillRect(const QRectF& rect);
    // Makes the rectangle fully transparent, whatever the blend mode.
    void clear(const QRectF& rect);
    // Where the bitmap may hold anything but transparency, in device pixels,
    // as whoever keeps the bitmap counts it: clear then leaves the rest, which
    // is transparent already, alone. The region must outlive the surface.
    void setInked(const QRegion* inked) { m_inked = inked; }
    // What is about to be drawn may reach anywhere in area (points); the
    // keeper of the bitmap reads the sum back to keep its count.
    void noteDrawn(const QRectF& area);
    const QRegion& drawn() const;
    void clip(const QPainterPath& path);
    void clipEllipse(const QRectF& rect);

    // A gradient between two circles, painted only between them: nothing inside
    // the start circle and nothing outside the end circle.
    void drawRadialGradient(const Gradient& gradient, QPointF startCentre, double startRadius, QPointF endCentre,
                            double endRadius);
    void drawLinearGradient(const Gradient& gradient, QPointF start, QPointF end, const QRectF& area);
    void drawImage(const QImage& image, const QRectF& target, double opacity = 1.0);
    // The same, for a picture drawn over and over: straight into the bitmap
    // when nothing stands in the way (a clip other than one rectangle, another
    // blend mode, an opacity, a shadow), through the painter otherwise.
    void drawImage(const TurnedImage& image, const QRectF& target);

    QPainter& painter() { return *m_painter; }

private:
    struct Shadow {
        QColor colour;
        QPointF offset;
        double blur = 0.0;
    };

    struct Saved {
        QPen pen;
        std::optional<Shadow> shadow;
        std::optional<QRect> directClip;
    };

    void applyPen();
    bool strokeStraight(const QPainterPath& path);
    void strokeThroughPainter(const QPainterPath& path);
    void drawShadowOf(const QImage& image, const QRectF& target, double opacity);
    void findBitmap();

    std::optional<QPainter> m_ownPainter;
    QPainter* m_painter;
    double m_scale;
    QPen m_pen;
    std::optional<Shadow> m_shadow;
    // The bitmap the painter paints into, when it is one, and the device
    // pixels its clip leaves open while that clip is a single rectangle.
    QImage* m_bitmap = nullptr;
    std::optional<QRect> m_directClip;
    std::vector<Saved> m_saved;
    const QRegion* m_inked = nullptr;
    BitmapStroker m_stroker;
    // Noted areas not yet added to m_drawn: adding them all at once, in
    // pairs, costs far less than one at a time to a growing region.
    mutable std::vector<QRect> m_drawnPending;
    mutable QRegion m_drawn;
};

} // namespace pendra
