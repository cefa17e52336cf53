#include "ImageFile.h"

#include <QImageReader>

namespace pendra {

std::optional<QImage> ImageFile::load(const QString& path)
{
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace pendra
