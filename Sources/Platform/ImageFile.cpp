#include "ImageFile.h"

#include <QImageReader>

#include <utility>

namespace pendra {

std::optional<QImage> ImageFile::load(const QString& path)
{
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    // Converted in place: a second copy of a large picture is never made.
    return std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace pendra
