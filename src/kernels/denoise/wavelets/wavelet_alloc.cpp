#include "kernels/denoise/wavelets/wavelet_alloc.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void report(const char* name) {
    std::fprintf(stderr, "%10s: NULL pointer\n", name);
    std::perror(name);
}

void* block(size_t count, size_t size, int zero, const char* name) {
    if (count > size_t(PTRDIFF_MAX) / (size ? size : 1)) {
        errno = ENOMEM;
        report(name);
        return nullptr;
    }
    const size_t n = count ? count : 1; // a zero-sized request still gets a distinct block
    void* p = zero ? std::calloc(n, size) : std::malloc(n * size);
    if (!p) report(name);
    return p;
}

template <typename T> T* allocate_1d(int count, int zero, const char* name) {
    if (count < 0) {
        errno = EINVAL;
        report(name);
        return nullptr;
    }
    return static_cast<T*>(block(size_t(count), sizeof(T), zero, name));
}

template <typename T> T** allocate_2d(int rows, int cols, int zero, const char* name) {
    if (rows < 0 || cols < 0) {
        errno = EINVAL;
        report(name);
        return nullptr;
    }
    T* data = static_cast<T*>(block(size_t(rows) * size_t(cols), sizeof(T), zero, name));
    if (!data) return nullptr;
    T** table = static_cast<T**>(block(size_t(rows), sizeof(T*), 0, name));
    if (!table) {
        std::free(data);
        return nullptr;
    }
    for (int r = 0; r < rows; ++r)
        table[r] = data + size_t(r) * size_t(cols);
    if (rows == 0) table[0] = data; // keeps the block reachable for free_2d
    return table;
}

template <typename T> void free_2d(T** a) {
    if (!a) return;
    std::free(a[0]);
    std::free(a);
}

} // namespace

float* allocate_1d_float(int count, int zero) {
    return allocate_1d<float>(count, zero, "allocate_1d_float");
}
double* allocate_1d_double(int count, int zero) {
    return allocate_1d<double>(count, zero, "allocate_1d_double");
}
int* allocate_1d_int(int count, int zero) {
    return allocate_1d<int>(count, zero, "allocate_1d_int");
}
unsigned char* allocate_1d_uchar(int count, int zero) {
    return allocate_1d<unsigned char>(count, zero, "allocate_1d_uchar");
}

float** allocate_2d_float(int rows, int cols, int zero) {
    return allocate_2d<float>(rows, cols, zero, "allocate_2d_float");
}
double** allocate_2d_double(int rows, int cols, int zero) {
    return allocate_2d<double>(rows, cols, zero, "allocate_2d_double");
}
int** allocate_2d_int(int rows, int cols, int zero) {
    return allocate_2d<int>(rows, cols, zero, "allocate_2d_int");
}

void free_2d_float(float** a) {
    free_2d(a);
}
void free_2d_double(double** a) {
    free_2d(a);
}
void free_2d_int(int** a) {
    free_2d(a);
}
