#pragma once

namespace pendra {

// How the preview, a short run that decodes and draws a few dozen large
// pictures, keeps the C library's heap: freed blocks are used again rather
// than handed back, the heap grows in large steps, and each step is backed by
// huge pages where the kernel offers them. Faulting memory in page by page is
// otherwise the largest part of the run on some machines. Nothing here
// matters for the program's pictures, only for how fast they are made.
class PreviewMemory {
public:
    // Before anything large is allocated.
    static void setUp();
    // Hands memory freed so far back to the system, so that what one stage
    // freed does not add to the peak of the next.
    static void giveBack();
};

} // namespace pendra
