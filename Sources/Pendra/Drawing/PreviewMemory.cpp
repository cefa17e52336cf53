#include "PreviewMemory.h"

#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__) && defined(__linux__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#define PENDRA_TUNE_HEAP 1
#endif

namespace pendra {

namespace {

#if defined(PENDRA_TUNE_HEAP)

// Blocks up to this size come from the heap, not a mapping of their own;
// the preview's largest, its bitmap, is a quarter of it.
constexpr int mapAbove = 32 << 20;
// The heap grows by this much at a time: more than the preview holds at its
// peak, so it grows about once per stage.
constexpr int heapStep = 64 << 20;

// Makes the heap grow by a whole step now and asks for the new part to be backed by huge pages: one fault then brings
// in two megabytes instead of four kilobytes. Where the heap cannot grow in
// place, or the kernel has no huge pages, nothing changes.
void growHeap()
{
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // Volatile, so the compiler cannot leave out the allocation.
    void* volatile block = std::malloc(std::size_t(heapStep) / 4);
    std::free(block);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = (before + page - 1) & ~(page - 1);
    if (after > start)
        madvise(reinterpret_cast<void*>(start), after - start, MADV_HUGEPAGE);
}

#endif

} // namespace

void PreviewMemory::setUp()
{
#if defined(PENDRA_TUNE_HEAP)
    mallopt(M_MMAP_THRESHOLD, mapAbove);
    mallopt(M_TRIM_THRESHOLD, 2 * heapStep);
    mallopt(M_TOP_PAD, heapStep);
    mallopt(M_ARENA_MAX, 1);
    growHeap();
#endif
}

void PreviewMemory::giveBack()
{
#if defined(PENDRA_TUNE_HEAP)
    malloc_trim(0);
    // Trimming hands back the top of the heap, huge pages and all; the next
    // stage gets a fresh step.
    growHeap();
#endif
}

} // namespace pendra
