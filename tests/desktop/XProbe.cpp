// Answers questions about an X display that the usual command-line tools do
// not: the pointer's cursor, a window's input shape, and the stacking of the
// root's children with their override-redirect flags.
//
// usage: pendra-xprobe cursor | input WINDOW | bounding WINDOW | tree | owner SELECTION

#include <xcb/shape.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int cursor(xcb_connection_t* c)
{
    free(xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 5, 0), nullptr));
    auto* reply = xcb_xfixes_get_cursor_image_and_name_reply(c, xcb_xfixes_get_cursor_image_and_name(c), nullptr);
    if (!reply)
        return 1;
    const std::string name(xcb_xfixes_get_cursor_image_and_name_name(reply),
                           std::size_t(xcb_xfixes_get_cursor_image_and_name_name_length(reply)));
    std::printf("%s\n", name.c_str());
    free(reply);
    return 0;
}

int shape(xcb_connection_t* c, xcb_window_t window, xcb_shape_kind_t kind)
{
    auto* reply = xcb_shape_get_rectangles_reply(c, xcb_shape_get_rectangles(c, window, kind), nullptr);
    if (!reply)
        return 1;
    const xcb_rectangle_t* rects = xcb_shape_get_rectangles_rectangles(reply);
    for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(reply); ++i)
        std::printf("%d %d %d %d\n", rects[i].x, rects[i].y, rects[i].width, rects[i].height);
    free(reply);
    return 0;
}

int owner(xcb_connection_t* c, const char* name)
{
    auto* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    if (!atom)
        return 1;
    auto* reply = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr);
    free(atom);
    if (!reply)
        return 1;
    std::printf("%u\n", reply->owner);
    free(reply);
    return 0;
}

int tree(xcb_connection_t* c, xcb_window_t root)
{
    auto* reply = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
    if (!reply)
        return 1;
    const xcb_window_t* children = xcb_query_tree_children(reply);
    for (int i = 0; i < xcb_query_tree_children_length(reply); ++i) {
        auto* a = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr);
        if (!a)
            continue;
        std::printf("%u %d %d %d\n", children[i], a->override_redirect, a->map_state, a->_class);
        free(a);
    }
    free(reply);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: pendra-xprobe cursor | input WINDOW | bounding WINDOW | tree | owner SELECTION\n");
        return 2;
    }
    int screen = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "pendra-xprobe: cannot open the display\n");
        return 1;
    }
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screen; ++i)
        xcb_screen_next(&roots);
    int status = 2;
    if (!std::strcmp(argv[1], "cursor"))
        status = cursor(c);
    else if (!std::strcmp(argv[1], "input") && argc > 2)
        status = shape(c, xcb_window_t(std::strtoul(argv[2], nullptr, 0)), XCB_SHAPE_SK_INPUT);
    else if (!std::strcmp(argv[1], "bounding") && argc > 2)
        status = shape(c, xcb_window_t(std::strtoul(argv[2], nullptr, 0)), XCB_SHAPE_SK_BOUNDING);
    else if (!std::strcmp(argv[1], "owner") && argc > 2)
        status = owner(c, argv[2]);
    else if (!std::strcmp(argv[1], "tree"))
        status = tree(c, roots.data->root);
    xcb_disconnect(c);
    return status;
}
