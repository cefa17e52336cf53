#include "CharmPicture.h"

#include "AppModel.h"
#include "StudioStyle.h"
#include "Symbols.h"

#include <QCache>
#include <QDateTime>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <memory>

namespace pendra {

namespace {

struct Entry {
    std::optional<QPixmap> pixmap;
};

// Pictures are kept by path, size and modification time, up to about 48 MB.
QCache<QString, Entry>& cache()
{
    static QCache<QString, Entry> pictures(48 * 1024 * 1024);
    return pictures;
}

} // namespace

CharmPicture::CharmPicture(const AppModel& model, const Charm& charm, int side, QWidget* parent)
    : QWidget(parent), m_path(model.catalog().picture(charm)), m_side(side)
{
    Q_ASSERT(side > 0);
    setFixedSize(side, side);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

bool CharmPicture::isLoaded() const
{
    return fitted(m_path, m_side).has_value();
}

QSize CharmPicture::sizeHint() const
{
    return QSize(m_side, m_side);
}

std::optional<QPixmap> CharmPicture::fitted(const QString& path, int pixelSide)
{
    if (pixelSide < 1)
        return std::nullopt;
    const QFileInfo info(path);
    const QString key = QStringLiteral("%1|%2|%3")
                            .arg(path)
                            .arg(pixelSide)
                            .arg(info.exists() ? info.lastModified().toMSecsSinceEpoch() : -1);
    if (const Entry* entry = cache().object(key))
        return entry->pixmap;

    auto entry = std::make_unique<Entry>();
    QImage image;
    if (info.isFile() && image.load(path) && !image.isNull()) {
        const QImage scaled = image.scaled(pixelSide, pixelSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        entry->pixmap = QPixmap::fromImage(scaled);
    }
    std::optional<QPixmap> result = entry->pixmap;
    const qsizetype cost = result ? qsizetype(result->width()) * result->height() * 4 : 64;
    cache().insert(key, entry.release(), cost);
    return result;
}

void CharmPicture::draw(QPainter& painter, const QRectF& square, const QString& path, const QColor& placeholder)
{
    const double density = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const int pixelSide = int(std::lround(std::min(square.width(), square.height()) * density));
    const std::optional<QPixmap> pixmap = fitted(path, pixelSide);
    if (!pixmap) {
        Symbols::dashedCircle(painter, square, placeholder);
        return;
    }
    const QSizeF size(pixmap->width() / density, pixmap->height() / density);
    const QRectF target(square.center().x() - size.width() / 2, square.center().y() - size.height() / 2,
                        size.width(), size.height());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawPixmap(target, *pixmap, QRectF(pixmap->rect()));
    painter.restore();
}

void CharmPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    draw(painter, QRectF(rect()), m_path, StudioStyle::tertiary(palette()));
}

} // namespace pendra
