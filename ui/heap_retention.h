// How the process's heap treats large blocks.
#pragma once

// Keeps large freed blocks in the heap for reuse, instead of handing each one
// back to the system at once. Call once, before the first window exists.
void RetainLargeFreedBlocks();
