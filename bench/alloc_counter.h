// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Counts heap allocations made through the global operator new, so that a
// benchmark or a test can show that a stretch of code allocates nothing.
//
// Linking alloc_counter.cpp into an executable replaces the global
// allocation functions for the whole program. Counting is off until
// StartCounting(); everything runs on one thread, so plain counters do.
#pragma once

#include <cstdint>

namespace kelvara::alloc {

// Sets the count to zero and counts from now on.
void StartCounting();
// Stops counting and returns the number of allocations since StartCounting().
std::uint64_t StopCounting();
// Allocations counted so far (counting may still be on).
std::uint64_t Count();

} // namespace kelvara::alloc
