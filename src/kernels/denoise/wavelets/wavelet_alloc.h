#pragma once
// Allocation helpers of the wavelet toolkit. A 2-D array is a table of row pointers into one
// block; free it with the matching free_2d_* only. 1-D arrays are freed with std::free.
// With `zero` set the memory is zero-filled. On failure (or a size that cannot be held)
// they print "<name>: NULL pointer" and the system error under their name on standard
// error and return nullptr.

float* allocate_1d_float(int count, int zero);
double* allocate_1d_double(int count, int zero);
int* allocate_1d_int(int count, int zero);
unsigned char* allocate_1d_uchar(int count, int zero);

float** allocate_2d_float(int rows, int cols, int zero);
double** allocate_2d_double(int rows, int cols, int zero);
int** allocate_2d_int(int rows, int cols, int zero);

void free_2d_float(float** a);
void free_2d_double(double** a);
void free_2d_int(int** a);
