#include "heap_retention.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void RetainLargeFreedBlocks()
{
#if defined(__GLIBC__)
    // Qt lays out the entry box's whole text again on every repaint of the
    // box. With a pasted megabyte in it, each repaint allocates and frees
    // tens of megabytes of glyph data. By default glibc maps each block of
    // that size on its own and unmaps it when it is freed, so every repaint
    // faults all of those pages in again, zeroed: that doubled its cost
    // (120 ms instead of 55 ms here), and a repaint of the entry box stands
    // between a click on 計算 and its error box. Blocks up to the largest
    // threshold glibc accepts (32 MiB) now come from the heap, and up to
    // 256 MiB freed at its top stay there. Only a text that large ever
    // asks for this much; an ordinary session never does.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
}
