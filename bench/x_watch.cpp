// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "x_watch.h"

#include "child.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace kelvara::bench {

XWatch::XWatch() {
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

XWatch::~XWatch() {
    xcb_disconnect(conn_);
}

xcb_atom_t XWatch::Atom(const char* name) {
    const Reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(
        conn_, xcb_intern_atom(conn_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

xcb_window_t XWatch::FindWindow(pid_t pid) {
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
        pids.push_back(xcb_get_property(conn_, 0, children[i], pidAtom_, XCB_ATOM_CARDINAL, 0, 1));
        names.push_back(xcb_get_property(conn_, 0, children[i], XCB_ATOM_WM_NAME,
                                         XCB_GET_PROPERTY_TYPE_ANY, 0, 64));
    }
    xcb_window_t found = 0;
    for (std::size_t i = 0; i < attrs.size(); ++i) {
        const Reply<xcb_get_window_attributes_reply_t> a(
            xcb_get_window_attributes_reply(conn_, attrs[i], nullptr));
        const Reply<xcb_get_property_reply_t> p(xcb_get_property_reply(conn_, pids[i], nullptr));
        const Reply<xcb_get_property_reply_t> n(xcb_get_property_reply(conn_, names[i], nullptr));
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
            found = children[i];
        }
    }
    return found;
}

std::optional<std::uint32_t> XWatch::Pixel(xcb_window_t w, int x, int y) {
    const Reply<xcb_get_image_reply_t> img(xcb_get_image_reply(
        conn_,
        xcb_get_image(conn_, XCB_IMAGE_FORMAT_Z_PIXMAP, w, static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y), 1, 1, ~0U),
        nullptr));
    if (!img || img->depth < 24 || xcb_get_image_data_length(img.get()) < 4) {
        return std::nullopt;
    }
    std::uint32_t pixel = 0;
    std::memcpy(&pixel, xcb_get_image_data(img.get()), sizeof pixel);
    return pixel & 0xFFFFFFU;
}

bool XWatch::Exists(xcb_window_t w) {
    const Reply<xcb_get_window_attributes_reply_t> a(
        xcb_get_window_attributes_reply(conn_, xcb_get_window_attributes(conn_, w), nullptr));
    return a != nullptr;
}

FirstFrame WaitForFirstFrame(XWatch& x, Child& child, std::int64_t deadlineNs) {
    FirstFrame r;
    for (;;) {
        int status = 0;
        if (child.Ended(0, status)) {
            std::fprintf(stderr, "pid %d ended before its first frame (status %d)\n", child.Pid(),
                         status);
            return r;
        }
        if (MonotonicNs() > deadlineNs) {
            std::fprintf(stderr, "pid %d: no painted window in time\n", child.Pid());
            return r;
        }
        if (r.window == 0) {
            r.window = x.FindWindow(child.Pid());
            if (r.window != 0) {
                r.mappedNs = MonotonicNs();
            }
        }
        if (r.window != 0 && x.Pixel(r.window, kPanelPixelX, kPanelPixelY) == kPanelRgb) {
            r.paintedNs = MonotonicNs();
            return r;
        }
        SleepNs(1'000'000);
    }
}

} // namespace kelvara::bench
