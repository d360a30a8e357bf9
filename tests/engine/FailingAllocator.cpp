#include "FailingAllocator.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

// Plain thread-local integers: reading them allocates nothing and needs no initialiser call.
thread_local bool t_armed = false;
thread_local int64_t t_count = 0;
thread_local int64_t t_failAt = FailingAllocator::kNever;
thread_local bool t_fired = false;

// Counts one allocation of the calling thread; true when it is the one to fail.
bool failsNow() {
    if (!t_armed) return false;
    if (t_count++ != t_failAt) return false;
    t_fired = true;
    return true;
}

} // namespace

void FailingAllocator::arm(int64_t failAt) {
    t_count = 0;
    t_failAt = failAt;
    t_fired = false;
    t_armed = true;
}

void FailingAllocator::disarm() {
    t_armed = false;
}

int64_t FailingAllocator::count() {
    return t_count;
}

bool FailingAllocator::fired() {
    return t_fired;
}

// The linker sends the program's own calls here (see CMakeLists.txt); __real_ is the allocator
// the program would have called, the sanitizer's in the sanitizer build.
extern "C" {
void* __real_malloc(size_t);
void* __real_calloc(size_t, size_t);
void* __real_realloc(void*, size_t);
void* __real_aligned_alloc(size_t, size_t);
int __real_posix_memalign(void**, size_t, size_t);
void* __real__Znwm(size_t);
void* __real__Znam(size_t);
void* __real__ZnwmRKSt9nothrow_t(size_t, const std::nothrow_t&);
void* __real__ZnamRKSt9nothrow_t(size_t, const std::nothrow_t&);
void* __real__ZnwmSt11align_val_t(size_t, std::align_val_t);
void* __real__ZnamSt11align_val_t(size_t, std::align_val_t);
void* __real__ZnwmSt11align_val_tRKSt9nothrow_t(size_t, std::align_val_t, const std::nothrow_t&);
void* __real__ZnamSt11align_val_tRKSt9nothrow_t(size_t, std::align_val_t, const std::nothrow_t&);

void* __wrap_malloc(size_t n) {
    return failsNow() ? nullptr : __real_malloc(n);
}
void* __wrap_calloc(size_t count, size_t n) {
    return failsNow() ? nullptr : __real_calloc(count, n);
}
void* __wrap_realloc(void* p, size_t n) {
    return failsNow() ? nullptr : __real_realloc(p, n);
}
void* __wrap_aligned_alloc(size_t alignment, size_t n) {
    return failsNow() ? nullptr : __real_aligned_alloc(alignment, n);
}
int __wrap_posix_memalign(void** p, size_t alignment, size_t n) {
    return failsNow() ? ENOMEM : __real_posix_memalign(p, alignment, n);
}
void* __wrap__Znwm(size_t n) {
    if (failsNow()) throw std::bad_alloc();
    return __real__Znwm(n);
}
void* __wrap__Znam(size_t n) {
    if (failsNow()) throw std::bad_alloc();
    return __real__Znam(n);
}
void* __wrap__ZnwmRKSt9nothrow_t(size_t n, const std::nothrow_t& t) {
    return failsNow() ? nullptr : __real__ZnwmRKSt9nothrow_t(n, t);
}
void* __wrap__ZnamRKSt9nothrow_t(size_t n, const std::nothrow_t& t) {
    return failsNow() ? nullptr : __real__ZnamRKSt9nothrow_t(n, t);
}
void* __wrap__ZnwmSt11align_val_t(size_t n, std::align_val_t a) {
    if (failsNow()) throw std::bad_alloc();
    return __real__ZnwmSt11align_val_t(n, a);
}
void* __wrap__ZnamSt11align_val_t(size_t n, std::align_val_t a) {
    if (failsNow()) throw std::bad_alloc();
    return __real__ZnamSt11align_val_t(n, a);
}
void* __wrap__ZnwmSt11align_val_tRKSt9nothrow_t(size_t n, std::align_val_t a, const std::nothrow_t& t) {
    return failsNow() ? nullptr : __real__ZnwmSt11align_val_tRKSt9nothrow_t(n, a, t);
}
void* __wrap__ZnamSt11align_val_tRKSt9nothrow_t(size_t n, std::align_val_t a, const std::nothrow_t& t) {
    return failsNow() ? nullptr : __real__ZnamSt11align_val_tRKSt9nothrow_t(n, a, t);
}
}
