#include "platform/linux/x11/x11_window_system.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "platform/failure.h"

namespace harvelo {
namespace {

// xcb hands out replies that the caller frees.
template <typename T>
struct Freed {
  T* reply = nullptr;
  ~Freed() { std::free(reply); }
  T* operator->() const { return reply; }
  explicit operator bool() const { return reply != nullptr; }
};

class X11WindowSystem : public BrowserWindows {
 public:
  X11WindowSystem(xcb_connection_t* connection, xcb_window_t root)
      : connection_(connection),
        root_(root),
        net_active_window_(Atom("_NET_ACTIVE_WINDOW")),
        net_client_list_(Atom("_NET_CLIENT_LIST")),
        net_wm_pid_(Atom("_NET_WM_PID")),
        net_wm_name_(Atom("_NET_WM_NAME")),
        utf8_string_(Atom("UTF8_STRING")),

        net_wm_state_(Atom("_NET_WM_STATE")),
        maximized_vert_(Atom("_NET_WM_STATE_MAXIMIZED_VERT")),
        maximized_horz_(Atom("_NET_WM_STATE_MAXIMIZED_HORZ")) {}

  ~X11WindowSystem() override { xcb_disconnect(connection_); }

  WindowHandle GetForegroundWindow() override {
    const std::vector<std::uint32_t> active = Property(root_, net_active_window_, XCB_ATOM_WINDOW);
    return active.empty() ? 0 : static_cast<WindowHandle>(active[0]);
  }

  bool IsZoomed(WindowHandle window) override {
    bool vertical = false;
    bool horizontal = false;
    for (std::uint32_t state : Property(Window(window), net_wm_state_, XCB_ATOM_ATOM)) {
      vertical = vertical || state == maximized_vert_;
      horizontal = horizontal || state == maximized_horz_;
    }
    return vertical && horizontal;
  }

  bool ShowWindow(WindowHandle window, int command) override {
    Freed<xcb_get_window_attributes_reply_t> attributes{xcb_get_window_attributes_reply(
        connection_, xcb_get_window_attributes(connection_, Window(window)), nullptr)};
    if (!attributes) Fail("no window", window);
    const bool was_visible = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    if (command == SW_MAXIMIZE) {
      xcb_client_message_event_t message{};
      message.response_type = XCB_CLIENT_MESSAGE;
      message.format = 32;
      message.window = Window(window);
      message.type = net_wm_state_;
      message.data.data32[0] = 1;  // add
      message.data.data32[1] = maximized_vert_;
      message.data.data32[2] = maximized_horz_;
      message.data.data32[3] = 1;  // asked for by a normal program
      xcb_send_event(connection_, 0, root_,
                     XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                     reinterpret_cast<const char*>(&message));
      xcb_flush(connection_);
    }
    return was_visible;
  }

  std::int32_t SetWindowLongA(WindowHandle window, int index, std::int32_t value) override {
    if (index != GWL_HWNDPARENT) return 0;
    const std::vector<std::uint32_t> previous =
        Property(Window(window), XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW);
    const xcb_window_t owner = static_cast<xcb_window_t>(value);
    const xcb_void_cookie_t cookie =
        value == 0
            ? xcb_delete_property_checked(connection_, Window(window), XCB_ATOM_WM_TRANSIENT_FOR)
            : xcb_change_property_checked(connection_, XCB_PROP_MODE_REPLACE, Window(window),
                                          XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1,
                                          &owner);
    if (xcb_generic_error_t* error = xcb_request_check(connection_, cookie)) {
      std::free(error);
      Fail("cannot set the owner of window", window);
    }
    return previous.empty() ? 0 : static_cast<std::int32_t>(previous[0]);
  }

