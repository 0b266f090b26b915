// Launch to first painted frame of the real program, seen from outside.
//
// For each launch the clock (CLOCK_MONOTONIC) is read and the program
// spawned; then, once a millisecond, this asks the X server for the
// program's top-level window (title "Kelvara", _NET_WM_PID the child's) and,
// once that window is viewable, for one pixel of the generator panel at
// window pixel (60, 140). The first frame has been painted when that pixel
// has the panel's colour RGB(192, 255, 192). The program is not changed for
// this and cannot tell that it is watched.
//
// With --probe, kelvara_first_frame_probe (the same start-up, with
// timestamps taken inside) is launched the same way after each launch of
// the program: its pixel is watched as well, and it reports when main()
// was entered, the application made, the window built, shown, first painted
// and flushed, so that the outside figure can be split into its steps.
//
// Usage: kelvara_bench_first_frame APP [--probe PROBE] [--launches N] [--json PATH]
// Needs DISPLAY; run the programs with QT_QPA_PLATFORM=xcb.

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kPixelX = 60; // inside the generator panel
constexpr int kPixelY = 140;
constexpr std::uint32_t kPanelRgb = 0xC0FFC0; // RGB(192, 255, 192) as 0xRRGGBB
constexpr double kFirstFrameTargetMs = 150;
constexpr std::int64_t kTimeoutNs = 20'000'000'000;
constexpr std::int64_t kPollNs = 1'000'000;
constexpr long kPeakRssTargetKb = 60L * 1024;

std::int64_t MonotonicNs() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void SleepNs(std::int64_t ns) {
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
    ts.tv_nsec = static_cast<long>(ns % 1'000'000'000);
    ::clock_nanosleep(CLOCK_MONOTONIC, 0, &ts, nullptr);
}

double Median(std::vector<double> v) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Replies of xcb are malloc'ed and freed with free().
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

class XServer {
public:
    XServer() {
        int screenNumber = 0;
        conn_ = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(conn_) != 0) {
            return;
        }
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(conn_));
        for (int i = 0; i < screenNumber && it.rem > 0; ++i) {
            xcb_screen_next(&it);
        }
        root_ = it.data->root;
        pidAtom_ = Atom("_NET_WM_PID");
        ok_ = true;
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    XServer(XServer&&) = delete;
    XServer& operator=(XServer&&) = delete;
    ~XServer() { xcb_disconnect(conn_); }

    [[nodiscard]] bool Ok() const { return ok_; }

    // The viewable top-level window titled "Kelvara" that process `pid`
    // owns, or 0.
    xcb_window_t FindWindow(pid_t pid) {
        const Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(conn_, xcb_query_tree(conn_, root_), nullptr));
        if (!tree) {
            return 0;
        }
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        const int count = xcb_query_tree_children_length(tree.get());
        // Ask about every child first, then read the answers: one round trip.
        std::vector<xcb_get_window_attributes_cookie_t> attrs;
        std::vector<xcb_get_property_cookie_t> pids;
        std::vector<xcb_get_property_cookie_t> names;
        for (int i = 0; i < count; ++i) {
            attrs.push_back(xcb_get_window_attributes(conn_, children[i]));
            pids.push_back(
                xcb_get_property(conn_, 0, children[i], pidAtom_, XCB_ATOM_CARDINAL, 0, 1));
            names.push_back(xcb_get_property(conn_, 0, children[i], XCB_ATOM_WM_NAME,
                                             XCB_GET_PROPERTY_TYPE_ANY, 0, 64));
        }
        xcb_window_t found = 0;
        for (std::size_t i = 0; i < attrs.size(); ++i) {
            const Reply<xcb_get_window_attributes_reply_t> a(
                xcb_get_window_attributes_reply(conn_, attrs[i], nullptr));
            const Reply<xcb_get_property_reply_t> p(
                xcb_get_property_reply(conn_, pids[i], nullptr));
            const Reply<xcb_get_property_reply_t> n(
                xcb_get_property_reply(conn_, names[i], nullptr));
            if (found != 0 || !a || !p || !n || a->map_state != XCB_MAP_STATE_VIEWABLE ||
                xcb_get_property_value_length(p.get()) != 4) {
                continue;
            }
            std::uint32_t owner = 0;
            std::memcpy(&owner, xcb_get_property_value(p.get()), sizeof owner);
            const std::string_view title(
                static_cast<const char*>(xcb_get_property_value(n.get())),
                static_cast<std::size_t>(xcb_get_property_value_length(n.get())));
            if (owner == static_cast<std::uint32_t>(pid) && title == "Kelvara") {
                found = children[static_cast<std::size_t>(i)];
            }
        }
        return found;
    }

    // True if the window shows the generator panel's colour at the probe pixel.
    bool PanelPainted(xcb_window_t w) {
        const Reply<xcb_get_image_reply_t> img(xcb_get_image_reply(
            conn_, xcb_get_image(conn_, XCB_IMAGE_FORMAT_Z_PIXMAP, w, kPixelX, kPixelY, 1, 1, ~0U),
            nullptr));
        if (!img || img->depth < 24 || xcb_get_image_data_length(img.get()) < 4) {
            return false;
        }
        std::uint32_t pixel = 0;
        std::memcpy(&pixel, xcb_get_image_data(img.get()), sizeof pixel);
        return (pixel & 0xFFFFFFU) == kPanelRgb;
    }

    // True while the window still exists on the server.
    bool Exists(xcb_window_t w) {
        const Reply<xcb_get_window_attributes_reply_t> a(
            xcb_get_window_attributes_reply(conn_, xcb_get_window_attributes(conn_, w), nullptr));
        return a != nullptr;
    }

