#include "kernels/regions/voronoi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// Every segment end of the x-sweep lies on the bisector of its two nearest points.
void expectOnBisectors(const std::vector<float>& pts) {
    int count = -1;
    std::unique_ptr<float[]> segs(voronoi_process1(pts.data(), int(pts.size() / 2), &count));
    ASSERT_NE(segs, nullptr);
    ASSERT_GE(count, int(pts.size() / 2) - 1);
    for (int s = 0; s < count; ++s)
        for (int end = 0; end < 2; ++end) {
            const double x = segs[4 * s + 2 * end], y = segs[4 * s + 2 * end + 1];
            std::vector<double> d;
            for (size_t i = 0; i < pts.size(); i += 2)
                d.push_back(std::hypot(x - pts[i], y - pts[i + 1]));
            std::sort(d.begin(), d.end());
            EXPECT_NEAR(d[0], d[1], 1e-4 * (1 + d[0]))
                << "segment " << s << " end " << end << " at " << x << "," << y;
        }
}

TEST(VoronoiSweep, SegmentEndsLieOnBisectors) {
    const std::vector<std::vector<float>> cases = {
        {1, 1, 5, 2},
        {1, 1, 5, 2, 3, 6},
        {2, 3, 7, 1, 6, 8, 1, 9, 4, 5, 9, 4},
        // The third point falls exactly on the break point of the first two.
        {0, 0, 0, 2, 1, 1},
    };
    for (const auto& pts : cases) {
        SCOPED_TRACE(testing::Message() << pts.size() / 2 << " points");
        expectOnBisectors(pts);
    }
}

TEST(VoronoiSweep, SegmentsAreInstanceState) {
    Voronoi a, b;
    a.add_point({1, 1});
    a.add_point({5, 2});
    a.process();
    b.process();
    // Both halves of the one bisector start where the second point's arc splits the first.
    EXPECT_EQ(a.segments().size(), 2u);
    EXPECT_TRUE(b.segments().empty());
}

} // namespace
