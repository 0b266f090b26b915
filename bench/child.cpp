// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "child.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace kelvara::bench {

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

namespace {

// The argv or envp form of `strings`, which must outlive it.
std::vector<char*> NullTerminated(std::vector<std::string>& strings) {
    std::vector<char*> v;
    v.reserve(strings.size() + 1);
    for (std::string& s : strings) {
        v.push_back(s.data());
    }
    v.push_back(nullptr);
    return v;
}

} // namespace

Child::~Child() {
    Stop();
}

bool Child::Start(const std::string& exe, const std::vector<std::string>& args,
                  const std::vector<std::string>& extraEnv, bool readOutput) {
    Stop();
    pending_.clear();
    std::array<int, 2> pipeFds{-1, -1};
    if (readOutput && ::pipe2(pipeFds.data(), O_CLOEXEC) != 0) {
        return false;
    }
    posix_spawn_file_actions_t actions{};
    posix_spawn_file_actions_init(&actions);
    if (readOutput) {
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    }

    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        env.emplace_back(*e);
    }
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<std::string> argStrings{exe};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> envp = NullTerminated(env);
    std::vector<char*> argv = NullTerminated(argStrings);

    pid_t pid = 0;
    const int spawned =
        ::posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (readOutput) {
        ::close(pipeFds[1]);
    }
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", exe.c_str(), std::strerror(spawned));
        if (readOutput) {
            ::close(pipeFds[0]);
        }
        return false;
    }
    pid_ = pid;
    out_ = readOutput ? pipeFds[0] : -1;
    reaped_ = false;
    return true;
}

std::optional<std::string> Child::ReadLine(std::int64_t deadlineNs) {
    for (;;) {
        if (const auto nl = pending_.find('\n'); nl != std::string::npos) {
            std::string line = pending_.substr(0, nl);
            pending_.erase(0, nl + 1);
            return line;
        }
        if (out_ < 0) {
            return std::nullopt;
        }
        // Once the deadline has passed, what has already been written is
        // still read.
        const std::int64_t left = std::max<std::int64_t>(0, deadlineNs - MonotonicNs());
        pollfd p{out_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>((left + 999'999) / 1'000'000)) <= 0) {
            if (left == 0) {
                return std::nullopt;
            }
            continue;
        }
        std::array<char, 512> buf{};
        const ssize_t n = ::read(out_, buf.data(), buf.size());
        if (n <= 0) {
            ::close(out_);
            out_ = -1;
            return std::nullopt;
        }
        pending_.append(buf.data(), static_cast<std::size_t>(n));
    }
}

bool Child::Ended(std::int64_t deadlineNs, int& status, std::int64_t pollNs) {
    for (;;) {
        if (!reaped_ && ::waitpid(pid_, &status_, WNOHANG) == pid_) {
            reaped_ = true;
        }
        if (reaped_) {
            status = status_;
            return true;
        }
        if (MonotonicNs() >= deadlineNs) {
            return false;
        }
        SleepNs(pollNs);
    }
}

void Child::Stop() {
    if (!reaped_) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        reaped_ = true;
    }
    if (out_ >= 0) {
        ::close(out_);
        out_ = -1;
    }
}

} // namespace kelvara::bench
