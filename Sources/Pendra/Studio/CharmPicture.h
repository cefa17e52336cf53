#pragma once

#include "Charm.h"

#include <QPixmap>
#include <QWidget>

#include <optional>

namespace pendra {

class AppModel;

// A charm's picture fitted into a side × side square, or a dashed circle when
// the picture cannot be read. The file is read on the first paint, so only
// pictures that come into view are ever decoded.
class CharmPicture : public QWidget {
public:
    CharmPicture(const AppModel& model, const Charm& charm, int side, QWidget* parent = nullptr);

    // Where the picture lives: the catalog's folder joined with the charm's file.
    const QString& path() const { return m_path; }
    int side() const { return m_side; }
    // Whether the picture could be read and decoded.
    bool isLoaded() const;

    // Paints the picture of the file at path into square, scaled to fit and
    // centred, or the placeholder in the given colour.
    static void draw(QPainter& painter, const QRectF& square, const QString& path, const QColor& placeholder);

    // The picture scaled smoothly to fit a square of the given pixel side,
    // kept in a shared cache; none when the file cannot be read or decoded.
    // A picture replaced on disk is read again.
    static std::optional<QPixmap> fitted(const QString& path, int pixelSide);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_path;
    int m_side;
};

} // namespace pendra
