#include "files/large_pages.h"

#include <sys/mman.h>

#include <cstdint>

namespace tvb {

void PreferLargePages(const void* data, std::size_t size) {
#ifdef MADV_HUGEPAGE
  constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t begin = (start + kLargePage - 1) & ~(kLargePage - 1);
  const std::uintptr_t end = (start + size) & ~(kLargePage - 1);
  // A refusal (large pages switched off) leaves ordinary pages: nothing to report.
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  static_cast<void>(data);
  static_cast<void>(size);
#endif
}

}  // namespace tvb
