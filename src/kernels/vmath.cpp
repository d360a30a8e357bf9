#include "kernels/vmath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

matr4_t init_matrix(float a0, float a1, float a2, float a3, float a4, float a5, float a6, float a7, float a8,
                    float a9, float a10, float a11, float a12, float a13, float a14, float a15) {
    matr4_t r = {{{a0, a1, a2, a3}, {a4, a5, a6, a7}, {a8, a9, a10, a11}, {a12, a13, a14, a15}}};
    for (int i = 0; i < 4; ++i)
        for (int t = 0; t < i; ++t)
            std::swap(r.m[i][t], r.m[t][i]);
    return r;
}

matr4_t matr4_mul(matr4_t a, matr4_t b) {
    matr4_t c;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a.m[i][k] * b.m[k][j];
            c.m[i][j] = sum;
        }
    return c;
}

vec_t vec_xyz(float x, float y, float z) {
    return {x, y, z};
}
vec_t vec_ex() {
    return {1, 0, 0};
}
vec_t vec_ey() {
    return {0, 1, 0};
}
vec_t vec_ez() {
    return {0, 0, 1};
}
vec_t vec_null() {
    return {0, 0, 0};
}
vec_t vec_add(vec_t a, vec_t b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
vec_t vec_diff(vec_t a, vec_t b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
vec_t vec_scale(vec_t a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
float vec_mul(vec_t a, vec_t b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
vec_t vec_cross(vec_t a, vec_t b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float vec_abssq(vec_t a) {
    return vec_mul(a, a);
}
float vec_abs(vec_t a) {
    return std::sqrt(vec_abssq(a));
}

vec_t vec_unit(vec_t a) {
    const float len = vec_abs(a);
    if (len == 0) return vec_null();
    return {a.x / len, a.y / len, a.z / len};
}

bool vec_equal(vec_t a, vec_t b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

bool vec_nearly_equal(vec_t a, vec_t b, float eps) {
    return std::fabs(a.x - b.x) < eps && std::fabs(a.y - b.y) < eps && std::fabs(a.z - b.z) < eps;
}

float vec_angle(vec_t a, vec_t b) {
    // Rounding can push the cosine of nearly parallel vectors past 1.
    const float c = vec_mul(vec_unit(a), vec_unit(b));
    return std::acos(std::clamp(c, -1.0f, 1.0f));
}

vec_t vec_proj(vec_t a, vec_t b) {
    const float bb = vec_mul(b, b);
    if (!(bb > 0)) return a;
    return vec_scale(b, vec_mul(a, b) / bb);
}

vec_t vec_ncomp(vec_t a, vec_t b) {
    return vec_diff(a, vec_proj(a, b));
}

float vec_ndist(vec_t p, vec_t a, vec_t b) {
    return vec_abs(vec_ncomp(vec_diff(p, a), vec_diff(b, a)));
}

vec_t vec_surf_proj(vec_t a, vec_t b, vec_t p, vec_t n) {
    const float da = vec_mul(vec_diff(a, p), n);
    const float db = vec_mul(vec_diff(b, p), n);
    const float t = da / (da - db);
    return vec_add(a, vec_scale(vec_diff(b, a), t));
}

namespace {

// Right-handed frame (u, v, w) for the unit axis u: v is the hint made normal to u, or, when
// the hint has no such part, the coordinate axis least aligned with u.
void frame(vec_t u, vec_t hint, vec_t& v, vec_t& w) {
    v = vec_unit(vec_ncomp(hint, u));
    if (vec_abssq(v) == 0) {
        const float ax = std::fabs(u.x), ay = std::fabs(u.y), az = std::fabs(u.z);
        const vec_t e = ax <= ay && ax <= az ? vec_ex() : (ay <= az ? vec_ey() : vec_ez());
        v = vec_unit(vec_ncomp(e, u));
    }
    w = vec_cross(u, v);
}

// Offset d in the frame, its components scaled, then turned by (cos, sin) about u.
vec_t turn(vec_t d, vec_t u, vec_t v, vec_t w, vec_t scale, float c, float s) {
    const float du = vec_mul(d, u) * scale.x;
    const float dv = vec_mul(d, v) * scale.y;
    const float dw = vec_mul(d, w) * scale.z;
    const float rv = dv * c - dw * s;
    const float rw = dv * s + dw * c;
    return vec_add(vec_add(vec_scale(u, du), vec_scale(v, rv)), vec_scale(w, rw));
}

} // namespace

void rot_ax(vec_t axis, float angle, vec_t* points, int count) {
    const vec_t u = vec_unit(axis);
    if (angle == 0 || vec_abssq(u) == 0) return;
    vec_t v, w;
    frame(u, vec_null(), v, w);
    const float c = std::cos(angle), s = std::sin(angle);
    for (int i = 0; i < count; ++i)
        points[i] = turn(points[i], u, v, w, {1, 1, 1}, c, s);
}

vec_t vec_rotate(vec_t v, vec_t r) {
    rot_ax(r, vec_abs(r), &v, 1);
    return v;
}

void shape_rot_ax(shape_t* shape, vec_t centre, vec_t axis, vec_t ref, vec_t scale, float angle) {
    const vec_t u = vec_unit(axis);
    if (vec_abssq(u) == 0) return;
    vec_t v, w;
    frame(u, ref, v, w);
    const float c = std::cos(angle), s = std::sin(angle);
    for (int i = 0; i < shape->n; ++i)
        shape->p[i] = vec_add(centre, turn(vec_diff(shape->p[i], centre), u, v, w, scale, c, s));
}

void shape_trans(shape_t* shape, vec_t d) {
    for (int i = 0; i < shape->n; ++i)
        shape->p[i] = vec_add(shape->p[i], d);
}

void shape_flip(shape_t* shape) {
    std::reverse(shape->p, shape->p + std::max(shape->n, 0));
}

namespace {

// Gives dest room for exactly n points; false (dest unchanged) when memory runs out.
bool resize_points(shape_t* dest, int n) {
    if (dest->n == n && (n == 0 || dest->p)) return true;
    if (n <= 0) {
        std::free(dest->p);
        dest->p = nullptr;
        dest->n = 0;
        return true;
    }
    auto* p = static_cast<vec_t*>(std::realloc(dest->p, size_t(n) * sizeof(vec_t)));
    if (!p) {
        std::fprintf(stderr, "shape: out of memory for %d points\n", n);
        return false;
    }
    dest->p = p;
    dest->n = n;
    return true;
}

} // namespace

void shape_copy(int n, const vec_t* points, shape_t* dest) {
    if (!resize_points(dest, n)) return;
    if (n > 0) std::memmove(dest->p, points, size_t(n) * sizeof(vec_t));
}

void outline_copy(int n, const shape_t* shapes, outline_t* dest) {
    n = std::max(n, 0);
    if (dest->n != n) {
        // Shapes that go away take their points with them.
        for (int i = n; i < dest->n; ++i)
            std::free(dest->s[i].p);
        auto* s = n > 0 ? static_cast<shape_t*>(std::realloc(dest->s, size_t(n) * sizeof(shape_t))) : nullptr;
        if (n > 0 && !s) {
            std::fprintf(stderr, "outline: out of memory for %d shapes\n", n);
            dest->n = std::min(dest->n, n);
            return;
        }
        if (n == 0) std::free(dest->s);
        for (int i = std::max(dest->n, 0); i < n; ++i)
            s[i] = {0, nullptr};
        dest->s = s;
        dest->n = n;
    }
    for (int i = 0; i < n; ++i)
        shape_copy(shapes[i].n, shapes[i].p, &dest->s[i]);
}

int remove_idle_points(const shape_t* src, shape_t* dest) {
    const int n = src->n;
    if (n <= 0) {
        if (dest != src) resize_points(dest, 0);
        return 0;
    }
    const vec_t* in = src->p;
    // Taken before dest (maybe src itself) is written.
    const vec_t first = in[0];
    if (dest != src && !resize_points(dest, n)) return 0;
    int kept = 0;
    for (int i = 0; i < n; ++i) {
        const vec_t point = in[i];
        const vec_t next = i + 1 < n ? in[i + 1] : first;
        // A lone point is its own successor, not a duplicate.
        if (n > 1 && vec_nearly_equal(point, next, 0.1f)) {
            std::fprintf(stderr, "removed point #%d\n", i);
            continue;
        }
        dest->p[kept++] = point;
    }
    dest->n = kept;
    return n - kept;
}

float shape_area(int n, const vec_t* points) {
    float sum = 0;
    for (int i = 0; i < n; ++i) {
        const vec_t& a = points[i];
        const vec_t& b = points[i + 1 < n ? i + 1 : 0];
        sum += (a.y + b.y) * (a.x - b.x);
    }
    return sum / 2;
}

vec_t tri_center(vec_t a, vec_t b, vec_t c) {
    return {(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
}

float tri_area_xy(vec_t a, vec_t b, vec_t c) {
    return ((a.y + c.y) * (c.x - a.x) + (b.y + c.y) * (b.x - c.x) + (a.y + b.y) * (a.x - b.x)) / 2;
}

float tri_vol_xy(vec_t a, vec_t b, vec_t c) {
    return tri_area_xy(a, b, c) * (a.z + b.z + c.z) / 3;
}
