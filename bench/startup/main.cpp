// Time from starting vlfonts to its main window being mapped (the X MapNotify event), and the
// process's peak memory. Prints one line: "<ms> <peak kB>". Run under Xvfb with the font
// fixture's environment; run.sh takes the median of 5.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

long peakKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-vlfonts\n", argv[0]);
        return 2;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(argv[1], argv[1], static_cast<char*>(nullptr));
        _exit(127);
    }
    double ms = -1;
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        const uint8_t type = event->response_type & ~0x80;
        if (type == XCB_MAP_NOTIFY) {
            auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (!map->override_redirect) {
                ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                               start)
                         .count();
                free(event);
                break;
            }
        }
        free(event);
    }
    // Let start-up settle so the peak includes the filled list.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const long kb = peakKb(pid);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    std::printf("%.1f %ld\n", ms, kb);
    xcb_disconnect(connection);
    return ms < 0 ? 1 : 0;
}
