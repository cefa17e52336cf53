#pragma once

#include <QImage>
#include <QRect>

#include <vector>

namespace pendra {

// The outline of what the rail has drawn, for a window system that cannot
// blend a window with what lies beneath it. Pixels at least half opaque
// belong to the shape and are made fully opaque in their own colour; the
// rest, faint shadows included, are left out. The edges are hard, as every
// shaped window's are, but nothing around the charms hides the desktop.
class AlphaShape {
public:
    struct Span {
        int left = 0;
        int right = 0; // one past the last pixel

        friend bool operator==(const Span&, const Span&) = default;
    };

    static constexpr int threshold = 128;

    // Forgets everything and takes an image of the given height.
    void reset(int height);
    // Re-reads the pixels of area (device pixels) after they were painted,
    // making those inside the shape opaque.
    void update(QImage& image, const QRect& area);
    // The shape as rectangles, rows with equal spans joined.
    std::vector<QRect> rectangles() const;
    const std::vector<Span>& row(int y) const { return m_rows.at(std::size_t(y)); }

private:
    std::vector<std::vector<Span>> m_rows;
};

} // namespace pendra
