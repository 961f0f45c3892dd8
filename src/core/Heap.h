#pragma once
// How the C library places the program's memory blocks. The game's large blocks are short-lived
// and their sizes change with each episode: archive files read whole, decoded pictures, the
// driver's copies of textures, display-list vertices and pictures written back to the window.
// glibc's own rule puts a large block in its main heap once a larger block that had a mapping of
// its own has been freed (the threshold follows the largest such block, up to 32 MB). In the heap
// the short-lived blocks leave holes that the next episode's sizes do not fit, and the heap, which
// only gives memory back from its top, grew by megabytes the first time each episode was played.
// A fixed threshold keeps every large block in a mapping of its own, given back to the system
// when the block is freed.
#include <cstddef>

// Blocks of this many bytes or more get a mapping of their own (glibc's starting threshold).
constexpr std::size_t LARGE_BLOCK_BYTES = 128 * 1024;
// Free space the heap keeps at its top instead of giving it back. The rasteriser fills and frees
// several MB of 64 KB blocks every frame (about 9 MB in a heavy frame); given back each time, it
// would be taken again and zeroed page by page in the next frame.
constexpr std::size_t HEAP_TOP_KEPT_BYTES = 16 * 1024 * 1024;

// Sets both for the rest of the process (glibc then stops moving either); meant for start-up,
// before the large blocks come. False where the C library does not take the settings (another
// allocator, or a sanitizer's, which places blocks its own way).
bool KeepLargeBlocksMapped();
