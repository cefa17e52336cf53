#include "Preview.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (const std::optional<int> status = pendra::Preview::runIfAsked(argc, argv))
        return *status;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        std::fputs("pendra: no display to hang charms on (DISPLAY is not set)\n", stderr);
        return 1;
    }
    return 0;
}
