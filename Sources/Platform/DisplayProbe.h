#pragma once

#include <QString>

namespace pendra {

// Finds out, before any Qt window code runs, whether there is a display to
// show the rail on. Qt would abort the process without one.
class DisplayProbe {
public:
    // Picks the X11 platform unless the user chose one, and checks that its
    // display can be reached. Answers false with a one-line reason otherwise.
    static bool prepare(QString* reason);
};

} // namespace pendra
