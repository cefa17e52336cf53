#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>

#include <functional>

namespace pendra::art {

class CharmPainter;

// Surfaces whose colour changes from pixel to pixel, such as the bands of an
// agate or the mottling of jade, which no gradient can describe.
class Texture {
public:
    // The colour of the surface at a point of the design.
    using Shader = std::function<QColor(QPointF)>;

    // Fills shape with the shader's colours, worked out for every pixel of the
    // picture it covers, so the texture is as sharp as the picture is large.
    static void paint(CharmPainter& cp, const QPainterPath& shape, const Shader& shader);
};

} // namespace pendra::art
