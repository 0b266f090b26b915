// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Counts allocations through the global operator new, which linking
// alloc_counter.cpp replaces for the whole program: to show that a stretch
// of code allocates nothing. One thread only.
#pragma once

#include <cstdint>

namespace kelvara::alloc {

// Sets the count to zero and counts from now on.
void StartCounting();
// Stops counting and returns the number of allocations since StartCounting().
std::uint64_t StopCounting();

} // namespace kelvara::alloc
