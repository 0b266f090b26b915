// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Every benchmark of the program, run three times over: each figure is the
// median of the runs beside the smallest and the largest and its target,
// the verdict taken on the median, so that one busy moment of a shared
// machine does not decide it. The program and the probe are started here
// and watched through the X server (XTest clicks and types, XDamage tells
// each change of the window, GetImage reads a pixel) and /proc. DISPLAY is
// 1920 x 1080, with XDamage and XTest; the big display 3840 x 2160.
#include "stats.h"
#include "ui/layout/layout.h"
#include "ui/layout/twips.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>

namespace {

using kelvara::bench::ClockNs;
using kelvara::bench::Ms;
using kelvara::bench::Quantile;
using Samples = std::map<std::string, std::vector<double>>;
using Strings = std::vector<std::string>;

constexpr std::int64_t kMs = 1'000'000;

void SleepNs(std::int64_t ns) {
    std::this_thread::sleep_for(std::chrono::nanoseconds(ns));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string LoadAverage() {
    const std::string s = ReadFile("/proc/loadavg");
    return s.substr(0, s.find(' ', s.find(' ', s.find(' ') + 1) + 1));
}

// The processor time of every thread of `pid` so far, in seconds.
double CpuSeconds(pid_t pid) {
    clockid_t clock{};
    return ::clock_getcpuclockid(pid, &clock) == 0 ? Ms(ClockNs(clock)) / 1e3 : std::nan("");
}

// A "Name:  N kB" line of /proc/PID/status.
double StatusKb(pid_t pid, const char* name) {
    const std::string status = ReadFile("/proc/" + std::to_string(pid) + "/status");
    const std::size_t at = status.find(name);
    return at == std::string::npos ? std::nan("")
                                   : std::atof(status.c_str() + at + std::strlen(name));
}

// A program started here; `pid` its process.
class Child {
public:
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() {
        if (running_ && ::kill(pid, SIGTERM) == 0) {
            ::waitpid(pid, &status_, 0);
        }
        if (out_ != nullptr) {
            std::fclose(out_);
        }
    }

    // Starts `exe` with this process's environment and `env` ("NAME=value")
    // over it; with `readOutput` its standard output comes to ReadLine.
    bool Start(const std::string& exe, Strings args, Strings env, bool readOutput) {
        args.insert(args.begin(), exe);
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        std::array<int, 2> fds{-1, -1};
        if (readOutput && ::pipe2(fds.data(), O_CLOEXEC) != 0) {
            return false;
        }
        if ((pid = ::fork()) == 0) {
            for (std::string& e : env) {
                ::putenv(e.data());
            }
            ::dup2(readOutput ? fds[1] : STDOUT_FILENO, STDOUT_FILENO);
            ::execv(exe.c_str(), argv.data());
            ::_exit(127);
        }
        if (readOutput) {
            ::close(fds[1]);
            out_ = ::fdopen(fds[0], "r");
            std::setvbuf(out_, nullptr, _IONBF, 0); // so that poll() tells whether a line is there
        }
        return (running_ = pid > 0);
    }

    // The next line of output, waiting until `deadlineNs`.
    std::optional<std::string> ReadLine(std::int64_t deadlineNs) {
        pollfd p{out_ != nullptr ? ::fileno(out_) : -1, POLLIN, 0};
        const auto ms = static_cast<int>(std::max<std::int64_t>(deadlineNs - ClockNs(), 0) / kMs);
        std::array<char, 512> line{};
        if (out_ == nullptr || ::poll(&p, 1, ms) <= 0 ||
            std::fgets(line.data(), line.size(), out_) == nullptr) {
            return std::nullopt;
        }
        return std::string(line.data(), std::strcspn(line.data(), "\n"));
    }

    // Whether the program has ended by `deadlineNs`.
    bool Ended(std::int64_t deadlineNs) {
        while (running_ && ::waitpid(pid, &status_, WNOHANG) != pid && ClockNs() < deadlineNs) {
            SleepNs(kMs / 10);
        }
        return !(running_ = running_ && ::waitpid(pid, &status_, WNOHANG) == 0);
    }

    // Its exit code, or minus the signal that ended it.
    int Code() const { return WIFEXITED(status_) ? WEXITSTATUS(status_) : -WTERMSIG(status_); }

    pid_t pid = -1;

private:
    std::FILE* out_ = nullptr;
    int status_ = 0;
    bool running_ = false;
};

constexpr int kDepth = 10; // of the nested runs that Exit or a close ends

// A control's place in the window at its natural size.
QRect Place(const char* name) {
    const kelvara::ui::Element* e = kelvara::ui::FindElement(QString::fromLatin1(name));
    return kelvara::ui::Twips().Rect(e->left, e->top, e->width, e->height);
}

// xcb's request and the reply to it, which xcb allocates with malloc.
struct Free {
    void operator()(void* p) const { std::free(p); }
};
#define KELVARA_ASK(request, ...)                                                                  \
    std::unique_ptr<request##_reply_t, Free>(                                                      \
        request##_reply(conn_, request(conn_, __VA_ARGS__), nullptr))

class Bench {
public:
    // Connects to DISPLAY; `ok` once XDamage and XTest are there too.
    explicit Bench(std::map<std::string, std::string> opt)
        : opt_(std::move(opt)), conn_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(conn_) != 0) {
            return;
        }
        const xcb_setup_t* setup = xcb_get_setup(conn_);
        root_ = xcb_setup_roots_iterator(setup).data->root;
        const auto* damage = xcb_get_extension_data(conn_, &xcb_damage_id);
        const auto* test = xcb_get_extension_data(conn_, &xcb_test_id);
        // The server takes damage requests only once the version is agreed.
        ok = damage != nullptr && damage->present != 0 && test != nullptr && test->present != 0 &&
             KELVARA_ASK(xcb_damage_query_version, 1, 1) != nullptr;
        damageEvent_ = ok ? damage->first_event + XCB_DAMAGE_NOTIFY : 0;
        // The key that types a Latin p (keysym 0x70), for the freeze.
        const auto map =
            KELVARA_ASK(xcb_get_keyboard_mapping, setup->min_keycode,
                        static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1));
        const xcb_keysym_t* syms = map ? xcb_get_keyboard_mapping_keysyms(map.get()) : nullptr;
        const int n = map ? xcb_get_keyboard_mapping_keysyms_length(map.get()) : 0;
        const auto at = static_cast<int>(std::find(syms, syms + n, 0x70) - syms);
        keyP_ = static_cast<std::uint8_t>(
            at < n ? setup->min_keycode + at / map->keysyms_per_keycode : 0);
        // And of a Latin v (0x76), for the values.
        const auto atV = static_cast<int>(std::find(syms, syms + n, 0x76) - syms);
        keyV_ = static_cast<std::uint8_t>(
            atV < n ? setup->min_keycode + atV / map->keysyms_per_keycode : 0);
        ok = ok && keyP_ != 0 && keyV_ != 0;
    }
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;
    ~Bench() { xcb_disconnect(conn_); }

    Samples figures;
    Strings failures;
    bool ok = false;

    // Everything once; `run` seeds the moments of the clicks.
    void Run(int run) {
        Inside({"core"}, {}, "core.");
        for (const char* side : {"paced", "unpaced", "kelvara"}) {
            Frames(side, run);
        }
        Inside({"window", "0"}, {"QT_QPA_PLATFORM=offscreen"}, "offscreen.");
        Inside({"window"}, {}, "xcb.");
        Inside({"scale"}, {}, "scale.");
        Inside({"scale", "--screen-only"}, {"DISPLAY=" + opt_["--big-display"]}, "scale.big.");
    }

