#include "OffscreenHost.h"

#include "ImageFile.h"

namespace pendra {

std::optional<QImage> OffscreenHost::loadImage(const QString& path)
{
    return ImageFile::load(path);
}

} // namespace pendra