  WindowHandle HandleOf(const BrowserWindow& browser_window) override {
    // The browser's windows nearest to its account of the bounds; several when windows
    // lie on top of each other at one size. The window named after the page is taken first,
    // but only for a page that its window shows: a page behind another tab may share its
    // title with the page that a different window shows.
    std::vector<xcb_window_t> nearest;
    std::vector<xcb_window_t> titled;
    const std::string title_prefix = ToUtf8(browser_window.shown_page_title) + " - ";
    long best_distance = std::numeric_limits<long>::max();
    for (std::uint32_t window : Property(root_, net_client_list_, XCB_ATOM_WINDOW)) {
      const std::vector<std::uint32_t> pid = Property(window, net_wm_pid_, XCB_ATOM_CARDINAL);
      if (pid.empty() || pid[0] != browser_window.browser_process) continue;
      if (!browser_window.shown_page_title.empty() && Name(window).starts_with(title_prefix)) {
        titled.push_back(window);
      }
      Freed<xcb_get_geometry_reply_t> geometry{
          xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr)};
      Freed<xcb_translate_coordinates_reply_t> origin{xcb_translate_coordinates_reply(
          connection_, xcb_translate_coordinates(connection_, window, root_, 0, 0), nullptr)};
      if (!geometry || !origin) continue;
      const long distance = std::labs(origin->dst_x - browser_window.left) +
                            std::labs(origin->dst_y - browser_window.top) +
                            std::labs(geometry->width - browser_window.width) +
                            std::labs(geometry->height - browser_window.height);
      if (distance < best_distance) nearest.clear();
      if (distance <= best_distance) {
        best_distance = distance;
        nearest.push_back(window);
      }
    }
    if (titled.size() == 1) return static_cast<WindowHandle>(titled.front());
    if (nearest.empty()) {
      Fail("no window of the browser process",
           static_cast<WindowHandle>(browser_window.browser_process));
    }
    if (nearest.size() > 1 && browser_window.ids_alike) {
      // Both sides number their windows in the order of creation.
      std::sort(nearest.begin(), nearest.end());
      const std::vector<std::int32_t> ids = browser_window.ids_alike();
      const auto rank = std::find(ids.begin(), ids.end(), browser_window.window_id) - ids.begin();
      if (ids.size() == nearest.size() && rank < static_cast<long>(nearest.size())) {
        return static_cast<WindowHandle>(nearest[static_cast<std::size_t>(rank)]);
      }
    }
    return static_cast<WindowHandle>(nearest.front());
  }

 private:
  [[noreturn]] static void Fail(const char* what, WindowHandle number) {
    throw Failure(FromUtf8(std::string("X11: ") + what + " " + std::to_string(number)));
  }

  static xcb_window_t Window(WindowHandle window) { return static_cast<xcb_window_t>(window); }

  xcb_atom_t Atom(std::string_view name) {
    Freed<xcb_intern_atom_reply_t> reply{xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.data()),
        nullptr)};
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  }

  // The window's name as the window manager shows it ("<page title> - Chromium").
  std::string Name(xcb_window_t window) {
    Freed<xcb_get_property_reply_t> reply{xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, net_wm_name_, utf8_string_, 0, 1024),
        nullptr)};
    if (!reply || reply->format != 8) return {};
    return std::string(static_cast<const char*>(xcb_get_property_value(reply.reply)),
                       static_cast<std::size_t>(xcb_get_property_value_length(reply.reply)));
  }

  // A property of 32-bit items; empty when the window or the property is missing.
  std::vector<std::uint32_t> Property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) {
    Freed<xcb_get_property_reply_t> reply{xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, property, type, 0, 4096), nullptr)};
    if (!reply || reply->format != 32) return {};
    const auto* items = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.reply));
    return std::vector<std::uint32_t>(
        items, items + xcb_get_property_value_length(reply.reply) / sizeof(std::uint32_t));
  }

  xcb_connection_t* connection_;
  xcb_window_t root_;
  xcb_atom_t net_active_window_;
  xcb_atom_t net_client_list_;
  xcb_atom_t net_wm_pid_;
  xcb_atom_t net_wm_name_;
  xcb_atom_t utf8_string_;

  xcb_atom_t net_wm_state_;
  xcb_atom_t maximized_vert_;
  xcb_atom_t maximized_horz_;
};

}  // namespace

std::unique_ptr<BrowserWindows> NewX11WindowSystem(const std::string& display) {
  int screen_number = 0;
  xcb_connection_t* connection =
      xcb_connect(display.empty() ? nullptr : display.c_str(), &screen_number);
  if (xcb_connection_has_error(connection)) {
    xcb_disconnect(connection);
    return nullptr;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screen_number && screens.rem > 0; ++i) xcb_screen_next(&screens);
  return std::make_unique<X11WindowSystem>(connection, screens.data->root);
}

bool IsX11Session() {
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* session = std::getenv("XDG_SESSION_TYPE");
  return display && *display && !(wayland && *wayland) &&
         !(session && std::strcmp(session, "wayland") == 0);
}

}  // namespace harvelo
