#pragma once

#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

namespace pendra {

class Host;

// The rail's picture cache: each charm's picture decoded through the host and
// kept only at the pixel size it is drawn at, the full-size picture dropped
// as soon as it is scaled. Pictures that fail to load are not remembered, so
// the next request tries again.
class CharmPictures {
public:
    struct Wanted {
        QString id;
        QString path;
        QSize pixels;
    };

    explicit CharmPictures(Host& host) : m_host(host) {}

    // The picture at that size, decoded now when it is not kept at that size.
    std::optional<QImage> picture(const Wanted& wanted);
    // The picture when it is kept at that size; nothing is decoded.
    std::optional<QImage> find(const Wanted& wanted) const;
    // Decodes every wanted picture not kept at its size, several at once.
    void load(const std::vector<Wanted>& wanted);

    int kept() const { return int(m_pictures.size()); }
    void clear() { m_pictures.clear(); }

private:
    std::optional<QImage> decode(const Wanted& wanted) const;

    Host& m_host;
    QHash<QString, QImage> m_pictures;
};

} // namespace pendra
