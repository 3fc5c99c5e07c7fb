// Memory for large buffers: a buffer of tens of megabytes, touched for the first
// time, costs the system one page fault for every 4 KiB unless it is backed by
// large pages. Only a hint, which changes nothing that is stored in the buffer.
#pragma once

#include <cstddef>
#include <memory>

namespace tvb {

// Asks for large pages under the whole 2 MiB blocks of [data, data + size).
// Call it after reserving the buffer and before writing to it.
void PreferLargePages(const void* data, std::size_t size);

// An allocator whose blocks ask for large pages as they are allocated, before
// anything is written to them: for a buffer that grows to tens of megabytes.
template <typename T>
struct LargePageAllocator {
  using value_type = T;
  LargePageAllocator() = default;
  template <typename U>
  explicit LargePageAllocator(const LargePageAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) {
    T* block = std::allocator<T>{}.allocate(n);
    PreferLargePages(block, n * sizeof(T));
    return block;
  }
  void deallocate(T* block, std::size_t n) noexcept { std::allocator<T>{}.deallocate(block, n); }
  friend bool operator==(const LargePageAllocator&, const LargePageAllocator&) { return true; }
};

}  // namespace tvb
