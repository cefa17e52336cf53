#include "CharmRenderer.h"

#include "CharmPainter.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace pendra::art {

CharmRenderer::Result CharmRenderer::render(const CharmDesign& design)
{
    // Designs are drawn in their own units; a first pass measures how tall
    // the charm comes out, and the second draws it again enlarged so that
    // every picture has the same height in pixels.
    const Pass measure = paint(design, 1.0);
    const QRect measured = paintedArea(measure.canvas);
    Result result;
    if (measured.isEmpty()) {
        result.clipped = true;
        return result;
    }
    const double scale = double(kHeight - 2 * kMargin) / double(measured.height());
    const Pass pass = paint(design, scale);
    const QRect painted = paintedArea(pass.canvas);
    const QRect inner = pass.canvas.rect().adjusted(1, 1, -1, -1);
    result.clipped = painted.isEmpty() || !inner.contains(painted) || !inner.contains(measured);

    // The height is fixed exactly; antialiasing may have made the charm a
    // pixel taller or shorter than planned, which the margin absorbs.
    QRect kept = painted.adjusted(-kMargin, -kMargin, kMargin, kMargin);
    kept.setTop(kept.top() - (kHeight - kept.height()) / 2);
    kept.setHeight(kHeight);
    result.image = pass.canvas.copy(kept);
    result.hook = QPointF((pass.hook.x() - kept.left()) / kept.width(), (pass.hook.y() - kept.top()) / kept.height());
    return result;
}

CharmRenderer::Pass CharmRenderer::paint(const CharmDesign& design, double scale)
{
    const QSize size(static_cast<int>(std::ceil(design.canvas.width() * scale)) + 2 * kBleed,
        static_cast<int>(std::ceil(design.canvas.height() * scale)) + 2 * kBleed);
    QImage deep(size, CharmPainter::kDepth);
    deep.fill(Qt::transparent);
    Pass pass;
    {
        QPainter painter(&deep);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.translate(kBleed, kBleed);
        painter.scale(scale, scale);
        const QTransform toCanvas = painter.transform();
        CharmPainter charmPainter(painter);
        pass.hook = toCanvas.map(design.draw(charmPainter));
    }
    pass.canvas = deep.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return pass;
}

QRect CharmRenderer::paintedArea(const QImage& image)
{
    int left = image.width();
    int right = -1;
    int top = image.height();
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace pendra::art
