#pragma once

#include "Preferences.h"

namespace pendra {

// What the model tells the rail after each real change of the settings.
class RailHook {
public:
    virtual ~RailHook() = default;
    virtual void settingsChanged(const Preferences& old) = 0;
};

} // namespace pendra
