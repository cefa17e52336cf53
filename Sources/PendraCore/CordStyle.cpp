#include "CordStyle.h"

namespace pendra::CordStyles {

namespace {

struct Entry {
    CordStyle style;
    const char* raw;
    const char* name;
};

constexpr Entry entries[] = {
    {CordStyle::goldThread, "gold-thread", "Gold Thread"},
    {CordStyle::silverChain, "silver-chain", "Silver Chain"},
    {CordStyle::redThread, "red-thread", "Red Thread"},
    {CordStyle::braid, "braid", "Braided Cord"},
    {CordStyle::leather, "leather", "Leather Strap"},
    {CordStyle::prayerBeads, "prayer-beads", "Prayer Beads"},
    {CordStyle::twine, "twine", "Twine"},
    {CordStyle::blueBeads, "blue-beads", "Blue Beads"},
};

const Entry& entry(CordStyle style)
{
    return entries[static_cast<int>(style)];
}

} // namespace

QString rawValue(CordStyle style)
{
    return QString::fromLatin1(entry(style).raw);
}

QString id(CordStyle style)
{
    return rawValue(style);
}

QString name(CordStyle style)
{
    return QString::fromLatin1(entry(style).name);
}

std::optional<CordStyle> fromRawValue(const QString& raw)
{
    for (const Entry& e : entries) {
        if (raw == QLatin1String(e.raw))
            return e.style;
    }
    return std::nullopt;
}

} // namespace pendra::CordStyles
