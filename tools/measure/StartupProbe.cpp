// ludex-startup-probe: how long the program takes from its start until its
// main window is on the screen, fully painted.
//   ludex-startup-probe PROGRAM [RUNS]
// Run it on an X server (Xvfb will do). Each run starts PROGRAM, watches
// the root window for the window named "Ludex" to be mapped, then reads
// the window's pixels every millisecond; the time of a run is the first
// moment its pixels equal what they finally settle to (read after a
// second of rest). The program is then ended with SIGTERM. Prints each run
// and the median, in milliseconds.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

struct TFree {
  void operator()(void* pointer) const { std::free(pointer); }
};
template <class T>
using TReply = std::unique_ptr<T, TFree>;

std::string WindowName(xcb_connection_t* connection, xcb_window_t window) {
  const xcb_get_property_cookie_t cookie =
      xcb_get_property(connection, 0, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 0, 64);
  TReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr));
  if (!reply) return {};
  const int length = xcb_get_property_value_length(reply.get());
  return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
}

std::vector<std::uint8_t> Pixels(xcb_connection_t* connection, xcb_window_t window) {
  const xcb_get_geometry_cookie_t geometryCookie = xcb_get_geometry(connection, window);
  TReply<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(connection, geometryCookie, nullptr));
  if (!geometry) return {};
  const xcb_get_image_cookie_t cookie = xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window,
                                                      0, 0, geometry->width, geometry->height, ~0u);
  TReply<xcb_get_image_reply_t> image(xcb_get_image_reply(connection, cookie, nullptr));
  if (!image) return {};
  const std::uint8_t* data = xcb_get_image_data(image.get());
  return std::vector<std::uint8_t>(data, data + xcb_get_image_data_length(image.get()));
}

// Waits for a top-level window named "Ludex" to be mapped.
xcb_window_t WaitForMain(xcb_connection_t* connection, TClock::time_point deadline) {
  while (TClock::now() < deadline) {
    TReply<xcb_generic_event_t> event(xcb_poll_for_event(connection));
    if (!event) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      continue;
    }
    if ((event->response_type & 0x7F) != XCB_MAP_NOTIFY) continue;
    const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event.get());
    if (WindowName(connection, map->window) == "Ludex") return map->window;
  }
  return XCB_WINDOW_NONE;
}

double MeasureOnce(xcb_connection_t* connection, xcb_window_t root, const char* program) {
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(connection);
  char* argv[] = {const_cast<char*>(program), nullptr};
  pid_t pid = 0;
  const TClock::time_point start = TClock::now();
  if (::posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) return -1;
  const xcb_window_t window = WaitForMain(connection, start + std::chrono::seconds(30));
  std::vector<std::pair<double, std::vector<std::uint8_t>>> frames;
  if (window != XCB_WINDOW_NONE) {
    const TClock::time_point settle = TClock::now() + std::chrono::milliseconds(1000);
    while (TClock::now() < settle) {
      const double at = std::chrono::duration<double, std::milli>(TClock::now() - start).count();
      frames.emplace_back(at, Pixels(connection, window));
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  ::kill(pid, SIGTERM);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (frames.empty()) return -1;
  const std::vector<std::uint8_t>& final = frames.back().second;
  for (const auto& [at, pixels] : frames) {
    if (pixels == final) return at;
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: ludex-startup-probe PROGRAM [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection)) {
    std::fprintf(stderr, "ludex-startup-probe: no X display\n");
    return 2;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    const double ms = MeasureOnce(connection, root, argv[1]);
    std::printf("run %d: %.1f ms\n", run + 1, ms);
    if (ms >= 0) times.push_back(ms);
  }
  xcb_disconnect(connection);
  if (times.empty()) return 1;
  std::sort(times.begin(), times.end());
  std::printf("median: %.1f ms over %zu runs\n", times[times.size() / 2], times.size());
  return 0;
}
