// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// What /proc tells about the machine and about other processes: the load
// beside which every figure must be read, and processor time by process.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kelvara::bench {

// The first three fields of /proc/loadavg, or "unknown".
inline std::string LoadAverage() {
    std::FILE* f = std::fopen("/proc/loadavg", "r");
    if (f == nullptr) {
        return "unknown";
    }
    std::array<char, 128> buf{};
    const bool ok = std::fgets(buf.data(), static_cast<int>(buf.size()), f) != nullptr;
    std::fclose(f);
    if (!ok) {
        return "unknown";
    }
    std::string s(buf.data());
    std::size_t at = 0;
    for (int field = 0; field < 3 && at != std::string::npos; ++field) {
        at = s.find(' ', at + 1);
    }
    return s.substr(0, at);
}

// Processors online, as nproc counts them.
inline long Cores() {
    return ::sysconf(_SC_NPROCESSORS_ONLN);
}

// User plus system time of every thread of process `pid` so far, in
// seconds (to the kernel's clock tick, 10 ms here), or -1 once it is gone.
inline double CpuSeconds(pid_t pid) {
    const std::string path = "/proc/" + std::to_string(pid) + "/stat";
    std::FILE* f = std::fopen(path.c_str(), "r");
    if (f == nullptr) {
        return -1;
    }
    std::array<char, 1024> buf{};
    const std::size_t n = std::fread(buf.data(), 1, buf.size() - 1, f);
    std::fclose(f);
    buf.at(n) = '\0';
    // The command name may hold spaces and parentheses: the fields that
    // follow start after the last ')'. utime and stime are the 12th and
    // 13th of them.
    const char* p = std::strrchr(buf.data(), ')');
    if (p == nullptr) {
        return -1;
    }
    for (int field = 0; field < 12 && p != nullptr; ++field) {
        p = std::strchr(p + 1, ' ');
    }
    if (p == nullptr) {
        return -1;
    }
    char* end = nullptr;
    const double utime = std::strtod(p + 1, &end);
    const double stime = std::strtod(end, nullptr);
    return (utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

} // namespace kelvara::bench
