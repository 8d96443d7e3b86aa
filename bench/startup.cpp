// vesmar-startup: start-up time and memory of programs on an X server of
// their own (run it under xvfb-run, with no window manager):
//
//   vesmar-startup RUNS PROGRAM [PROGRAM...]
//
// starts each program in turn, RUNS times round (after one round that is
// not counted: the font and file caches), and for each start measures the
// time from the start to the first top-level window mapped, then, half a
// second later, the program's private memory (Private_Clean + Private_Dirty
// of /proc/PID/smaps_rollup, and Private_Dirty alone), its shared objects
// (distinct *.so files in /proc/PID/maps) and whether a sound library is
// among them; then kills it. Prints the median of each per program, and the
// fastest start. The programs take turns so that a machine busy with other
// work slows them alike. Each start gets an empty
// VESMAR_HOME: no recovery file from the run before asks a question.
//
// Linux only (the /proc files and fork/exec), like the X server it needs.
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Start {
    double ms = -1;
    long privateKb = -1;
    long dirtyKb = -1;
    int sharedObjects = 0;
    bool sound = false;
};

// Private_Clean + Private_Dirty, and Private_Dirty alone. A library's clean
// pages count as private while no other process maps them, so on a machine
// where other programs of the toolkit run the first figure drifts; the
// second (heap, written data) does not.
std::pair<long, long> privateKb(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string line;
    long clean = 0, dirty = 0;
    while (std::getline(in, line)) {  // after a first line naming the range: "Key:   123 kB"
        std::istringstream fields(line);
        std::string key;
        long kb = 0;
        if (!(fields >> key >> kb)) continue;
        if (key == "Private_Clean:") clean += kb;
        if (key == "Private_Dirty:") dirty += kb;
    }
    return {clean + dirty, dirty};
}

// The distinct shared objects mapped, and whether a sound library is one.
std::pair<int, bool> sharedObjects(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/maps");
    std::set<std::string> files;
    std::string line;
    while (std::getline(in, line)) {
        const auto slash = line.find('/');
        if (slash == std::string::npos) continue;
        const std::string path = line.substr(slash);
        if (path.find(".so") != std::string::npos) files.insert(path);
    }
    bool sound = false;
    for (const std::string& f : files)
        for (const char* lib : {"libQt6Multimedia", "libpulse", "libsndfile", "libasound"})
            if (f.find(lib) != std::string::npos) sound = true;
    return {int(files.size()), sound};
}

// Waits up to `ms` for a top-level window to be mapped; false on time-out.
bool waitForMap(xcb_connection_t* c, int ms) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            const bool mapped = (e->response_type & 0x7f) == XCB_MAP_NOTIFY &&
                                !reinterpret_cast<xcb_map_notify_event_t*>(e)->override_redirect;
            std::free(e);
            if (mapped) return true;
        }
        pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
        poll(&p, 1, 5);
    }
    return false;
}

Start startOnce(xcb_connection_t* c, const std::string& program) {
    char home[] = "/tmp/vesmar-startup.XXXXXX";
    if (!mkdtemp(home)) return {};
    while (xcb_generic_event_t* e = xcb_poll_for_event(c)) std::free(e);  // what came before
    const auto t0 = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("VESMAR_HOME", home, 1);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    Start s;
    if (pid > 0 && waitForMap(c, 60000)) {
        s.ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        usleep(500 * 1000);
        std::tie(s.privateKb, s.dirtyKb) = privateKb(pid);
        std::tie(s.sharedObjects, s.sound) = sharedObjects(pid);
    }
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return s;
}

template <typename T>
T median(std::vector<T> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? T() : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s RUNS PROGRAM [PROGRAM...]   (under xvfb-run)\n", argv[0]);
        return 2;
    }
    const int runs = std::max(1, std::min(1000, std::atoi(argv[1])));
    std::vector<std::string> programs(argv + 2, argv + argc);
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X server (run under xvfb-run)\n");
        return 2;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    std::vector<std::vector<Start>> starts(programs.size());
    for (int round = 0; round <= runs; ++round)
        for (size_t i = 0; i < programs.size(); ++i) {
            const Start s = startOnce(c, programs[i]);
            if (s.ms < 0) {
                std::fprintf(stderr, "%s showed no window\n", programs[i].c_str());
                return 1;
            }
            if (round > 0) starts[i].push_back(s);  // round 0 warms the caches
        }
    std::printf("%-32s %10s %10s %11s %9s %5s %6s\n", "program (median of runs)", "window ms", "(fastest)",
                "private KB", "dirty KB", ".so", "sound");
    for (size_t i = 0; i < programs.size(); ++i) {
        std::vector<double> ms;
        std::vector<long> kb, dirty;
        std::vector<int> so;
        bool sound = false;
        for (const Start& s : starts[i]) {
            ms.push_back(s.ms);
            kb.push_back(s.privateKb);
            dirty.push_back(s.dirtyKb);
            so.push_back(s.sharedObjects);
            sound = sound || s.sound;
        }
        std::printf("%-32s %10.1f %10.1f %11ld %9ld %5d %6s\n", programs[i].c_str(), median(ms),
                    *std::min_element(ms.begin(), ms.end()), median(kb), median(dirty), median(so),
                    sound ? "yes" : "no");
    }
    xcb_disconnect(c);
    return 0;
}
