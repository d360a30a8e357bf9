#pragma once
// The one place where whole-image kernels split their work across threads. A kernel cuts its
// work into independent items (rows, column strips) whose results do not depend on how they are
// grouped, so the output is the same byte for byte whatever the thread count.

#include <functional>

// Threads a kernel may use; 0 restores the default (one per hardware thread). 1 runs every kernel
// on its calling thread only.
void kernel_set_threads(unsigned count);
unsigned kernel_threads();

// Runs fn(begin, end) over contiguous chunks covering [0, count), each at least min_items long
// (except when count itself is smaller), on up to kernel_threads() threads. The calling thread
// takes a chunk itself and returns when every chunk is done.
void kernel_parallel_for(int count, int min_items, const std::function<void(int begin, int end)>& fn);
