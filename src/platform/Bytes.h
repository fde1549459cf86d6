#pragma once
// The byte array of documents, patterns and blocks: a contiguous buffer whose growth
// leaves new bytes uninitialised. Opening 16 MiB then costs one read into the buffer,
// not a zero fill before it; every resize that grows is followed by a write of the
// new bytes, or passes the value to fill with.

#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace quillory {

template <typename T> struct DefaultInitAllocator : std::allocator<T> {
    template <typename U> struct rebind { using other = DefaultInitAllocator<U>; };
    DefaultInitAllocator() = default;
    template <typename U> DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}

    // resize(n) default-initialises: for bytes that means no write at all.
    template <typename U>
    void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args> void construct(U* p, Args&&... args) {
        std::construct_at(p, std::forward<Args>(args)...);
    }
};

using Bytes = std::vector<std::uint8_t, DefaultInitAllocator<std::uint8_t>>;

} // namespace quillory
