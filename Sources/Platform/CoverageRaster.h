#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRgb>

#include <cstdint>
#include <vector>

namespace pendra {

// Fills polygons with one premultiplied colour straight into a premultiplied
// bitmap, antialiased by the exact share of each pixel the shape covers
// (non-zero winding), as QPainter's raster engine fills a path: corners are
// kept to 1/64 of a pixel, the share is truncated to 256ths, and the colour
// is laid over what is there with the painter's rounding.
class CoverageRaster {
public:
    // Starts a new shape; only pixels inside clip are ever touched.
    void begin(const QRect& clip);
    // Outlines in device pixels; every outline is closed on the next moveTo
    // and at the end.
    void moveTo(QPointF to);
    void lineTo(QPointF to);
    // Lays the shape over the bitmap in colour (premultiplied), touching only
    // pixels inside the clip and the bitmap.
    void fill(QImage& bitmap, QRgb colour);

    bool isEmpty() const { return m_edges.empty(); }

private:
    struct Edge {
        float top;
        float bottom;
        float xTop;
        float slope; // x per y
        float sign;
    };

    void addEdge(QPointF from, QPointF to);
    void addClamped(QPointF from, QPointF to);
    void closeOutline();

    QRect m_clip;
    QPointF m_start;
    QPointF m_last;
    bool m_open = false;
    std::vector<Edge> m_edges;
    std::vector<const Edge*> m_active;
    std::vector<float> m_row;
};

} // namespace pendra
