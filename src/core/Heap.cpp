#include "core/Heap.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

bool KeepLargeBlocksMapped() {
#if defined(__GLIBC__)
  const bool mapped = mallopt(M_MMAP_THRESHOLD, static_cast<int>(LARGE_BLOCK_BYTES)) == 1;
  const bool kept = mallopt(M_TRIM_THRESHOLD, static_cast<int>(HEAP_TOP_KEPT_BYTES)) == 1;
  return mapped && kept;
#else
  return false;
#endif
}
