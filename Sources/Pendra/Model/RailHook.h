#pragma once

#include "Preferences.h"

namespace pendra {

// The rail as the model and the menus see it: told after each real change of
// the settings, and asked to swing every charm.
class RailHook {
public:
    virtual ~RailHook() = default;
    virtual void settingsChanged(const Preferences& old) = 0;
    virtual void swingAll(double strength) = 0;
};

} // namespace pendra
