// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Order statistics for the benchmarks: a fixed histogram of durations for
// figures taken inside a run that must not allocate, and quantiles of
// small samples kept whole.
#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace kelvara::bench {

// Durations in 100 ns buckets up to 1 ms and 10 us buckets up to 101 ms,
// with the exact maximum kept aside; allocated once (80 kB), so that
// recording a value allocates nothing.
class Histogram {
public:
    using Nanos = std::chrono::nanoseconds;

    static constexpr std::int64_t kFineNs = 100;
    static constexpr std::int64_t kCoarseNs = 10'000;
    static constexpr std::int64_t kFineLimitNs = 1'000'000;
    static constexpr std::size_t kFine = kFineLimitNs / kFineNs;
    static constexpr std::size_t kBuckets = kFine + 10'000;

    Histogram() : counts_(kBuckets + 1, 0) {}

    void Reset() {
        std::fill(counts_.begin(), counts_.end(), 0);
        total_ = 0;
        max_ = Nanos::zero();
        over16ms_ = 0;
    }

    void Add(Nanos t) {
        const std::int64_t ns = std::max<std::int64_t>(t.count(), 0);
        const auto bucket = ns < kFineLimitNs
                                ? static_cast<std::size_t>(ns / kFineNs)
                                : kFine + static_cast<std::size_t>((ns - kFineLimitNs) / kCoarseNs);
        ++counts_[std::min(bucket, kBuckets)];
        ++total_;
        max_ = std::max(max_, t);
        if (t > std::chrono::milliseconds(16)) {
            ++over16ms_;
        }
    }

    [[nodiscard]] long Count() const { return total_; }
    [[nodiscard]] Nanos Max() const { return max_; }
    [[nodiscard]] long Over16ms() const { return over16ms_; }

    // Upper edge of the bucket that holds the q-quantile.
    [[nodiscard]] Nanos Quantile(double q) const {
        if (total_ == 0) {
            return Nanos::zero();
        }
        const auto rank = static_cast<long>(q * static_cast<double>(total_ - 1));
        long seen = 0;
        for (std::size_t i = 0; i < counts_.size(); ++i) {
            seen += counts_[i];
            if (seen > rank) {
                return std::min(max_, UpperEdge(i));
            }
        }
        return max_;
    }

private:
    [[nodiscard]] Nanos UpperEdge(std::size_t bucket) const {
        if (bucket < kFine) {
            return Nanos(static_cast<std::int64_t>(bucket + 1) * kFineNs);
        }
        if (bucket < kBuckets) {
            return Nanos(kFineLimitNs + static_cast<std::int64_t>(bucket - kFine + 1) * kCoarseNs);
        }
        return max_;
    }

    std::vector<std::uint32_t> counts_;
    long total_ = 0;
    Nanos max_ = Nanos::zero();
    long over16ms_ = 0;
};

// The q-quantile of a sample, interpolated between the two nearest ranks;
// 0 for an empty sample.
inline double Quantile(std::vector<double> v, double q) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    const double at = q * static_cast<double>(v.size() - 1);
    const auto lo = static_cast<std::size_t>(std::floor(at));
    const std::size_t hi = std::min(lo + 1, v.size() - 1);
    return v[lo] + (v[hi] - v[lo]) * (at - static_cast<double>(lo));
}

inline double Median(std::vector<double> v) {
    return Quantile(std::move(v), 0.5);
}

} // namespace kelvara::bench
