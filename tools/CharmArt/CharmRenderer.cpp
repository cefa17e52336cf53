#include "CharmRenderer.h"

#include "CharmPainter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace pendra::art {

CharmRenderer::Result CharmRenderer::render(const CharmDesign& design)
{
    const QSize size(static_cast<int>(std::ceil(design.canvas.width())) + 2 * kBleed,
        static_cast<int>(std::ceil(design.canvas.height())) + 2 * kBleed);
    QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);

    QPointF hook;
    {
        QPainter painter(&canvas);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.translate(kBleed, kBleed);
        CharmPainter charmPainter(painter);
        hook = design.draw(charmPainter) + QPointF(kBleed, kBleed);
    }

    Result result;
    const QRect painted = paintedArea(canvas);
    const QRect inner = canvas.rect().adjusted(1, 1, -1, -1);
    result.clipped = painted.isEmpty() || !inner.contains(painted);
    const QRect kept = painted.adjusted(-kMargin, -kMargin, kMargin, kMargin).intersected(canvas.rect());
    result.image = canvas.copy(kept);
    result.hook = QPointF((hook.x() - kept.left()) / kept.width(), (hook.y() - kept.top()) / kept.height());
    return result;
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
