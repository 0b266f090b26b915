// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "alloc_counter.h"

#include <cstdlib>
#include <new>

namespace kelvara::alloc {

namespace {

bool counting = false;
std::uint64_t allocations = 0;

void* Allocate(std::size_t size) {
    if (counting) {
        ++allocations;
    }
    return std::malloc(size == 0 ? 1 : size);
}

void* AllocateAligned(std::size_t size, std::align_val_t align) {
    if (counting) {
        ++allocations;
    }
    const auto alignment = static_cast<std::size_t>(align);
    // aligned_alloc wants a size that is a multiple of the alignment.
    const std::size_t rounded = (size + alignment - 1) / alignment * alignment;
    return std::aligned_alloc(alignment, rounded == 0 ? alignment : rounded);
}

} // namespace

void StartCounting() {
    allocations = 0;
    counting = true;
}

std::uint64_t StopCounting() {
    counting = false;
    return allocations;
}

std::uint64_t Count() {
    return allocations;
}

} // namespace kelvara::alloc

// The replaceable global allocation functions ([new.delete]); the sized,
// array and nothrow forms all come through the two helpers above.

void* operator new(std::size_t size) {
    if (void* p = kelvara::alloc::Allocate(size)) {
        return p;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    return ::operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
    return kelvara::alloc::Allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
    return kelvara::alloc::Allocate(size);
}

void* operator new(std::size_t size, std::align_val_t align) {
    if (void* p = kelvara::alloc::AllocateAligned(size, align)) {
        return p;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size, std::align_val_t align) {
    return ::operator new(size, align);
}

void* operator new(std::size_t size, std::align_val_t align,
                   const std::nothrow_t& /*tag*/) noexcept {
    return kelvara::alloc::AllocateAligned(size, align);
}

void* operator new[](std::size_t size, std::align_val_t align,
                     const std::nothrow_t& /*tag*/) noexcept {
    return kelvara::alloc::AllocateAligned(size, align);
}

void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t /*size*/) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t /*size*/) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t& /*tag*/) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t& /*tag*/) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t /*align*/) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t /*align*/) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t /*size*/, std::align_val_t /*align*/) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t /*size*/, std::align_val_t /*align*/) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t /*align*/, const std::nothrow_t& /*tag*/) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t /*align*/,
                       const std::nothrow_t& /*tag*/) noexcept {
    std::free(p);
}
