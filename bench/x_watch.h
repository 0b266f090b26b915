// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The program's window seen from outside, through a connection of our own
// to the X server: found by its owner's process id and title, its pixels
// read back as the server has them.
#pragma once

#include <sys/types.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>

namespace kelvara::bench {

class Child;

// Replies of xcb are malloc'ed and freed with free().
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

class XWatch {
public:
    // Connects to DISPLAY.
    XWatch();
    XWatch(const XWatch&) = delete;
    XWatch& operator=(const XWatch&) = delete;
    XWatch(XWatch&&) = delete;
    XWatch& operator=(XWatch&&) = delete;
    ~XWatch();

    [[nodiscard]] bool Ok() const { return ok_; }
    [[nodiscard]] xcb_connection_t* Connection() const { return conn_; }
    [[nodiscard]] xcb_window_t Root() const { return root_; }

    xcb_atom_t Atom(const char* name);

    // The viewable top-level window titled "Kelvara" that process `pid`
    // owns, or 0.
    xcb_window_t FindWindow(pid_t pid);

    // The colour of window pixel (x, y) as 0xRRGGBB, if it can be read.
    std::optional<std::uint32_t> Pixel(xcb_window_t w, int x, int y);

    // True while the window still exists on the server.
    bool Exists(xcb_window_t w);

private:
    xcb_connection_t* conn_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_atom_t pidAtom_ = 0;
    bool ok_ = false;
};

// A pixel of the generator panel, and the panel's colour RGB(192, 255, 192):
// once the window shows it there, its first frame is on the screen.
inline constexpr int kPanelPixelX = 60;
inline constexpr int kPanelPixelY = 140;
inline constexpr std::uint32_t kPanelRgb = 0xC0FFC0;

struct FirstFrame {
    xcb_window_t window = 0;    // 0: none found
    std::int64_t mappedNs = 0;  // when the window was found viewable
    std::int64_t paintedNs = 0; // when the panel's colour was seen; 0: never
};

// Polls every millisecond until `child`'s window shows the panel's colour,
// the program ends, or `deadlineNs` passes; says on stderr which of the
// last two happened.
FirstFrame WaitForFirstFrame(XWatch& x, Child& child, std::int64_t deadlineNs);

} // namespace kelvara::bench
