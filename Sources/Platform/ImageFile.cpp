#include "ImageFile.h"

#include "PngDecoder.h"

#include <QFile>
#include <QImageReader>

#include <limits>
#include <utility>

namespace pendra {

namespace {

// Files bigger than this are not read whole into memory first; no picture a
// charm would use comes near it.
constexpr qint64 mostWholeFile = 64 << 20;

} // namespace

std::optional<QImage> ImageFile::load(const QString& path)
{
    // The same limit on a picture's memory as the general reader's; none at all
    // when that is switched off.
    const int limitMegabytes = QImageReader::allocationLimit();
    const qsizetype mostBytes =
        limitMegabytes > 0 ? qsizetype(limitMegabytes) << 20 : std::numeric_limits<qsizetype>::max();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.size() <= mostWholeFile) {
        const QByteArray bytes = file.readAll();
        if (std::optional<QImage> quick = PngDecoder::decode(bytes, mostBytes))
            return quick;
    }
    // Everything else, damaged files included, goes to the general reader,
    // which decides what such a file shows.
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    // Converted in place: a second copy of a large picture is never made.
    return std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace pendra
