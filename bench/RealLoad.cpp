#include "RealLoad.h"

#include "Process.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct XcbClose {
    void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};

// Watches the root window for its children being mapped. It stays connected for all runs: the
// X server resets when its last client leaves.
class MapWatch {
public:
    MapWatch() : FConnection(xcb_connect(nullptr, nullptr)) {
        if (!FConnection || xcb_connection_has_error(FConnection.get()))
            return;
        FRoot = xcb_setup_roots_iterator(xcb_get_setup(FConnection.get())).data->root;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        const xcb_void_cookie_t cookie = xcb_change_window_attributes_checked(
            FConnection.get(), FRoot, XCB_CW_EVENT_MASK, &mask);
        xcb_generic_error_t* error = xcb_request_check(FConnection.get(), cookie);
        FReady = error == nullptr;
        std::free(error);
    }
    bool Ready() const { return FReady; }
    // Waits for the next top-level window to be mapped; false when the connection is lost.
    bool NextMap() {
        while (xcb_generic_event_t* event = xcb_wait_for_event(FConnection.get())) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY &&
                                reinterpret_cast<xcb_map_notify_event_t*>(event)->event == FRoot;
            std::free(event);
            if (mapped)
                return true;
        }
        return false;
    }

private:
    std::unique_ptr<xcb_connection_t, XcbClose> FConnection;
    xcb_window_t FRoot = 0;
    bool FReady = false;
};

// Seconds from starting the player until a top-level window of it is mapped; -1 on failure.
// Without a window manager the map request goes straight through, and the player maps its main
// window only once the scene on its command line is loaded.
double TimeToMap(MapWatch& watch, const std::string& player, const std::string& scene,
                 const std::string& log) {

    std::vector<char*> args = {const_cast<char*>(player.c_str())};
    if (!scene.empty())
        args.push_back(const_cast<char*>(scene.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    const auto start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, player.c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;

    double seconds = -1;
    if (watch.NextMap())
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
    kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return seconds;
}

} // namespace

int RealLoadProbe(const std::string& player, const std::string& scene, int width, int height,
                  int frames, int runs, const std::string& log) {
    const std::vector<std::string> ffmpeg = {"ffmpeg", "-v", "error",    "-i",
                                             scene,    "-f", "rawvideo", "-pix_fmt",
                                             "bgra",   "-y", "/dev/null"};
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) < 0)
        return 1;
    const std::vector<std::string> touch = {self, "--touch",
                                            std::to_string(width) + "x" + std::to_string(height),
                                            "--frames", std::to_string(frames)};
    MapWatch watch;
    if (!watch.Ready())
        return 1;
    std::vector<double> withScene, empty, decode, touched;
    // One untimed round first: page cache, shared libraries, fonts, the X server's first client.
    for (int run = -1; run < runs; ++run) {
        double s = 0, e = 0;
        // Alternate the order, so drifts in the machine's load hit every kind alike.
        if (run % 2 == 0) {
            s = TimeToMap(watch, player, scene, log);
            e = TimeToMap(watch, player, {}, log);
        } else {
            e = TimeToMap(watch, player, {}, log);
            s = TimeToMap(watch, player, scene, log);
        }
        const RunResult f = Run(ffmpeg, {}, log);
        const RunResult t = Run(touch, {}, log);
        char line[256];
        std::snprintf(line, sizeof line, "real load %s: scene=%.4f empty=%.4f ffmpeg=%.4f %s",
                      scene.c_str(), s, e, f.wall, t.out.c_str());
        if (std::FILE* l = std::fopen(log.c_str(), "a")) {
            std::fputs(line, l);
            std::fclose(l);
        }
        if (s < 0 || e < 0 || f.status != 0 || t.status != 0)
            return 1;
        if (run < 0)
            continue;
        withScene.push_back(s);
        empty.push_back(e);
        decode.push_back(f.wall);
        touched.push_back(Field(t.out, "touch"));
    }
    std::printf("scene=%.6f empty=%.6f ffmpeg=%.6f touch=%.6f\n", Median(withScene), Median(empty),
                Median(decode), Median(touched));
    return 0;
}

int TouchProbe(int width, int height, int frames) {
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    std::vector<void*> kept;
    const auto start = Clock::now();
    for (int i = 0; i < frames; ++i) {
        void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            return 1;
        madvise(p, bytes, MADV_POPULATE_WRITE);
        std::memset(p, 0x80 + (i & 0x3f), bytes);
        kept.push_back(p);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("touch=%.6f\n", seconds);
    for (void* p : kept)
        munmap(p, bytes);
    return 0;
}
