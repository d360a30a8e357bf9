#include "kernels/regions/VoronoiDiagramGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <tuple>
#include <vector>

#include "kernels/regions/voronoi.h"

namespace {

struct Edge {
    float x1, y1, x2, y2;
};

std::vector<Edge> runFrontEnd(const std::vector<float>& points, int width, int height) {
    int count = -1;
    std::unique_ptr<float[]> raw(
        voronoi_process(points.data(), int(points.size() / 2), &count, width, height));
    EXPECT_NE(raw, nullptr);
    EXPECT_GE(count, 0);
    std::vector<Edge> edges;
    for (int i = 0; i < count; ++i)
        edges.push_back({raw[4 * i], raw[4 * i + 1], raw[4 * i + 2], raw[4 * i + 3]});
    return edges;
}

// Vertical or horizontal edges, ends in ascending order, sorted: easy to compare to a table.
std::vector<std::tuple<float, float, float, float>> normalised(const std::vector<Edge>& edges) {
    std::vector<std::tuple<float, float, float, float>> out;
    for (const Edge& e : edges) {
        const bool swap = e.y1 > e.y2 || (e.y1 == e.y2 && e.x1 > e.x2);
        out.emplace_back(swap ? e.x2 : e.x1, swap ? e.y2 : e.y1, swap ? e.x1 : e.x2, swap ? e.y1 : e.y2);
    }
    std::sort(out.begin(), out.end());
    return out;
}

double distance(double x1, double y1, double x2, double y2) {
    return std::hypot(x1 - x2, y1 - y2);
}

// The two sites nearest to (x, y), nearest first.
std::pair<size_t, size_t> nearestTwo(const std::vector<float>& pts, double x, double y) {
    size_t best = 0, second = 0;
    double d1 = std::numeric_limits<double>::infinity(), d2 = d1;
    for (size_t i = 0; i < pts.size() / 2; ++i) {
        const double d = distance(x, y, pts[2 * i], pts[2 * i + 1]);
        if (d < d1) {
            second = best;
            d2 = d1;
            best = i;
            d1 = d;
        } else if (d < d2) {
            second = i;
            d2 = d;
        }
    }
    return {best, second};
}

double nearestDistance(const std::vector<float>& pts, double x, double y) {
    const auto [a, b] = nearestTwo(pts, x, y);
    (void)b;
    return distance(x, y, pts[2 * a], pts[2 * a + 1]);
}

// Checks that the edges are the clipped Voronoi diagram of the sites: inside the box, on the
// bisector of the two nearest sites, which lie on either side. With every edge checked, also
// that every site borders at least one edge.
void expectVoronoi(const std::vector<float>& pts, const std::vector<Edge>& edges, int width, int height,
                   size_t stride = 1) {
    const size_t n = pts.size() / 2;
    const double tol = 1e-3 * std::max(width, height);
    ASSERT_LE(edges.size(), 3 * n);
    std::vector<bool> bordered(n, false);
    for (size_t k = 0; k < edges.size(); k += stride) {
        const Edge& e = edges[k];
        SCOPED_TRACE(testing::Message()
                     << "edge " << k << ": " << e.x1 << "," << e.y1 << " " << e.x2 << "," << e.y2);
        for (float v : {e.x1, e.x2}) {
            EXPECT_GE(v, 0.0f);
            EXPECT_LE(v, float(width));
        }
        for (float v : {e.y1, e.y2}) {
            EXPECT_GE(v, 0.0f);
            EXPECT_LE(v, float(height));
        }
        const double mx = (double(e.x1) + e.x2) / 2, my = (double(e.y1) + e.y2) / 2;
        const auto [a, b] = nearestTwo(pts, mx, my);
        bordered[a] = bordered[b] = true;
        const double ax = pts[2 * a], ay = pts[2 * a + 1], bx = pts[2 * b], by = pts[2 * b + 1];
        for (auto [x, y] : {std::pair<double, double>{e.x1, e.y1}, {e.x2, e.y2}, {mx, my}}) {
            const double da = distance(x, y, ax, ay), db = distance(x, y, bx, by);
            EXPECT_NEAR(da, db, tol);
            EXPECT_NEAR(da, nearestDistance(pts, x, y), tol);
        }
        const double ex = double(e.x2) - e.x1, ey = double(e.y2) - e.y1;
        if (std::hypot(ex, ey) > tol) {
            const double sideA = ex * (ay - e.y1) - ey * (ax - e.x1);
            const double sideB = ex * (by - e.y1) - ey * (bx - e.x1);
            EXPECT_LT(sideA * sideB, 0.0) << "sites " << a << " and " << b << " on one side";
        }
    }
    if (stride != 1 || n < 2) return;
    for (size_t i = 0; i < n; ++i)
        EXPECT_TRUE(bordered[i]) << "site " << i << " has no cell border";
}

std::vector<float> randomSites(size_t n, int width, int height, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> ux(0.0f, float(width)), uy(0.0f, float(height));
    std::vector<float> pts;
    for (size_t i = 0; i < n; ++i) {
        pts.push_back(ux(rng));
        pts.push_back(uy(rng));
    }
    return pts;
}

// The mosaic's seeds: one integer point per grid cell, jittered inside it.
std::vector<float> jitteredGrid(int width, int height, int cell, unsigned seed) {
    std::mt19937 rng(seed);
    const int half = (cell - 1) / 2;
    std::vector<float> pts;
    for (int gy = 0; gy < height; gy += cell)
        for (int gx = 0; gx < width; gx += cell) {
            const int rx = int(rng() % unsigned(cell - 1));
            const int ry = int(rng() % unsigned(cell - 1));
            pts.push_back(float(std::clamp(gx - half + rx, 0, width - 1)));
            pts.push_back(float(std::clamp(gy - half + ry, 0, height - 1)));
        }
    return pts;
}

TEST(VoronoiProcess, FewerThanTwoDistinctSitesGiveNoEdges) {
    const std::vector<std::vector<float>> cases = {{}, {40, 60}, {40, 60, 40, 60, 40, 60}};
    for (const auto& pts : cases)
        EXPECT_TRUE(runFrontEnd(pts, 100, 100).empty()) << pts.size() / 2 << " sites";
}

TEST(VoronoiProcess, StraightLineCases) {
    using T = std::vector<std::tuple<float, float, float, float>>;
    struct Case {
        const char* name;
        std::vector<float> pts;
        T expected;
    };
    const Case cases[] = {
        {"two sites", {25, 50, 75, 50}, T{{50, 0, 50, 100}}},
        {"duplicate of one of two", {25, 50, 75, 50, 25, 50}, T{{50, 0, 50, 100}}},
        {"one horizontal line", {10, 50, 30, 50, 60, 50}, T{{20, 0, 20, 100}, {45, 0, 45, 100}}},
        {"one vertical line", {50, 10, 50, 30, 50, 60}, T{{0, 20, 100, 20}, {0, 45, 100, 45}}},
        {"vertical line with duplicates",
         {50, 60, 50, 10, 50, 60, 50, 30, 50, 10},
         T{{0, 20, 100, 20}, {0, 45, 100, 45}}},
        {"edge on the border is left out", {0, 50, 100, 50, 50, 50}, T{{25, 0, 25, 100}, {75, 0, 75, 100}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(normalised(runFrontEnd(c.pts, 100, 100)), c.expected);
    }
}

TEST(VoronoiProcess, DegenerateSiteSetsAreStillVoronoi) {
    struct Case {
        const char* name;
        std::vector<float> pts;
    };
    std::vector<float> grid, corners = {0, 0, 100, 0, 0, 100, 100, 100}, borders;
    for (int y = 5; y < 100; y += 10)
        for (int x = 5; x < 100; x += 10) {
            grid.push_back(float(x));
            grid.push_back(float(y));
        }
    for (int i = 0; i <= 100; i += 20)
        borders.insert(borders.end(), {float(i), 0, float(i), 100});
    for (int i = 20; i < 100; i += 20)
        borders.insert(borders.end(), {0, float(i), 100, float(i)});
    const Case cases[] = {
        {"co-circular corners", corners}, {"regular grid", grid}, {"sites on the border", borders}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectVoronoi(c.pts, runFrontEnd(c.pts, 100, 100), 100, 100);
    }
}

TEST(VoronoiProcess, RandomSitesGiveTheirVoronoiDiagram) {
    struct Case {
        size_t n;
        int width, height;
        size_t stride;
    };
    const Case cases[] = {{2, 100, 100, 1},   {3, 100, 100, 1},    {10, 640, 480, 1},
                          {200, 300, 200, 1}, {1000, 800, 600, 1}, {10000, 4000, 3000, 50}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.n << " sites");
        const auto pts = randomSites(c.n, c.width, c.height, unsigned(c.n));
        expectVoronoi(pts, runFrontEnd(pts, c.width, c.height), c.width, c.height, c.stride);
    }
}

TEST(VoronoiProcess, MosaicSeedsGiveTheirVoronoiDiagram) {
    for (int cell : {4, 9, 54}) {
        SCOPED_TRACE(testing::Message() << "cell " << cell);
        const auto pts = jitteredGrid(321, 207, cell, unsigned(cell));
        // The check is quadratic in the sites: sample the edges of the densest grid.
        expectVoronoi(pts, runFrontEnd(pts, 321, 207), 321, 207, cell < 9 ? 7 : 1);
    }
}

TEST(VoronoiProcess, NonFiniteSitesAreIgnored) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(normalised(runFrontEnd({25, 50, nan, 10, 75, 50, 30, inf}, 100, 100)),
              normalised(runFrontEnd({25, 50, 75, 50}, 100, 100)));
}

TEST(VoronoiProcess, EdgesComeNewestFirst) {
    const auto pts = randomSites(30, 100, 100, 7);
    VoronoiDiagramGenerator generator;
    std::vector<float> xs, ys;
    for (size_t i = 0; i < pts.size(); i += 2) {
        xs.push_back(pts[i]);
        ys.push_back(pts[i + 1]);
    }
    ASSERT_TRUE(generator.generateVoronoi(xs.data(), ys.data(), 30, 0, 100, 0, 100, 0, true));
    const auto& made = generator.voronoiEdges();
    const auto edges = runFrontEnd(pts, 100, 100);
    ASSERT_EQ(edges.size(), made.size());
    for (size_t i = 0; i < edges.size(); ++i) {
        const auto& m = made[made.size() - 1 - i];
        EXPECT_EQ(std::tie(edges[i].x1, edges[i].y1, edges[i].x2, edges[i].y2),
                  std::tie(m.x1, m.y1, m.x2, m.y2));
    }
}

class Generator : public testing::Test {
  protected:
    bool run(const std::vector<float>& pts, float x0, float x1, float y0, float y1, float minDist,
             bool info) {
        std::vector<float> xs, ys;
        for (size_t i = 0; i < pts.size(); i += 2) {
            xs.push_back(pts[i]);
            ys.push_back(pts[i + 1]);
        }
        return generator.generateVoronoi(xs.data(), ys.data(), int(xs.size()), x0, x1, y0, y1, minDist, info);
    }
    static std::vector<Edge> edges(const std::vector<VoronoiDiagramGenerator::OutputEdge>& out) {
        std::vector<Edge> result;
        for (const auto& e : out)
            result.push_back({e.x1, e.y1, e.x2, e.y2});
        return result;
    }
    VoronoiDiagramGenerator generator;
};

TEST_F(Generator, ClipBoxLimitsMayComeInEitherOrder) {
    const auto pts = randomSites(50, 100, 80, 3);
    ASSERT_TRUE(run(pts, 0, 100, 0, 80, 0, false));
    const auto ascending = normalised(edges(generator.voronoiEdges()));
    ASSERT_TRUE(run(pts, 100, 0, 80, 0, 0, false));
    EXPECT_EQ(normalised(edges(generator.voronoiEdges())), ascending);
}

TEST_F(Generator, MinimumDistanceLeavesOutCloseSites) {
    ASSERT_TRUE(run({25, 50, 75, 50}, 0, 100, 0, 100, 60, false));
    EXPECT_TRUE(generator.voronoiEdges().empty());
    ASSERT_TRUE(run({25, 50, 75, 50}, 0, 100, 0, 100, 40, false));
    EXPECT_EQ(generator.voronoiEdges().size(), 1u);
}

TEST_F(Generator, DelaunayEdgesJoinNeighbouringSites) {
    generator.setGenerateDelaunay(true);
    generator.setGenerateVoronoi(false);
    ASSERT_TRUE(run({10, 10, 90, 20, 40, 80}, 0, 100, 0, 100, 0, false));
    EXPECT_TRUE(generator.voronoiEdges().empty());
    using T = std::vector<std::tuple<float, float, float, float>>;
    EXPECT_EQ(normalised(edges(generator.delaunayEdges())),
              (T{{10, 10, 40, 80}, {10, 10, 90, 20}, {90, 20, 40, 80}}));
}

TEST_F(Generator, VertexPairsFollowTheEdges) {
    const auto pts = randomSites(40, 100, 100, 11);
    ASSERT_TRUE(run(pts, 0, 100, 0, 100, 0, true));
    // Random sites give no two-way vertices, so every pair is one edge. Edge ends are
    // recomputed from the bisector, so they match the vertices only closely.
    std::vector<Edge> remaining = edges(generator.voronoiEdges());
    auto near = [](float ax, float ay, float bx, float by) { return std::hypot(ax - bx, ay - by) < 1e-3; };
    float x1, y1, x2, y2;
    while (generator.getNextVertexPair(x1, y1, x2, y2)) {
        auto it = std::find_if(remaining.begin(), remaining.end(), [&](const Edge& e) {
            return (near(x1, y1, e.x1, e.y1) && near(x2, y2, e.x2, e.y2)) ||
                   (near(x1, y1, e.x2, e.y2) && near(x2, y2, e.x1, e.y1));
        });
        ASSERT_NE(it, remaining.end()) << "no edge for pair " << x1 << "," << y1 << " " << x2 << "," << y2;
        remaining.erase(it);
    }
    EXPECT_TRUE(remaining.empty());
    EXPECT_FALSE(generator.getNextVertexPair(x1, y1, x2, y2));
}

TEST_F(Generator, VertexPairsAreEmptyWithoutVectorInfo) {
    ASSERT_TRUE(run({25, 50, 75, 50}, 0, 100, 0, 100, 0, false));
    float x1, y1, x2, y2;
    EXPECT_FALSE(generator.getNextVertexPair(x1, y1, x2, y2));
}

TEST_F(Generator, ResetDropsEverything) {
    generator.setGenerateDelaunay(true);
    ASSERT_TRUE(run({25, 50, 75, 50, 50, 90}, 0, 100, 0, 100, 0, true));
    generator.reset();
    float x1, y1, x2, y2;
    EXPECT_TRUE(generator.voronoiEdges().empty());
    EXPECT_TRUE(generator.delaunayEdges().empty());
    EXPECT_FALSE(generator.getNextVertexPair(x1, y1, x2, y2));
}

} // namespace
