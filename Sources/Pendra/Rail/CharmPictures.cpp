#include "CharmPictures.h"

#include "Host.h"
#include "ParallelLoop.h"

#include <utility>

namespace pendra {

std::optional<QImage> CharmPictures::decode(const Wanted& wanted) const
{
    std::optional<QImage> picture = m_host.loadImage(wanted.path);
    if (!picture || picture->isNull())
        return std::nullopt;
    if (picture->format() != QImage::Format_ARGB32_Premultiplied)
        *picture = std::move(*picture).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (picture->size() != wanted.pixels && !wanted.pixels.isEmpty())
        *picture = picture->scaled(wanted.pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return picture;
}

std::optional<QImage> CharmPictures::find(const Wanted& wanted) const
{
    if (auto kept = m_pictures.constFind(wanted.id); kept != m_pictures.constEnd() && kept->size() == wanted.pixels)
        return *kept;
    return std::nullopt;
}

std::optional<QImage> CharmPictures::picture(const Wanted& wanted)
{
    if (std::optional<QImage> kept = find(wanted))
        return kept;
    std::optional<QImage> made = decode(wanted);
    if (made)
        m_pictures.insert(wanted.id, *made);
    return made;
}

void CharmPictures::load(const std::vector<Wanted>& wanted)
{
    std::vector<const Wanted*> missing;
    QHash<QString, bool> seen;
    for (const Wanted& w : wanted) {
        if (find(w) || seen.contains(w.id))
            continue;
        seen.insert(w.id, true);
        missing.push_back(&w);
    }
    std::vector<std::optional<QImage>> made(missing.size());
    ParallelLoop::run(int(missing.size()), [&](int i) { made[std::size_t(i)] = decode(*missing[std::size_t(i)]); });
    for (std::size_t i = 0; i < missing.size(); ++i) {
        if (made[i])
            m_pictures.insert(missing[i]->id, *made[i]);
    }
}

} // namespace pendra