private:
    // Reads "fig KEY VALUE" lines under `prefix` until the line `stop` or,
    // with none, the end of the output: false at the deadline.
    bool Collect(Child& c, const std::string& prefix, std::string_view stop,
                 std::int64_t deadlineNs) {
        while (const std::optional<std::string> line = c.ReadLine(deadlineNs)) {
            if (!stop.empty() && *line == stop) {
                return true;
            }
            if (const std::size_t space = line->rfind(' '); line->starts_with("fig ")) {
                figures[prefix + line->substr(4, space - 4)].push_back(
                    std::stod(line->substr(space)));
            }
        }
        return stop.empty() && ClockNs() < deadlineNs;
    }

    // One of the probe's measurements in its own process.
    void Inside(const Strings& args, const Strings& env, const std::string& prefix) {
        Child c;
        if (!c.Start(opt_["--probe"], args, env, true) ||
            !Collect(c, prefix, "", ClockNs() + 300'000 * kMs) ||
            !c.Ended(ClockNs() + 5'000 * kMs) || c.Code() != 0) {
            failures.push_back("probe " + args[0] + ": code " + std::to_string(c.Code()));
        }
    }

    // The viewable top-level window titled "Kelvara" that `pid` owns, or 0.
    xcb_window_t FindWindow(pid_t pid) {
        const auto tree = KELVARA_ASK(xcb_query_tree, root_);
        for (int i = 0; tree && i < xcb_query_tree_children_length(tree.get()); ++i) {
            const xcb_window_t w = xcb_query_tree_children(tree.get())[i];
            const auto a = KELVARA_ASK(xcb_get_window_attributes, w);
            const std::string owner = Property(w, Atom("_NET_WM_PID"));
            if (a && a->map_state == XCB_MAP_STATE_VIEWABLE && owner.size() == sizeof pid &&
                std::memcmp(owner.data(), &pid, sizeof pid) == 0 &&
                Property(w, XCB_ATOM_WM_NAME) == "Kelvara") {
                return w;
            }
        }
        return 0;
    }

    xcb_atom_t Atom(const char* name) {
        const auto r =
            KELVARA_ASK(xcb_intern_atom, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    std::string Property(xcb_window_t w, xcb_atom_t atom) {
        const auto p = KELVARA_ASK(xcb_get_property, 0, w, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 64);
        return p ? std::string(static_cast<const char*>(xcb_get_property_value(p.get())),
                               static_cast<std::size_t>(xcb_get_property_value_length(p.get())))
                 : std::string();
    }

    // A pixel of the window as 0xRRGGBB (white if it cannot be read).
    std::uint32_t Pixel(QPoint at) {
        const auto img = KELVARA_ASK(xcb_get_image, XCB_IMAGE_FORMAT_Z_PIXMAP, window_,
                                     static_cast<std::int16_t>(at.x()),
                                     static_cast<std::int16_t>(at.y()), 1, 1, ~0U);
        std::uint32_t pixel = ~0U;
        if (img && img->depth >= 24 && xcb_get_image_data_length(img.get()) >= 4) {
            std::memcpy(&pixel, xcb_get_image_data(img.get()), sizeof pixel);
        }
        return pixel & 0xFFFFFFU;
    }

    // A press and its release, queued together, of a key or of a button at a
    // pixel of the window; xcb_flush() sends what is queued.
    void Press(std::uint8_t press, std::uint8_t detail, QPoint at = {}) {
        if (press == XCB_BUTTON_PRESS) {
            xcb_warp_pointer(conn_, XCB_NONE, window_, 0, 0, 0, 0,
                             static_cast<std::int16_t>(at.x()), static_cast<std::int16_t>(at.y()));
        } else { // typed keys go to the focus, which no window manager moves here
            xcb_set_input_focus(conn_, XCB_INPUT_FOCUS_PARENT, window_, XCB_CURRENT_TIME);
        }
        xcb_test_fake_input(conn_, press, detail, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(conn_, press + 1, detail, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    }
    void Click(QPoint at) { Press(XCB_BUTTON_PRESS, 1, at); }

    // The times of every change of the window's contents for `ns`: the damage
    // is reported when it turns non-empty and emptied at once, so that one
    // flush of a frame is one change. The report of the whole window that
    // making a damage brings is dropped before the damage is first emptied.
    // With `sweep`, the pointer moves one pixel a frame to and fro across
    // the graphs meanwhile, on the voltage graph.
    std::vector<std::int64_t> Changes(std::int64_t ns, bool sweep = false) {
        const xcb_damage_damage_t damage = xcb_generate_id(conn_);
        xcb_damage_create(conn_, damage, window_, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        KELVARA_ASK(xcb_get_window_attributes, window_);
        while (const std::unique_ptr<xcb_generic_event_t, Free> ev{xcb_poll_for_event(conn_)}) {
        }
        xcb_damage_subtract(conn_, damage, XCB_NONE, XCB_NONE);
        xcb_flush(conn_);
        std::vector<std::int64_t> times;
        const QRect graphs = Place("Shape4");
        std::int64_t moved = 0;
        for (std::int64_t now = ClockNs(), end = now + ns, step = 0; now < end; now = ClockNs()) {
            if (sweep && now - moved >= 16 * kMs) {
                moved = now;
                const int x = static_cast<int>(step++ % (2 * std::int64_t{graphs.width()}));
                const QPoint at(graphs.left() + std::min(x, 2 * graphs.width() - x),
                                graphs.top() + graphs.height() / 6);
                xcb_warp_pointer(conn_, XCB_NONE, window_, 0, 0, 0, 0,
                                 static_cast<std::int16_t>(at.x()),
                                 static_cast<std::int16_t>(at.y()));
                xcb_flush(conn_);
            }
            const std::unique_ptr<xcb_generic_event_t, Free> ev(xcb_poll_for_event(conn_));
            pollfd p{xcb_get_file_descriptor(conn_), POLLIN, 0};
            if (!ev) {
                const std::int64_t wait = sweep ? std::min(end - now, 4 * kMs) : end - now;
                ::poll(&p, 1, static_cast<int>(wait / kMs) + 1);
            } else if ((ev->response_type & 0x7F) == damageEvent_ && // not an earlier damage's
                       reinterpret_cast<xcb_damage_notify_event_t*>(ev.get())->damage == damage) {
                times.push_back(now);
                xcb_damage_subtract(conn_, damage, XCB_NONE, XCB_NONE);
                xcb_flush(conn_);
            }
        }
        xcb_damage_destroy(conn_, damage);
        xcb_flush(conn_);
        return times;
    }

    // Starts the program ("kelvara") or the probe and waits for its first
    // frame, until pixel (60, 140) of its window, in the generator panel,
    // shows the panel's colour, then 300 ms more; with `timed`, the ms to
    // the window found viewable and to that frame are figures.
    bool Launch(Child& c, const std::string& side, bool timed) {
        const std::int64_t t0 = ClockNs();
        const bool probe = side != "kelvara";
        const std::string p = probe ? "launch.probe." : "launch.kelvara.";
        c.Start(opt_[probe ? "--probe" : "--app"],
                side == "unpaced" ? Strings{"--unpaced"} : Strings{},
                {"KELVARA_LAUNCH_NS=" + std::to_string(t0)}, probe);
        double mapped = 0;
        for (window_ = 0; !c.Ended(0) && ClockNs() < t0 + 20'000 * kMs; SleepNs(kMs)) {
            if (window_ == 0 && (window_ = FindWindow(c.pid)) != 0) {
                mapped = Ms(ClockNs() - t0);
            }
            if (window_ != 0 && Pixel({60, 140}) == 0xC0FFC0) {
                if (timed) {
                    figures[p + "mapped_ms"].push_back(mapped);
                    figures[p + "frame_ms"].push_back(Ms(ClockNs() - t0));
                }
                SleepNs(300 * kMs);
                return true;
            }
        }
        failures.push_back(side + ": no first frame");
        return false;
    }

    // Two places on the switch by turns, far enough apart that two quick
    // clicks are two clicks, never a double click.
    void ClickSwitch(int n) { Click(Place("picOn").center() + QPoint(n % 2 == 0 ? -6 : 6, 0)); }

    // Clicks the switch and reads a pixel inside its edge every 0.1 ms until
    // it turns yellow (on) or grey (off): the ms from the click sent.
    std::optional<double> Switch(bool on) {
        ClickSwitch(on ? 0 : 1);
        const std::int64_t sent = ClockNs();
        xcb_flush(conn_);
        while (ClockNs() - sent < 2'000 * kMs) {
            if (Pixel(Place("picOn").topLeft() + QPoint(3, 3)) == (on ? 0xFFFF00 : 0xC0C0C0)) {
                return Ms(ClockNs() - sent);
            }
            SleepNs(kMs / 10);
        }
        return std::nullopt;
    }

    // The program's and the X server's share of a core, and the window's
    // changes, over `ns`.
    void Watch(Child& c, const std::string& p, std::int64_t ns, bool sweep = false) {
        const pid_t xserver = std::stoi(opt_["--xserver-pid"]);
        const double program0 = CpuSeconds(c.pid);
        const double x0 = CpuSeconds(xserver);
        const std::int64_t t0 = ClockNs();
        const std::vector<std::int64_t> times = Changes(ns, sweep);
        const double seconds = Ms(ClockNs() - t0) / 1e3;
        figures[p + "program_cpu"].push_back(100 * (CpuSeconds(c.pid) - program0) / seconds);
        figures[p + "x_cpu"].push_back(100 * (CpuSeconds(xserver) - x0) / seconds);
        figures[p + "frames"].push_back(static_cast<double>(times.size()) / seconds);
        std::vector<double> gaps;
        for (std::size_t i = 1; i < times.size(); ++i) {
            gaps.push_back(Ms(times[i] - times[i - 1]));
        }
        figures[p + "gap_p50"].push_back(Quantile(gaps, 0.5));
        figures[p + "gap_p99"].push_back(Quantile(gaps, 0.99));
        figures[p + "gap_max"].push_back(Quantile(gaps, 1));
    }

    // Nests runs in a run until the probe reports kDepth, then ends the
    // program by Exit or by closing the window as a window manager does, and
    // times the end.
    void End(Child& c, const std::string& p, bool close) {
        const auto depth = [&c] {
            while (const auto line = c.ReadLine(ClockNs() + 2'000 * kMs)) {
                if (line->starts_with("depth ") && std::stoi(line->substr(6)) >= 1) {
                    return std::stoi(line->substr(6));
                }
            }
            return 0;
        };
        int click = 0;
        ClickSwitch(click++);
        xcb_flush(conn_);
        // An off-on pair sent at once is delivered within one yield as a
        // rule; when a yield ends between the two, the run restarts at 1.
        int reached = depth();
        for (int pair = 0; reached != 0 && reached < kDepth && pair < 100; ++pair) {
            ClickSwitch(click++);
            ClickSwitch(click++);
            xcb_flush(conn_);
            reached = depth();
        }
        if (reached != kDepth) {
            return failures.push_back(p + " nesting stopped at depth " + std::to_string(reached));
        }
        SleepNs(200 * kMs); // the innermost run draws a while
        if (close) {
            xcb_client_message_event_t ev{XCB_CLIENT_MESSAGE,   32, 0, window_,
                                          Atom("WM_PROTOCOLS"), {}};
            ev.data.data32[0] = Atom("WM_DELETE_WINDOW");
            xcb_send_event(conn_, 0, window_, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&ev));
        } else {
            Click(Place("Command1").center());
        }
        const std::int64_t sent = ClockNs();
        xcb_flush(conn_);
        if (!c.Ended(sent + 5'000 * kMs)) {
            return failures.push_back(p + " still running 5 s after the end was asked");
        }
        figures[p + "ms"].push_back(Ms(ClockNs() - sent));
        figures[p + "code"].push_back(c.Code());
        Collect(c, p, "", ClockNs() + 1'000 * kMs); // what began after the end
    }

    void Frames(const std::string& side, int run) {
        Child c;
        if (!Launch(c, side, side != "unpaced")) {
            return;
        }
        if (side == "kelvara") { // at rest after its first frame
            figures["launch.kelvara.hwm_kb"].push_back(StatusKb(c.pid, "VmHWM:"));
            figures["launch.kelvara.rss_kb"].push_back(StatusKb(c.pid, "VmRSS:"));
        } else if (side == "paced") {
            Collect(c, "launch.probe.", "first-frame", ClockNs() + 3'000 * kMs);
        }
        Click(Place("Command4").center()); // lift the graphs' screen
        xcb_flush(conn_);
        SleepNs(300 * kMs);
        // The clicks fall at scattered moments of the frame grid, the same
        // on every side.
        std::mt19937 random(static_cast<unsigned>(11 + run));
        std::uniform_int_distribution<std::int64_t> pause(100, 350);
        Samples latency;
        for (int i = 0; i < 40; ++i) { // twenty each way
            const std::optional<double> ms = Switch(i % 2 == 0);
            if (!ms) {
                return failures.push_back(side + ": the switch did not answer");
            }
            latency[side + (i % 2 == 0 ? ".on" : ".off")].push_back(*ms);
            SleepNs(pause(random) * kMs);
        }
        for (const auto& [key, v] : latency) {
            figures[key + "_p50"].push_back(Quantile(v, 0.5));
            figures[key + "_p90"].push_back(Quantile(v, 0.9));
        }
        while (c.ReadLine(ClockNs())) { // the short runs' own reports
        }
        if (!Switch(true)) {
            return failures.push_back(side + ": the run did not start");
        }
        SleepNs(1'000 * kMs);
        Watch(c, side + ".", 5'000 * kMs);
        for (int i = 0; side == "kelvara" && i < 2; ++i) { // P freezes the run, P again goes on
            Press(XCB_KEY_PRESS, keyP_);
            xcb_flush(conn_);
            SleepNs(500 * kMs);
            if (i == 0) {
                Watch(c, "kelvara.frozen.", 5'000 * kMs);
            }
        }
        if (side == "kelvara") { // V: values, levels and numbers; then the cursor
            Press(XCB_KEY_PRESS, keyV_);
            xcb_flush(conn_);
            SleepNs(500 * kMs);
            Watch(c, "kelvara.values.", 5'000 * kMs);
            Watch(c, "kelvara.cursor.", 5'000 * kMs, true);
            Press(XCB_KEY_PRESS, keyP_); // frozen, the pointer resting on the graphs
            xcb_flush(conn_);
            SleepNs(500 * kMs);
            Watch(c, "kelvara.values_frozen.", 5'000 * kMs);
            Press(XCB_KEY_PRESS, keyP_);
            xcb_flush(conn_);
            SleepNs(300 * kMs);
        }
        if (!Switch(false)) {
            return failures.push_back(side + ": the run did not stop");
        }
        if (side != "kelvara") {
            if (!Collect(c, side + ".", "ran", ClockNs() + 2'000 * kMs)) {
                failures.push_back(side + ": no report of the run");
            }
            End(c, side + ".exit.", false);
            Child again;
            if (Launch(again, side, false)) {
                End(again, side + ".close.", true);
            }
        }
    }

    std::map<std::string, std::string> opt_;
    xcb_connection_t* conn_;
    xcb_window_t root_ = 0, window_ = 0;
    std::uint8_t damageEvent_ = 0, keyP_ = 0, keyV_ = 0;
};

// What is printed, section by section. "== " opens a section; "@ " names its
// columns, "KEY PREFIX = heading", a * marking those judged; a row is
// "label | key | decimals | target", its figure in a column at the column's
// prefix, a dot and the key (or at the key with the prefix in place of *);
// with groups "{a,b}", a row for each alternative, a line's groups in step.
// A target is clauses "[column] OP VALUE [+ N]" between semicolons, OP one
// of <= >= =, VALUE a number or another column's median; without a column
// named, the judged ones are meant.
const char* const kTable = R"(
== core: RunSimulation against a window that does nothing, clock +1/3000 s a read
@ *core.start-up = start-up (5/5/1) ; *core.strongest = strongest (5/10/1)
time a pass, ns | ns_per_pass | 1 | <= 1000
allocations a pass | allocs_per_pass | 6 | = 0
== core: resident memory of the probe (Qt loaded, not used), one run at 5/5/1, +1/3000 s a read to 10 min, then +1/50 s to 24 h
@ *core.memory = 5/5/1
Vm{RSS before the run,RSS at 1 min,RSS at 10 min,RSS at 24 h,HWM at 24 h}, kB | {rss_before,rss_1min,rss_10min,rss_24h,hwm_24h} | 0
allocations in the run | allocations | 0 | = 0
growth of VmRSS from 1 to 10 min, kB | growth_kb | 0 | <= 0
wall time a pass, ns | ns_per_pass | 1
== frames: the running window seen from outside, paced against unpaced, 5 s after a run's first second
@ *paced = paced ; unpaced = unpaced ; kelvara = kelvara
program CPU, % of a core | program_cpu | 1 | <= 8
X server CPU, % of a core | x_cpu | 1 | <= 3
changed frames a second | frames | 1 | >= 59.5
frame gap {median,p99,max}, ms | gap_{p50,p99,max} | 2 | {,<= 20}
switch {on,off}, median ms | {on,off}_p50 | 2 | {<= 2,<= 5}; <= unpaced + 0.2
switch {on,off}, p90 ms | {on,off}_p90 | 2
passes a second (inside) | passes_per_s | 1
pass length {p50,p99,max}, ms (inside) | wall_{p50,p99,max}_ms | 2
pass CPU {p50,p99,max}, ms (inside) | cpu_{p50,p99,max}_ms | 3 | {,<= 2}
== kelvara, 5 s of a run, then 5 s of it frozen by P; with V, 5 s each: running, the pointer moving over the graphs, frozen with the pointer resting there
@ kelvara = running ; kelvara.frozen = frozen ; kelvara.values = values ; kelvara.cursor = cursor ; kelvara.values_frozen = values_frozen
program CPU, % of a core | program_cpu | 1 | frozen <= 1; values_frozen <= 1; cursor <= values + 1
X server CPU, % of a core | x_cpu | 1 | frozen <= 1; values_frozen <= 1
changed frames a second | frames | 1 | frozen = 0; values_frozen = 0
== end of the program from a run nested 10 deep
@ *paced.exit = paced, Exit ; *paced.close = paced, close ; *unpaced.exit = unpaced, Exit ; *unpaced.close = unpaced, close
to the end, ms | ms | 1 | <= 200
{exit code,passes begun after,display resets begun after} | {code,passes_after,resets_after} | 0 | = 0
== pass CPU at the screen's size, paced, the graphs shown, 5 s after each run's first second
@ scale.natural = natural ; *scale.screen = 1920 x 1080 ; *scale.big.screen = 3840 x 2160
window {width,height} | {width,height} | 0
view scale | view_scale | 3
timed passes | timed_passes | 0
pass CPU {p50,p99,max}, ms | cpu_{p50,p99,max}_ms | 3 | {,<= 2}
== six resizes in a run, 250 ms apart, ms
@ scale.pass_ms = longest pass ; scale.relayout_ms = relayout ; scale.bare_ms = bare QWidget
to {half size,the screen,the natural size,1400 x 900,700 x 600,the screen} | r{1,2,3,4,5,6} | 1
== the resize run
@ *scale = all passes
{longest pass with a resize,longest CPU of a pass with a resize,longest pass of all}, ms | {resize_longest_ms,resize_longest_cpu_ms,longest_ms} | 1 | {,,<= 50}
passes of the 10 s unpaced run below | unpaced_passes | 0
== record of the run-time drawing, largest seen
@ scale.graphs = graphs ; scale.voltmeter = voltmeter ; scale.ammeter = ammeter
{strokes,kB}, 10 min at 60 passes a second | stepped_{strokes,kb} | {0,1}
{strokes,kB}, 10 s unpaced | unpaced_{strokes,kb} | {0,1}
== the window unpaced, 5 s after each run's first second
@ *offscreen.start-up = offscreen 5/5/1 ; *offscreen.strongest = offscreen 5/10/1 ; *xcb.start-up = xcb 5/5/1 ; *xcb.strongest = xcb 5/10/1
{passes,passes a second} | {passes,passes_per_s} | 0
pass {p50,p99,max}, ms | wall_{p50,p99,max}_ms | {4,4,3} | {,<= 1,<= 16}
passes over 16 ms | over_16ms | 0
{in the yield,in the rest,process CPU}, us a pass | {yield,draw,cpu}_us | 2
== resident memory of the window; on xcb then 10 min at 5/5/1, clock +1/60 s a pass
@ rss = VmRSS kB ; hwm = VmHWM kB ; anon = anon kB ; file = file kB ; heap = heap kB
offscreen, {window shown,after the runs} | offscreen.*.{shown,loops} | 0
xcb, {window shown,after the runs,1 min,2 min,3 min,4 min,5 min,6 min,7 min,8 min,9 min,10 min,after the run} | xcb.*.{shown,loops,1min,2min,3min,4min,5min,6min,7min,8min,9min,10min,after} | 0
== resident memory of the window, in all
@ *offscreen = offscreen ; *xcb = xcb
peak VmHWM, kB | peak_hwm_kb | 0 | <= 61440
growth of VmRSS from 1 to 10 min, kB | growth_kb | 0 | xcb <= 0
heap change from 1 to 10 min, bytes a pass | heap_bytes_per_pass | 4
wall time a pass of the 10 min, us | wall_us_per_pass | 1
== launch to first painted frame: the frames runs' launches of kelvara and of the paced probe
@ *launch.kelvara = kelvara ; launch.probe = probe
{first frame seen,window mapped}, ms | {frame,mapped}_ms | 1 | {<= 150}
{VmHWM,VmRSS} 300 ms after, kB | {hwm,rss}_kb | 0 | {<= 61440}
inside: {main() entered,application made,window built,shown with needles at rest,first paint event,first frame flushed}, ms | {main,app,built,shown,paint,flushed}_ms | 1
)";

struct Column {
    std::string prefix, heading;
    bool judged;
};
struct Row {
    std::string label, key;
    int decimals;
    std::string target;
};
struct Section {
    std::string title;
    std::vector<Column> columns;
    std::vector<Row> rows;
};

// The parts of `s` between `by`, without the spaces around them.
Strings Split(const std::string& s, char by) {
    Strings parts;
    std::istringstream in(s);
    for (std::string p; std::getline(in >> std::ws, p, by);) {
        parts.push_back(p.erase(p.find_last_not_of(' ') + 1));
    }
    return parts;
}

// The rows that a line with groups stands for.
Strings Expand(const std::string& line) {
    Strings rows;
    for (std::size_t i = 0; rows.size() == i; ++i) {
        std::string row;
        bool more = i == 0;
        std::size_t at = 0;
        for (std::size_t open = 0; (open = line.find('{', at)) != std::string::npos;
             at = line.find('}', open) + 1) {
            const Strings alternatives =
                Split(line.substr(open + 1, line.find('}', open) - open - 1), ',');
            row += line.substr(at, open - at) + (i < alternatives.size() ? alternatives[i] : "");
            more = more || i < alternatives.size();
        }
        if (more) {
            rows.push_back(row + line.substr(at));
        }
    }
    return rows;
}

std::vector<Section> Parse(const std::string& table) {
    std::vector<Section> sections;
    std::istringstream in(table);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("== ")) {
            sections.push_back({line.substr(3), {}, {}});
        } else if (line.starts_with("@ ")) {
            for (const std::string& c : Split(line.substr(2), ';')) {
                const Strings kv = Split(c, '=');
                sections.back().columns.push_back(
                    {kv[0].substr(kv[0][0] == '*' ? 1 : 0), kv[1], kv[0][0] == '*'});
            }
        } else if (!line.empty()) {
            for (const std::string& row : Expand(line)) {
                const Strings r = Split(row, '|');
                sections.back().rows.push_back(
                    {r[0], r[1], std::stoi(r[2]), r.size() > 3 ? r[3] : ""});
            }
        }
    }
    return sections;
}

// The runs of a row's figure in a column.
std::vector<double> Runs(const Samples& f, const Column& c, const Row& r) {
    std::string key = r.key;
    const std::size_t star = key.find('*');
    const auto it =
        f.find(star == std::string::npos ? c.prefix + "." + key : key.replace(star, 1, c.prefix));
    return it == f.end() ? std::vector<double>{} : it->second;
}

std::string Cell(const Samples& f, const Column& c, const Row& r) {
    const std::vector<double> v = Runs(f, c, r);
    std::array<char, 96> s{};
    std::snprintf(s.data(), s.size(), "%.*f (%.*f..%.*f)", r.decimals, Quantile(v, 0.5), r.decimals,
                  Quantile(v, 0), r.decimals, Quantile(v, 1));
    return v.empty() ? "-" : s.data();
}

// The target, "met" or "MISSED" on the medians; empty for a row without one.
std::string Verdict(const Section& s, const Row& r, const Samples& f) {
    const auto column = [&s](const std::string& heading) {
        return std::find_if(s.columns.begin(), s.columns.end(),
                            [&](const Column& c) { return c.heading == heading; });
    };
    bool met = true;
    for (const std::string& clause : Split(r.target, ';')) {
        std::istringstream in(clause);
        std::string op, value;
        char plus = 0;
        double tolerance = 0;
        in >> op;
        const auto named = column(op);
        if (named != s.columns.end()) {
            in >> op;
        }
        in >> value >> plus >> tolerance;
        const auto other = column(value);
        const double limit = other != s.columns.end()
                                 ? Quantile(Runs(f, *other, r), 0.5) + tolerance
                                 : std::stod(value);
        for (const Column& c : s.columns) {
            if (named != s.columns.end() ? &c == &*named : c.judged) {
                const double m = Quantile(Runs(f, c, r), 0.5);
                met = met && (op == "<=" ? m <= limit : op == ">=" ? m >= limit : m == limit);
            }
        }
    }
    return r.target.empty() ? "" : "  " + r.target + (met ? ": met" : ": MISSED");
}

void Print(const std::vector<Section>& sections, const Samples& f) {
    for (const Section& s : sections) {
        int label = 0;
        int cell = 0;
        for (const Row& r : s.rows) {
            label = std::max(label, static_cast<int>(r.label.size()));
            for (const Column& c : s.columns) {
                cell = std::max({cell, static_cast<int>(c.heading.size()),
                                 static_cast<int>(Cell(f, c, r).size())});
            }
        }
        std::printf("\n== %s\n%*s", s.title.c_str(), label, "");
        for (const Column& c : s.columns) {
            std::printf("  %*s", cell, c.heading.c_str());
        }
        for (const Row& r : s.rows) {
            std::printf("\n%-*s", label, r.label.c_str());
            for (const Column& c : s.columns) {
                std::printf("  %*s", cell, Cell(f, c, r).c_str());
            }
            std::printf("%s", Verdict(s, r, f).c_str());
        }
        std::printf("\n");
    }
}

// Every figure of every run.
std::string Json(const Samples& f, const Strings& load) {
    std::string j = "{\"load_average\": [";
    for (const std::string& l : load) {
        j += (&l == load.data() ? "\"" : ", \"") + l + "\"";
    }
    j += "],\n \"figures\": {";
    for (const auto& [key, runs] : f) {
        j += std::string(j.ends_with("{") ? "\n  \"" : ",\n  \"") + key + "\": [";
        for (const double& v : runs) {
            std::array<char, 32> n{};
            std::snprintf(n.data(), n.size(), "%.10g", v);
            j += (&v == runs.data() ? "" : ", ") + (std::isnan(v) ? std::string("null") : n.data());
        }
        j += "]";
    }
    return j + "}}\n";
}

} // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> opt = {{"--runs", "3"}, {"--json", "bench.json"}};
    for (int i = 1; i + 1 < argc; i += 2) {
        opt[argv[i]] = argv[i + 1];
    }
    const int runs = std::atoi(opt["--runs"].c_str());
    Bench bench(opt);
    if (opt.size() < 6 || runs < 1 || !bench.ok) {
        std::fprintf(stderr,
                     "usage: %s --probe PROBE --app APP --xserver-pid PID --big-display "
                     "DISPLAY [--runs N] [--json PATH]; DISPLAY with XDamage and XTest\n",
                     argv[0]);
        return 2;
    }
    Strings load = {"before: " + LoadAverage()};
    std::printf(
        "each figure: the median of %d runs (smallest..largest), the verdict on the median\n"
        "load average (1, 5, 15 min) %s\n",
        runs, load[0].c_str());
    for (int run = 1; run <= runs; ++run) {
        const std::int64_t t0 = ClockNs();
        bench.Run(run);
        load.push_back("after run " + std::to_string(run) + ": " + LoadAverage());
        std::printf("run %d of %d: %.0f s, %s\n", run, runs, Ms(ClockNs() - t0) / 1e3,
                    load.back().c_str());
        std::fflush(stdout);
    }
    const std::vector<Section> sections = Parse(kTable);
    Print(sections, bench.figures);
    std::printf("\nload average (1, 5, 15 min) %s; %s\nfigures written to %s\n",
                load.front().c_str(), load.back().c_str(), opt["--json"].c_str());
    std::ofstream(opt["--json"]) << Json(bench.figures, load);
    for (const std::string& f : bench.failures) {
        std::printf("FAILED: %s\n", f.c_str());
    }
    return bench.failures.empty() ? 0 : 1;
}
