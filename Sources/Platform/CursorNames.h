#pragma once

#include "Host.h"

#include <array>
#include <span>

namespace pendra {

// The names cursor themes know each pointer shape by: the common name first
// (it is also how the rail labels its cursors), then older or newer ones.
inline std::span<const char* const> cursorNames(CursorShape shape)
{
    static constexpr std::array<const char*, 2> arrow = {"left_ptr", "default"};
    static constexpr std::array<const char*, 3> openHand = {"openhand", "grab", "hand1"};
    static constexpr std::array<const char*, 3> closedHand = {"closedhand", "grabbing", "fleur"};
    static constexpr std::array<const char*, 3> resize = {"sb_h_double_arrow", "ew-resize", "col-resize"};
    switch (shape) {
    case CursorShape::openHand:
        return openHand;
    case CursorShape::closedHand:
        return closedHand;
    case CursorShape::resizeLeftRight:
        return resize;
    case CursorShape::arrow:
        break;
    }
    return arrow;
}

} // namespace pendra
