// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Resident memory of this process, read from /proc without allocating, so
// that a reading may sit inside a stretch whose allocations are counted.
#pragma once

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kelvara::bench {

struct Memory {
    long rssKb = -1;
    long hwmKb = -1;
    long anonKb = -1; // of VmRSS: anonymous pages (heap, stacks)
    long fileKb = -1; // of VmRSS: pages of mapped files (program and library code)
    long heapKb = -1; // bytes the program holds from malloc, whatever pages they lie on
};

// A reading taken at a point of a run with a simulated clock.
struct MemoryPoint {
    std::string label;
    double simulatedSeconds = 0;
    long passes = 0;
    Memory memory;
};

inline Memory ReadMemory() {
    Memory m;
    const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return m;
    }
    std::array<char, 8192> buf{};
    std::size_t used = 0;
    while (used + 1 < buf.size()) {
        const ssize_t n = ::read(fd, buf.data() + used, buf.size() - 1 - used);
        if (n <= 0) {
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    ::close(fd);
    buf.at(used) = '\0';
    const auto field = [&buf](const char* name) -> long {
        const char* p = std::strstr(buf.data(), name);
        return p == nullptr ? -1 : std::strtol(p + std::strlen(name), nullptr, 10);
    };
    m.rssKb = field("VmRSS:");
    m.hwmKb = field("VmHWM:");
    m.anonKb = field("RssAnon:");
    m.fileKb = field("RssFile:");
    const struct mallinfo2 heap = ::mallinfo2();
    m.heapKb = static_cast<long>((heap.uordblks + heap.hblkhd) / 1024);
    return m;
}

} // namespace kelvara::bench
