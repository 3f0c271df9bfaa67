// Publishes a display profile as colour managers do: the bytes of the file
// named on the command line become the root window's _ICC_PROFILE property
// (8-bit CARDINAL). The property outlives this program.

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: root_profile FILE.icc\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (bytes.empty() || xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "root_profile: no profile or no X display\n");
        return 1;
    }
    static constexpr char kName[] = "_ICC_PROFILE";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof kName - 1, kName), nullptr);
    if (!atom) return 1;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, screen->root, atom->atom, XCB_ATOM_CARDINAL, 8,
                        uint32_t(bytes.size()), bytes.data());
    // Read back before leaving: the reply comes once the server has carried
    // out the change, so a program started next always finds the profile.
    xcb_get_property_reply_t* back = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, screen->root, atom->atom, XCB_ATOM_CARDINAL, 0, 0), nullptr);
    const int failed = !back || back->bytes_after != bytes.size();
    std::free(back);
    std::free(atom);
    xcb_disconnect(connection);
    return failed;
}
