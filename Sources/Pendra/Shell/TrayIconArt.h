#pragma once

#include <QIcon>
#include <QImage>

namespace pendra {

// The tray symbol: a small filled circle inside a ring, drawn for each size a
// panel asks for so that it stays sharp.
class TrayIconArt {
public:
    static QIcon icon();
    // One size, square, with a light symbol edged in a dark halo so that it
    // reads on dark and on light panels alike.
    static QImage image(int size);
};

} // namespace pendra
