// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "alloc_counter.h"

#include <cstdlib>
#include <new>

namespace {

bool counting = false;
std::uint64_t allocations = 0;

// An alignment of 0: malloc's own.
void* Allocate(std::size_t size, std::align_val_t alignment = {}) {
    allocations += counting ? 1 : 0;
    const auto a = static_cast<std::size_t>(alignment);
    // aligned_alloc wants a size that is a multiple of the alignment.
    return a == 0 ? std::malloc(size == 0 ? 1 : size)
                  : std::aligned_alloc(a, size == 0 ? a : (size + a - 1) / a * a);
}

void* AllocateOrThrow(std::size_t size, std::align_val_t alignment = {}) {
    void* p = Allocate(size, alignment);
    return p != nullptr ? p : throw std::bad_alloc();
}

} // namespace

namespace kelvara::alloc {

void StartCounting() {
    allocations = 0;
    counting = true;
}

std::uint64_t StopCounting() {
    counting = false;
    return allocations;
}

} // namespace kelvara::alloc

// Every replaceable form ([new.delete]), so that none of them reaches
// another allocator (a sanitizer's) whose delete would not match; the array
// form of each is the same as the single one.
using Align = std::align_val_t;
using NoThrow = std::nothrow_t;
using Block = void*; // a "void*" would read to clang-tidy as a product in a macro

// clang-format off
#define KELVARA_NEW(except, call, ...) \
    Block operator new(__VA_ARGS__) except { return call; } \
    Block operator new[](__VA_ARGS__) except { return call; }
#define KELVARA_DELETE(...) \
    void operator delete(__VA_ARGS__) noexcept { std::free(p); } \
    void operator delete[](__VA_ARGS__) noexcept { std::free(p); }
// clang-format on

KELVARA_NEW(, AllocateOrThrow(n), std::size_t n)
KELVARA_NEW(noexcept, Allocate(n), std::size_t n, const NoThrow& /*tag*/)
KELVARA_NEW(, AllocateOrThrow(n, a), std::size_t n, Align a)
KELVARA_NEW(noexcept, Allocate(n, a), std::size_t n, Align a, const NoThrow& /*tag*/)
KELVARA_DELETE(void* p)
KELVARA_DELETE(void* p, std::size_t /*n*/)
KELVARA_DELETE(void* p, const NoThrow& /*tag*/)
KELVARA_DELETE(void* p, Align /*a*/)
KELVARA_DELETE(void* p, std::size_t /*n*/, Align /*a*/)
KELVARA_DELETE(void* p, Align /*a*/, const NoThrow& /*tag*/)
