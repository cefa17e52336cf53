// Moves the pointer and presses its left button on a headless Wayland
// compositor, the way a mouse would: through wlroots' virtual pointer, or
// KWin's fake input. Commands come one a line on standard input:
//   move X Y     the pointer to a point in the output's logical pixels
//   down | up    the left button
//   sync         answers "ok" once the compositor has seen everything before
// It prints "ready" once it holds a pointer, and ends at the end of input.
//
// usage: pendra-wlpointer WIDTH HEIGHT

#include "fake-input-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <sstream>
#include <string>

namespace {

struct Globals {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* virtualPointers = nullptr;
    org_kde_kwin_fake_input* fakeInput = nullptr;
};

void global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    auto* g = static_cast<Globals*>(data);
    if (!std::strcmp(interface, wl_seat_interface.name) && !g->seat)
        g->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (!std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name))
        g->virtualPointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    else if (!std::strcmp(interface, org_kde_kwin_fake_input_interface.name))
        g->fakeInput = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, version < 4 ? version : 4));
}

void globalRemove(void*, wl_registry*, uint32_t) {}

uint32_t now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return uint32_t(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: pendra-wlpointer WIDTH HEIGHT\n");
        return 2;
    }
    const uint32_t width = uint32_t(std::atoi(argv[1]));
    const uint32_t height = uint32_t(std::atoi(argv[2]));
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "pendra-wlpointer: no compositor\n");
        return 1;
    }
    Globals g;
    static const wl_registry_listener listener = {global, globalRemove};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &g);
    wl_display_roundtrip(display);

    zwlr_virtual_pointer_v1* pointer = nullptr;
    if (g.virtualPointers) {
        pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(g.virtualPointers, g.seat);
    } else if (g.fakeInput) {
        org_kde_kwin_fake_input_authenticate(g.fakeInput, "pendra tests", "drives the pointer in a test");
    } else {
        std::fprintf(stderr, "pendra-wlpointer: the compositor offers no virtual pointer\n");
        return 1;
    }
    wl_display_roundtrip(display);
    std::printf("ready\n");
    std::fflush(stdout);

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command == "move") {
            double x = 0, y = 0;
            words >> x >> y;
            if (pointer) {
                zwlr_virtual_pointer_v1_motion_absolute(pointer, now(), uint32_t(x), uint32_t(y), width, height);
                zwlr_virtual_pointer_v1_frame(pointer);
            } else {
                org_kde_kwin_fake_input_pointer_motion_absolute(g.fakeInput, wl_fixed_from_double(x),
                                                                wl_fixed_from_double(y));
            }
        } else if (command == "down" || command == "up") {
            const uint32_t state = command == "down" ? WL_POINTER_BUTTON_STATE_PRESSED
                                                     : WL_POINTER_BUTTON_STATE_RELEASED;
            if (pointer) {
                zwlr_virtual_pointer_v1_button(pointer, now(), 0x110, state);
                zwlr_virtual_pointer_v1_frame(pointer);
            } else {
                org_kde_kwin_fake_input_button(g.fakeInput, 0x110, state);
            }
        } else if (command == "sync") {
            wl_display_roundtrip(display);
            std::printf("ok\n");
            std::fflush(stdout);
            continue;
        }
        if (wl_display_flush(display) < 0)
            return 1;
    }
    if (pointer)
        zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
