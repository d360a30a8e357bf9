#include "kernels/vmath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr float kPi = 3.14159265f;

void expectNear(vec_t a, vec_t b, float tol) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

matr4_t rows(const float (&r)[16]) {
    return init_matrix(r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[8], r[9], r[10], r[11], r[12], r[13],
                       r[14], r[15]);
}

const float kYiq[16] = {0.299f, 0.587f,  0.114f, 0, 0.596f, -0.275f, -0.321f, 0,
                        0.212f, -0.523f, 0.311f, 0, 0,      0,       0,       0};
const float kInverseYiq[16] = {1.0f, 0.95568806f, 0.6198581f, 0, 1.0f, -0.2715818f, -0.6468738f, 0,
                               1.0f, -1.1081773f, 1.7050645f, 0, 0,    0,           0,           0};

TEST(Vmath, InitMatrixStoresRowsTransposed) {
    float a[16];
    for (int i = 0; i < 16; ++i)
        a[i] = float(i);
    const matr4_t m = rows(a);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(m.m[i][j], a[4 * j + i]) << i << "," << j;
}

TEST(Vmath, ColourMatrixResults) {
    struct Case {
        const char* name;
        const float* matrix;
        vec_t in, out;
    };
    float shifted[16];
    std::copy(kYiq, kYiq + 16, shifted);
    shifted[3] = 0.5f; // row 0 translation
    const Case cases[] = {
        {"luma of YIQ", kYiq, {1, 0.5f, 0.25f}, {0.621f, 0.37825f, 0.02825f}},
        {"translation adds to its row only", shifted, {1, 0.5f, 0.25f}, {1.121f, 0.37825f, 0.02825f}},
        {"white has no chroma", kYiq, {1, 1, 1}, {1, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        float m[16];
        std::copy(c.matrix, c.matrix + 16, m);
        expectNear(matr4_rdot(c.in, rows(m)), c.out, 1e-6f);
    }
    // The inverse undoes the transform.
    const vec_t rgb{0.2f, 0.7f, 0.4f};
    expectNear(matr4_rdot(matr4_rdot(rgb, rows(kYiq)), rows(kInverseYiq)), rgb, 1e-3f);
}

TEST(Vmath, MatrixProducts) {
    const matr4_t id = init_matrix(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    const matr4_t a = {{{1, 2, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    const matr4_t b = {{{1, 0, 0, 0}, {3, 1, 0, 0}, {0, 0, 2, 0}, {0, 0, 0, 1}}};
    const matr4_t ab = {{{7, 2, 0, 0}, {3, 1, 0, 0}, {0, 0, 2, 0}, {0, 0, 0, 1}}};
    const matr4_t ba = {{{1, 2, 0, 0}, {3, 7, 0, 0}, {0, 0, 2, 0}, {0, 0, 0, 1}}};
    const matr4_t yiq = rows(kYiq);
    struct Case {
        const char* name;
        matr4_t x, y, product;
    };
    const Case cases[] = {
        {"I x A", id, yiq, yiq}, {"A x I", yiq, id, yiq}, {"A x B", a, b, ab}, {"B x A", b, a, ba}};
    for (const Case& c : cases) {
        const matr4_t p = matr4_mul(c.x, c.y);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                EXPECT_EQ(p.m[i][j], c.product.m[i][j]) << c.name << " " << i << "," << j;
    }
}

TEST(Vmath, VectorHelpers) {
    expectNear(vec_cross(vec_ex(), vec_ey()), vec_ez(), 0);
    expectNear(vec_unit({3, 4, 0}), {0.6f, 0.8f, 0}, 1e-7f);
    EXPECT_TRUE(vec_equal(vec_unit(vec_null()), vec_null()));
    EXPECT_FLOAT_EQ(vec_abs({2, 3, 6}), 7);
    EXPECT_FLOAT_EQ(vec_mul({1, 2, 3}, {4, -5, 6}), 12);
    EXPECT_TRUE(vec_nearly_equal({1, 2, 3}, {1.05f, 1.95f, 3}, 0.1f));
    EXPECT_FALSE(vec_nearly_equal({1, 2, 3}, {1.2f, 2, 3}, 0.1f));
    expectNear(vec_proj({1, 2, 3}, {0, 0, 2}), {0, 0, 3}, 0);
    EXPECT_TRUE(vec_equal(vec_proj({1, 2, 3}, vec_null()), {1, 2, 3}));
    expectNear(vec_ncomp({1, 2, 3}, {0, 0, 2}), {1, 2, 0}, 0);
    EXPECT_FLOAT_EQ(vec_ndist({0, 1, 0}, {0, 0, 0}, {2, 0, 0}), 1);
    expectNear(vec_surf_proj({1, 1, -1}, {1, 1, 3}, {0, 0, 0}, vec_ez()), {1, 1, 0}, 0);
    EXPECT_NEAR(vec_angle(vec_ex(), vec_ey()), kPi / 2, 1e-6f);
    EXPECT_NEAR(vec_angle(vec_ex(), {-2, 0, 0}), kPi, 1e-6f);
}

TEST(Vmath, AngleOfParallelVectorsIsZero) {
    // Unit vectors whose dot product rounds above 1 must not give NaN.
    std::mt19937 rng(4);
    std::uniform_real_distribution<float> u(-10, 10);
    for (int i = 0; i < 1000; ++i) {
        const vec_t v{u(rng), u(rng), u(rng)};
        const float a = vec_angle(v, vec_scale(v, 3));
        ASSERT_FALSE(std::isnan(a));
        EXPECT_NEAR(a, 0, 1e-3f);
    }
}

TEST(Vmath, Rotations) {
    expectNear(vec_rotate(vec_ex(), {0, 0, kPi / 2}), vec_ey(), 1e-6f);
    vec_t quarter = vec_ey();
    rot_ax({2, 0, 0}, kPi / 2, &quarter, 1);
    expectNear(quarter, vec_ez(), 1e-6f);

    std::mt19937 rng(8);
    std::uniform_real_distribution<float> u(-1, 1);
    std::vector<vec_t> points(20);
    for (auto& p : points)
        p = {u(rng), u(rng), u(rng)};
    for (const vec_t axis : {vec_t{1, 2, 3}, vec_t{0, 0, 1}, vec_t{-1, 0.5f, 0}}) {
        auto turned = points;
        rot_ax(axis, 0.7f, turned.data(), int(turned.size()));
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_NEAR(vec_abs(turned[i]), vec_abs(points[i]), 1e-6f);
            // Points on the axis stay where they are; the component along it is kept.
            EXPECT_NEAR(vec_mul(turned[i], vec_unit(axis)), vec_mul(points[i], vec_unit(axis)), 1e-6f);
        }
        rot_ax(axis, -0.7f, turned.data(), int(turned.size()));
        for (size_t i = 0; i < points.size(); ++i)
            expectNear(turned[i], points[i], 1e-6f);
    }
    for (auto [axis, angle] : {std::pair{vec_t{1, 2, 3}, 0.0f}, {vec_null(), 1.0f}}) {
        auto same = points;
        rot_ax(axis, angle, same.data(), int(same.size()));
        for (size_t i = 0; i < points.size(); ++i)
            EXPECT_TRUE(vec_equal(same[i], points[i]));
    }
}

TEST(Vmath, ShapeRotationAboutACentre) {
    vec_t pts[2] = {{2, 1, 5}, {1, 1, 1}};
    shape_t shape{2, pts};
    // A quarter turn about the vertical axis through (1, 1, 0).
    shape_rot_ax(&shape, {1, 1, 0}, vec_ez(), vec_ex(), {1, 1, 1}, kPi / 2);
    expectNear(pts[0], {1, 2, 5}, 1e-6f);
    expectNear(pts[1], {1, 1, 1}, 1e-6f);
    // Scaling alone: the reference direction's component doubles.
    shape_rot_ax(&shape, {0, 0, 0}, vec_ez(), vec_ex(), {1, 2, 1}, 0);
    expectNear(pts[0], {2, 2, 5}, 1e-6f);
}

TEST(Vmath, AreasAndCentres) {
    const vec_t ccw[] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    const vec_t cw[] = {{0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {0, 0, 0}};
    EXPECT_EQ(shape_area(4, ccw), 1.0f);
    EXPECT_EQ(shape_area(4, cw), -1.0f);
    EXPECT_EQ(tri_area_xy({0, 0, 3}, {2, 0, 3}, {0, 2, 3}), 2.0f);
    EXPECT_EQ(tri_area_xy({0, 0, 3}, {0, 2, 3}, {2, 0, 3}), -2.0f);
    EXPECT_EQ(tri_vol_xy({0, 0, 1}, {2, 0, 2}, {0, 2, 3}), 4.0f);
    expectNear(tri_center({0, 0, 0}, {3, 0, 6}, {0, 3, 3}), {1, 1, 3}, 0);
}

TEST(Vmath, ShapeEdits) {
    vec_t pts[3] = {{1, 0, 0}, {2, 0, 0}, {3, 0, 0}};
    shape_t shape{3, pts};
    shape_flip(&shape);
    EXPECT_EQ(pts[0].x, 3);
    EXPECT_EQ(pts[2].x, 1);
    shape_trans(&shape, {1, 2, 3});
    expectNear(pts[0], {4, 2, 3}, 0);
}

TEST(Vmath, RemoveIdlePoints) {
    const vec_t pts[] = {{0, 0, 0}, {0.05f, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0.02f, 0.03f, 0}};
    // The first point is close to its successor, the last to the first (wrapping round).
    const std::vector<float> keptX = {0.05f, 1, 1};
    for (bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "in place" : "into another shape");
        shape_t src{0, nullptr}, other{0, nullptr};
        shape_copy(5, pts, &src);
        shape_t* dest = inPlace ? &src : &other;
        testing::internal::CaptureStderr();
        EXPECT_EQ(remove_idle_points(&src, dest), 2);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "removed point #0\nremoved point #4\n");
        ASSERT_EQ(dest->n, 3);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(dest->p[i].x, keptX[size_t(i)]);
        std::free(src.p);
        std::free(other.p);
    }
    vec_t lone[] = {{1, 1, 1}};
    shape_t single{1, lone};
    EXPECT_EQ(remove_idle_points(&single, &single), 0);
    EXPECT_EQ(single.n, 1);
}

TEST(Vmath, CopiesAreDeep) {
    vec_t a[] = {{1, 2, 3}, {4, 5, 6}};
    vec_t b[] = {{7, 8, 9}};
    const shape_t shapes[] = {{2, a}, {1, b}};
    outline_t out{0, nullptr};
    outline_copy(2, shapes, &out);
    ASSERT_EQ(out.n, 2);
    ASSERT_EQ(out.s[0].n, 2);
    ASSERT_EQ(out.s[1].n, 1);
    EXPECT_NE(out.s[0].p, a);
    EXPECT_TRUE(vec_equal(out.s[0].p[1], a[1]));
    EXPECT_TRUE(vec_equal(out.s[1].p[0], b[0]));
    // Shrinking releases the shapes that go away (the leak checker watches).
    outline_copy(1, shapes + 1, &out);
    ASSERT_EQ(out.n, 1);
    ASSERT_EQ(out.s[0].n, 1);
    EXPECT_TRUE(vec_equal(out.s[0].p[0], b[0]));
    outline_copy(0, nullptr, &out);
    EXPECT_EQ(out.n, 0);
    EXPECT_EQ(out.s, nullptr);
}

} // namespace
