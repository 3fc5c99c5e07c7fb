// Memory for large buffers: a buffer of tens of megabytes, touched for the first
// time, costs the system one page fault for every 4 KiB unless it is backed by
// large pages. Only a hint, which changes nothing that is stored in the buffer.
#pragma once

#include <cstddef>

namespace tvb {

// Asks for large pages under the whole 2 MiB blocks of [data, data + size).
// Call it after reserving the buffer and before writing to it.
void PreferLargePages(const void* data, std::size_t size);

}  // namespace tvb
