#pragma once

// The process's heap (glibc's allocator), set up for a long-running editor:
// dozens of threads (decoders, the compositor's bands, the pools) allocate
// frames and projects, and by default each gets an arena of its own that keeps
// what it freed. After a long session most of the editor's resident memory was
// such kept memory, free but never handed back.
namespace vexel::memory {

// The most arenas the heap spreads over (by default eight a core): enough
// that threads seldom wait for one another's allocations (with four, a large
// project's edits took some 7 % more processor time), few enough that what
// each keeps free stays small.
inline constexpr int maxArenas = 8;
// A free block at an arena's end larger than this goes back to the system.
inline constexpr int trimThreshold = 1 << 20;

// Limits the heap to maxArenas arenas; a free block at an arena's end beyond
// trimThreshold goes back at once, and blocks of 128 KiB and more are mapped
// on their own, so freed they go back too. By its own rule the allocator,
// after the first large frame is freed, serves blocks up to that size from
// the arenas and keeps up to twice it free in each. Call once, early, before
// the editor's threads start: arenas made before stay. Calling it again
// changes nothing.
void boundHeapGrowth();

// Hands the free heap's whole pages back to the system, from all arenas. Takes
// time in proportion to the free heap and holds each arena's lock in turn: for
// a worker thread, while the editor is idle.
void releaseFreeHeap();

} // namespace vexel::memory
