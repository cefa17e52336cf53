#pragma once

#include <QImage>
#include <QString>

#include <optional>

namespace pendra {

// Pictures read from disk the way every host hands them out: premultiplied,
// ready to draw; none when the file is missing or not a picture.
class ImageFile {
public:
    static std::optional<QImage> load(const QString& path);
};

} // namespace pendra
