#pragma once
// Single-precision 3-vectors, 4 x 4 matrices and polygons ("shapes") of such vectors.
// init_matrix and matr4_rdot apply an affine colour matrix to (r, g, b) triples.
#include <cstdint>

struct vec_t {
    float x, y, z;
};

// m[row][column].
struct matr4_t {
    float m[4][4];
};

// n points in a malloc'd array owned by the shape.
struct shape_t {
    int32_t n;
    vec_t* p;
};

// n shapes in a malloc'd array owned by the outline.
struct outline_t {
    int32_t n;
    shape_t* s;
};

// The sixteen values are a matrix written row by row; it is stored transposed, so that
// matr4_rdot gives out_j = row_j . (in, 1).
matr4_t init_matrix(float a0, float a1, float a2, float a3, float a4, float a5, float a6, float a7, float a8,
                    float a9, float a10, float a11, float a12, float a13, float a14, float a15);

// v as a row vector with an implicit fourth component 1, times m.
inline vec_t matr4_rdot(vec_t v, matr4_t m) {
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + m.m[3][0],
            v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + m.m[3][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + m.m[3][2]};
}

// The matrix product a x b.
matr4_t matr4_mul(matr4_t a, matr4_t b);

vec_t vec_xyz(float x, float y, float z);
vec_t vec_ex();
vec_t vec_ey();
vec_t vec_ez();
vec_t vec_null();
vec_t vec_add(vec_t a, vec_t b);
vec_t vec_diff(vec_t a, vec_t b);
vec_t vec_scale(vec_t a, float s);
float vec_mul(vec_t a, vec_t b); // dot product
vec_t vec_cross(vec_t a, vec_t b);
float vec_abs(vec_t a);
float vec_abssq(vec_t a);
vec_t vec_unit(vec_t a); // the zero vector stays zero
bool vec_equal(vec_t a, vec_t b);
bool vec_nearly_equal(vec_t a, vec_t b, float eps);
float vec_angle(vec_t a, vec_t b); // radians
vec_t vec_proj(vec_t a, vec_t b);  // a unchanged when b is zero
vec_t vec_ncomp(vec_t a, vec_t b);
float vec_ndist(vec_t p, vec_t a, vec_t b);
// Where the line through a and b meets the plane through p with normal n.
vec_t vec_surf_proj(vec_t a, vec_t b, vec_t p, vec_t n);

// Rotates count points in place by angle (radians, right-handed) about the axis through the
// origin; angle 0 or a zero axis leaves them alone.
void rot_ax(vec_t axis, float angle, vec_t* points, int count);
// v rotated about r's direction by r's length.
vec_t vec_rotate(vec_t v, vec_t r);
// Rotates the shape by angle about the axis through centre. Each point's offset from centre is
// first taken apart along the axis, along ref made normal to the axis, and along their cross
// product, and those components are multiplied by scale.x, scale.y and scale.z.
void shape_rot_ax(shape_t* shape, vec_t centre, vec_t axis, vec_t ref, vec_t scale, float angle);
void shape_trans(shape_t* shape, vec_t d);
void shape_flip(shape_t* shape);
// Copies n points into dest, resizing its array when the count differs. When memory runs
// out, dest is left as it was and the failure goes to standard error.
void shape_copy(int n, const vec_t* points, shape_t* dest);
// The same for an outline, copying every shape.
void outline_copy(int n, const shape_t* shapes, outline_t* dest);
// Copies src into dest without the points that lie within 0.1 of their successor (the first
// point follows the last); dest may be src. Answers how many were dropped.
int remove_idle_points(const shape_t* src, shape_t* dest);
// Signed area of the projection on the xy plane, positive counter-clockwise.
float shape_area(int n, const vec_t* points);

vec_t tri_center(vec_t a, vec_t b, vec_t c);
float tri_area_xy(vec_t a, vec_t b, vec_t c);
float tri_vol_xy(vec_t a, vec_t b, vec_t c);
