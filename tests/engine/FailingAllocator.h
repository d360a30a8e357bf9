#pragma once
// A test hook on the allocator of the engine test program: while armed on a thread, the
// allocations that thread makes through operator new (every form), malloc, calloc, realloc,
// aligned_alloc and posix_memalign are counted, and the one numbered failAt fails as an exhausted
// heap fails (bad_alloc, or null for the nothrow and C forms). Other threads, and code in shared
// libraries (Qt, the image library, the C++ runtime's own allocations), are never touched: the
// hook wraps the calls the program's own objects make (linker --wrap), so the sanitizers keep
// checking every block.
#include <cstdint>

class FailingAllocator {
  public:
    static constexpr int64_t kNever = INT64_MAX;
    // Starts counting on the calling thread from 0; the allocation numbered failAt fails.
    static void arm(int64_t failAt = kNever);
    // Stops counting; what was counted stays readable.
    static void disarm();
    // Allocations counted since arm, the failed one included.
    static int64_t count();
    // Whether the allocation numbered failAt was reached (and failed).
    static bool fired();
};

// Armed for its lifetime.
class ArmedAllocator {
  public:
    explicit ArmedAllocator(int64_t failAt = FailingAllocator::kNever) { FailingAllocator::arm(failAt); }
    ~ArmedAllocator() { FailingAllocator::disarm(); }
    ArmedAllocator(const ArmedAllocator&) = delete;
    ArmedAllocator& operator=(const ArmedAllocator&) = delete;
};
