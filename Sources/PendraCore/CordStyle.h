#pragma once

#include <QString>

#include <array>
#include <optional>

namespace pendra {

// The eight cord looks, in the order the studio offers them.
enum class CordStyle {
    goldThread,
    silverChain,
    redThread,
    braid,
    leather,
    prayerBeads,
    twine,
    blueBeads,
};

namespace CordStyles {

inline constexpr std::array<CordStyle, 8> allCases = {
    CordStyle::goldThread, CordStyle::silverChain, CordStyle::redThread, CordStyle::braid,
    CordStyle::leather, CordStyle::prayerBeads, CordStyle::twine, CordStyle::blueBeads,
};

// The text stored in the settings record; also the style's id.
QString rawValue(CordStyle style);
QString id(CordStyle style);
QString name(CordStyle style);
// Exact, case-sensitive match of a raw value.
std::optional<CordStyle> fromRawValue(const QString& raw);

} // namespace CordStyles

} // namespace pendra