private:
    xcb_atom_t Atom(const char* name) {
        const Reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(
            conn_, xcb_intern_atom(conn_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr));
        return r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }

    xcb_connection_t* conn_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_atom_t pidAtom_ = 0;
    bool ok_ = false;
};

struct Launch {
    bool ok = false;
    double mappedMs = 0; // the window found viewable
    double frameMs = 0;  // the panel's colour seen
    long hwmKb = -1;     // 300 ms after the first frame
    long rssKb = -1;
    std::string report; // the probe's own line
};

long StatusField(pid_t pid, const char* name) {
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    std::FILE* f = std::fopen(path.c_str(), "r");
    if (f == nullptr) {
        return -1;
    }
    std::array<char, 256> line{};
    long value = -1;
    while (std::fgets(line.data(), static_cast<int>(line.size()), f) != nullptr) {
        if (std::strncmp(line.data(), name, std::strlen(name)) == 0) {
            value = std::strtol(line.data() + std::strlen(name), nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return value;
}

// Reads what the child has written to `fd` until a newline or the deadline.
std::string ReadLine(int fd, std::int64_t deadlineNs) {
    std::string out;
    while (out.find('\n') == std::string::npos) {
        const std::int64_t left = deadlineNs - MonotonicNs();
        if (left <= 0) {
            break;
        }
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left / 1'000'000) + 1) <= 0) {
            break;
        }
        std::array<char, 512> buf{};
        const ssize_t n = ::read(fd, buf.data(), buf.size());
        if (n <= 0) {
            break;
        }
        out.append(buf.data(), static_cast<std::size_t>(n));
    }
    if (const auto nl = out.find('\n'); nl != std::string::npos) {
        out.resize(nl);
    }
    return out;
}

Launch LaunchOnce(XServer& x, const std::string& exe, bool probe) {
    Launch r;
    std::array<int, 2> pipeFds{-1, -1};
    if (probe && ::pipe2(pipeFds.data(), O_CLOEXEC) != 0) {
        return r;
    }
    posix_spawn_file_actions_t actions{};
    posix_spawn_file_actions_init(&actions);
    if (probe) {
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    }

    const std::int64_t t0 = MonotonicNs();
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        env.emplace_back(*e);
    }
    env.push_back("KELVARA_LAUNCH_NS=" + std::to_string(t0));
    std::vector<char*> envp;
    envp.reserve(env.size() + 1);
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::string exeArg = exe;
    std::array<char*, 2> argv{exeArg.data(), nullptr};

    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(),
                                      probe ? envp.data() : environ);
    posix_spawn_file_actions_destroy(&actions);
    if (probe) {
        ::close(pipeFds[1]);
    }
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", exe.c_str(), std::strerror(spawned));
        if (probe) {
            ::close(pipeFds[0]);
        }
        return r;
    }

    xcb_window_t window = 0;
    bool exited = false;
    for (;;) {
        const std::int64_t now = MonotonicNs();
        if (now - t0 > kTimeoutNs) {
            std::fprintf(stderr, "%s: no painted window after %lld s\n", exe.c_str(),
                         static_cast<long long>(kTimeoutNs / 1'000'000'000));
            break;
        }
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "%s ended before its first frame (status %d)\n", exe.c_str(),
                         status);
            exited = true;
            break;
        }
        if (window == 0) {
            window = x.FindWindow(pid);
            if (window != 0) {
                r.mappedMs = static_cast<double>(MonotonicNs() - t0) / 1e6;
            }
        }
        if (window != 0 && x.PanelPainted(window)) {
            r.frameMs = static_cast<double>(MonotonicNs() - t0) / 1e6;
            r.ok = true;
            break;
        }
        SleepNs(kPollNs);
    }

    if (r.ok && probe) {
        r.report = ReadLine(pipeFds[0], MonotonicNs() + 3'000'000'000);
    }
    if (r.ok && !probe) {
        SleepNs(300'000'000);
        r.hwmKb = StatusField(pid, "VmHWM:");
        r.rssKb = StatusField(pid, "VmRSS:");
    }
    if (probe) {
        ::close(pipeFds[0]);
    }
    if (!exited) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
    // The next launch must not find this one's window still on the screen.
    const std::int64_t gone = MonotonicNs() + 2'000'000'000;
    while (window != 0 && x.Exists(window) && MonotonicNs() < gone) {
        SleepNs(kPollNs);
    }
    return r;
}

