// A window of another program, standing for the timetabling program's: opens an
// 800 x 500 window titled "Vestrano", prints its X window id in hexadecimal
// digits without prefix, as the timetabling program passes it, and lives until
// it is killed, when the X server destroys the window.
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main() {
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection)) {
    std::fprintf(stderr, "no X display\n");
    return 1;
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  const xcb_window_t window = xcb_generate_id(connection);
  const std::uint32_t background = screen->white_pixel;
  xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 800, 500, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL,
                    &background);
  const char title[] = "Vestrano";
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING,
                      8, std::strlen(title), title);
  xcb_map_window(connection, window);
  xcb_flush(connection);
  std::printf("%X\n", window);
  std::fflush(stdout);
  while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) std::free(event);
  xcb_disconnect(connection);
  return 0;
}
