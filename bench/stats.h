// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Order statistics: a histogram of durations that records without
// allocating, for figures taken inside a run, and quantiles of samples.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <vector>

namespace kelvara::bench {

inline double Ms(std::int64_t ns) {
    return static_cast<double>(ns) / 1e6;
}

inline std::int64_t ClockNs(clockid_t clock = CLOCK_MONOTONIC) {
    timespec ts{};
    ::clock_gettime(clock, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// Nanoseconds in 100 ns buckets up to 1 ms, then 10 us buckets up to 101 ms,
// the largest kept exactly; 80 kB allocated once.
class Histogram {
public:
    void Add(std::int64_t ns) {
        ns = std::max<std::int64_t>(ns, 0);
        ++counts_[static_cast<std::size_t>(std::min(Bucket(ns), kBuckets - 1))];
        ++count_;
        max_ = std::max(max_, ns);
        over16ms_ += ns > 16'000'000 ? 1 : 0;
    }

    long Count() const { return count_; }
    long Over16ms() const { return over16ms_; }
    std::int64_t Max() const { return max_; }

    // The upper edge of the bucket that holds the q-quantile.
    std::int64_t Quantile(double q) const {
        const auto rank = static_cast<long>(q * static_cast<double>(count_ - 1));
        long seen = 0;
        std::int64_t b = 0;
        while (b < kBuckets - 1 && (seen += counts_[static_cast<std::size_t>(b)]) <= rank) {
            ++b;
        }
        return std::min(max_, b < kFine ? (b + 1) * 100 : 1'000'000 + (b + 1 - kFine) * 10'000);
    }

private:
    static constexpr std::int64_t kFine = 10'000;
    static constexpr std::int64_t kBuckets = kFine + 10'000;
    static std::int64_t Bucket(std::int64_t ns) {
        return ns < 1'000'000 ? ns / 100 : kFine + (ns - 1'000'000) / 10'000;
    }

    std::vector<std::uint32_t> counts_ = std::vector<std::uint32_t>(kBuckets, 0);
    long count_ = 0;
    long over16ms_ = 0;
    std::int64_t max_ = 0;
};

// The q-quantile of a sample, NaNs left out, between the two nearest ranks.
inline double Quantile(std::vector<double> v, double q) {
    std::erase_if(v, [](double x) { return std::isnan(x); });
    if (v.empty()) {
        return std::nan("");
    }
    std::sort(v.begin(), v.end());
    const double at = q * static_cast<double>(v.size() - 1);
    const auto lo = static_cast<std::size_t>(at);
    const std::size_t hi = std::min(lo + 1, v.size() - 1);
    return v[lo] + (v[hi] - v[lo]) * (at - static_cast<double>(lo));
}

} // namespace kelvara::bench