// The probe's report: "main A app B built C shown D paint E frame F".
std::vector<double> ParseReport(const std::string& line) {
    std::vector<double> v;
    const char* p = line.c_str();
    while (*p != '\0') {
        while (*p != '\0' && (*p < '0' || *p > '9') && *p != '-') {
            ++p;
        }
        if (*p == '\0') {
            break;
        }
        char* end = nullptr;
        v.push_back(std::strtod(p, &end));
        p = end;
    }
    return v;
}

constexpr std::array<const char*, 6> kSteps = {"main", "app", "built", "shown", "paint", "frame"};

} // namespace

int main(int argc, char** argv) {
    std::string app;
    std::string probe;
    std::string jsonPath = std::string(KELVARA_BENCH_DIR) + "/first_frame.json";
    int launches = 7;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--probe" && i + 1 < argc) {
            probe = argv[++i];
        } else if (arg == "--launches" && i + 1 < argc) {
            launches = std::atoi(argv[++i]);
        } else if (arg == "--json" && i + 1 < argc) {
            jsonPath = argv[++i];
        } else if (app.empty() && !arg.starts_with("--")) {
            app = argv[i];
        } else {
            app.clear();
            break;
        }
    }
    if (app.empty() || launches < 1) {
        std::fprintf(stderr,
                     "usage: %s APP [--probe PROBE] [--launches N] [--json PATH]\n"
                     "needs DISPLAY; run with QT_QPA_PLATFORM=xcb\n",
                     argv[0]);
        return 2;
    }
    XServer x;
    if (!x.Ok()) {
        std::fprintf(stderr, "cannot reach the X server (DISPLAY=%s)\n",
                     std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "");
        return 1;
    }

    std::vector<Launch> apps;
    std::vector<Launch> probes;
    for (int i = 0; i < launches; ++i) {
        apps.push_back(LaunchOnce(x, app, false));
        if (!probe.empty()) {
            probes.push_back(LaunchOnce(x, probe, true));
        }
    }

    std::printf("Kelvara first frame: launch to first painted frame under X (DISPLAY=%s)\n",
                std::getenv("DISPLAY"));
    std::printf("seen from outside: pixel (%d, %d) of the window turns RGB(192, 255, 192); "
                "polled every 1 ms\n\n",
                kPixelX, kPixelY);
    std::printf("%-7s %12s %12s %11s %11s", "launch", "kelvara ms", "(mapped ms)", "VmHWM kB",
                "VmRSS kB");
    if (!probe.empty()) {
        std::printf(" %10s |", "probe ms");
        for (const char* s : kSteps) {
            std::printf(" %7s", s);
        }
    }
    std::printf("\n");

    std::vector<double> frame;
    std::vector<double> mapped;
    std::vector<double> hwm;
    std::vector<double> rss;
    std::vector<double> probeFrame;
    std::vector<std::vector<double>> steps(kSteps.size());
    bool allOk = true;
    for (int i = 0; i < launches; ++i) {
        const Launch& a = apps[static_cast<std::size_t>(i)];
        allOk = allOk && a.ok;
        if (a.ok) {
            frame.push_back(a.frameMs);
            mapped.push_back(a.mappedMs);
            hwm.push_back(static_cast<double>(a.hwmKb));
            rss.push_back(static_cast<double>(a.rssKb));
            std::printf("%-7d %12.1f %12.1f %11ld %11ld", i + 1, a.frameMs, a.mappedMs, a.hwmKb,
                        a.rssKb);
        } else {
            std::printf("%-7d %12s %12s %11s %11s", i + 1, "failed", "", "", "");
        }
        if (!probe.empty()) {
            const Launch& p = probes[static_cast<std::size_t>(i)];
            const std::vector<double> v = ParseReport(p.report);
            allOk = allOk && p.ok && v.size() == kSteps.size();
            if (p.ok && v.size() == kSteps.size()) {
                probeFrame.push_back(p.frameMs);
                std::printf(" %10.1f |", p.frameMs);
                for (std::size_t s = 0; s < v.size(); ++s) {
                    steps[s].push_back(v[s]);
                    std::printf(" %7.1f", v[s]);
                }
            } else {
                std::printf(" %10s |", "failed");
            }
        }
        std::printf("\n");
    }
    std::printf("%-7s %12.1f %12.1f %11.0f %11.0f", "median", Median(frame), Median(mapped),
                Median(hwm), Median(rss));
    if (!probe.empty()) {
        std::printf(" %10.1f |", Median(probeFrame));
        for (const auto& s : steps) {
            std::printf(" %7.1f", Median(s));
        }
    }
    std::printf("\n");
    const double med = Median(frame);
    std::printf("first frame of kelvara, median of %zu launches: %.1f ms, target <= %.0f ms: %s\n",
                frame.size(), med, kFirstFrameTargetMs,
                allOk && med <= kFirstFrameTargetMs ? "met" : "MISSED");
    std::printf("kelvara at rest 300 ms after its first frame: VmHWM %.0f kB (median), target <= "
                "%ld kB: %s\n",
                Median(hwm), kPeakRssTargetKb,
                allOk && Median(hwm) <= static_cast<double>(kPeakRssTargetKb) ? "met" : "MISSED");
    if (!probe.empty()) {
        std::printf("probe columns: ms from spawn to main() entered, application made, window "
                    "built,\nshown with needles at rest, first paint event, first frame painted "
                    "and flushed\n");
    }

    std::FILE* f = std::fopen(jsonPath.c_str(), "w");
    if (f == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", jsonPath.c_str());
        return 1;
    }
    std::fprintf(f, "{\n  \"benchmark\": \"first_frame\",\n  \"launches\": %d,\n", launches);
    std::fprintf(f, "  \"target_ms\": %.0f,\n  \"kelvara\": [", kFirstFrameTargetMs);
    for (std::size_t i = 0; i < apps.size(); ++i) {
        std::fprintf(f,
                     "%s\n    {\"ok\": %s, \"first_frame_ms\": %.2f, \"mapped_ms\": %.2f, "
                     "\"vmhwm_kb\": %ld, \"vmrss_kb\": %ld}",
                     i == 0 ? "" : ",", apps[i].ok ? "true" : "false", apps[i].frameMs,
                     apps[i].mappedMs, apps[i].hwmKb, apps[i].rssKb);
    }
    std::fprintf(f, "\n  ],\n  \"kelvara_median_ms\": %.2f,\n", med);
    std::fprintf(f, "  \"kelvara_vmhwm_kb_median\": %.0f,\n", Median(hwm));
    std::fprintf(f, "  \"probe\": [");
    for (std::size_t i = 0; i < probes.size(); ++i) {
        const std::vector<double> v = ParseReport(probes[i].report);
        std::fprintf(f, "%s\n    {\"ok\": %s, \"first_frame_ms\": %.2f", i == 0 ? "" : ",",
                     probes[i].ok && v.size() == kSteps.size() ? "true" : "false",
                     probes[i].frameMs);
        for (std::size_t s = 0; s < v.size() && s < kSteps.size(); ++s) {
            std::fprintf(f, ", \"%s_ms\": %.2f", kSteps.at(s), v[s]);
        }
        std::fprintf(f, "}");
    }
    std::fprintf(f, "\n  ]");
    if (!probe.empty()) {
        std::fprintf(f, ",\n  \"probe_median_ms\": {\"outside\": %.2f", Median(probeFrame));
        for (std::size_t s = 0; s < kSteps.size(); ++s) {
            std::fprintf(f, ", \"%s\": %.2f", kSteps.at(s), Median(steps[s]));
        }
        std::fprintf(f, "}");
    }
    std::fprintf(f, "\n}\n");
    if (std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", jsonPath.c_str());
        return 1;
    }
    std::printf("\nfigures written to %s\n", jsonPath.c_str());
    return allOk ? 0 : 1;
}
