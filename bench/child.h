// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// A program that a benchmark starts and watches from outside: spawned with
// extra environment, its standard output read line by line through a pipe,
// its end awaited against a deadline. Times are CLOCK_MONOTONIC nanoseconds.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvara::bench {

std::int64_t MonotonicNs();
void SleepNs(std::int64_t ns);

class Child {
public:
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    Child(Child&&) = delete;
    Child& operator=(Child&&) = delete;
    // Ends the program if it still runs.
    ~Child();

    // Starts `exe` with `args` and this process's environment plus
    // `extraEnv` ("NAME=value"). With `readOutput` its standard output comes
    // to ReadLine; otherwise it shares this process's.
    bool Start(const std::string& exe, const std::vector<std::string>& args,
               const std::vector<std::string>& extraEnv, bool readOutput);

    [[nodiscard]] pid_t Pid() const { return pid_; }

    // The next whole line of output, without its newline, waiting for it
    // until `deadlineNs`; nothing once the deadline has passed with no line
    // written, or the output has ended.
    std::optional<std::string> ReadLine(std::int64_t deadlineNs);

    // True once the program has ended, its wait status in `status`; polls
    // every `pollNs` until `deadlineNs` (a deadline in the past: looks once).
    bool Ended(std::int64_t deadlineNs, int& status, std::int64_t pollNs = 100'000);

    // SIGTERM, then waits for the end.
    void Stop();

private:
    pid_t pid_ = -1;
    int out_ = -1;
    bool reaped_ = true;
    int status_ = 0;
    std::string pending_;
};

} // namespace kelvara::bench
